// pluvicam-cli info: the file's headers, particle count and rain total.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "FileSummary.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

int Info(const std::string &file) {
  FileSummary s;
  CHydException failure;
  if (!FileSummary::Of(file, s, failure)) {
    std::cerr << failure.message << "\n";
    return cli::EXIT_UNUSABLE;
  }
  std::printf("file: %s\n", s.file.c_str());
  std::printf("kind: %s\n", s.snow ? "snow" : "rain");
  std::printf("format: %d\n", s.format);
  std::printf("length: %lld bytes\n", static_cast<long long>(s.length));
  std::printf("indexed minutes: %d\n", s.indexedMinutes);
  std::printf("main headers: %zu\n", s.mainHeaders.size());
  for (const MainHeader &h : s.mainHeaders) {
    const int seconds = h.time % 86400;
    std::printf("  %02d:%02d:%02d  %.14s  %.6f lines/s  scales %.4f/%.4f mm  planes "
                "%.3f/%.3f/%.3f mm\n",
                seconds / 3600, seconds / 60 % 60, seconds % 60, h.ident, h.lineFrequency, h.scaleA,
                h.scaleB, h.planeDistance1, h.planeDistance2, h.planeDistance3);
  }
  std::printf("particles: %lld\n", s.particles);
  std::printf("failures: %lld\n", s.failures);
  std::printf("rain: %.2f mm\n", s.rain);
  return s.status;
}

} // namespace

void AddInfoCommand(CommandRegistry &registry) {
  auto file = std::make_shared<std::string>();
  CLI::App &command = registry.Add("info", "the file's headers, particle count and rain total",
                                   [file] { return Info(*file); });
  command.add_option("FILE", *file, "hydrometeor file")->required();
}
