// pluvicam-cli info: the file's headers, particle count and rain total.
#include "CliCommon.h"
#include "CommandRegistry.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

int Info(const std::string &file) {
  CHydDataHandler handler;
  if (!cli::OpenOrReport(handler, file))
    return cli::EXIT_UNUSABLE;
  std::printf("file: %s\n", handler.GetHydFile().GetFileName().c_str());
  std::printf("kind: %s\n", handler.IsSno() ? "snow" : "rain");
  std::printf("format: %d\n", handler.GetFormat());
  std::printf("length: %d bytes\n", handler.GetHydFile().GetLength());
  int minutes = 0;
  for (int m = 1; m <= HeaderInfo::SLOTS; ++m)
    minutes += handler.GetHeaderInfo().GetMinutePosition(m) != -1;
  std::printf("indexed minutes: %d\n", minutes);
  std::printf("main headers: %zu\n", handler.GetTimeIndex().size());
  for (const MainTimEntry &entry : handler.GetTimeIndex()) {
    const MainHeader &h = entry.mainHeader;
    const int seconds = h.time % 86400;
    std::printf("  %02d:%02d:%02d  %.14s  %.6f lines/s  scales %.4f/%.4f mm  planes "
                "%.3f/%.3f/%.3f mm\n",
                seconds / 3600, seconds / 60 % 60, seconds % 60, h.ident, h.lineFrequency, h.scaleA,
                h.scaleB, h.planeDistance1, h.planeDistance2, h.planeDistance3);
  }
  long long failures = 0, particles = 0;
  double rain = 0;
  const int status = cli::Walk(handler, true, failures, [&](CHydData &p, int32_t) {
    const HydRecord &r = *p.GetHydHeader();
    ++particles;
    if (r.area > 0)
      rain += r.volume / r.area;
  });
  if (particles == 0 && failures == 0)
    cli::ReportNoParticles(handler, file);
  std::printf("particles: %lld\n", particles);
  std::printf("failures: %lld\n", failures);
  std::printf("rain: %.2f mm\n", rain);
  return status;
}

} // namespace

void AddInfoCommand(CommandRegistry &registry) {
  auto file = std::make_shared<std::string>();
  CLI::App &command = registry.Add("info", "the file's headers, particle count and rain total",
                                   [file] { return Info(*file); });
  command.add_option("FILE", *file, "hydrometeor file")->required();
}
