// pluvicam-cli info: each file's headers, particle count and rain total.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "statistics/ParallelFiles.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct InfoOptions {
  std::vector<std::string> files;
  int jobs = 1;
};

// A file's report and its failures in the order they arose, written by the thread that read the
// file and shown in file order.
struct InfoResult {
  std::vector<std::pair<FILE *, std::string>> parts;
  int status = 0;

  void Add(FILE *stream, std::string text) {
    if (!text.empty())
      parts.emplace_back(stream, std::move(text));
  }
};

__attribute__((format(printf, 2, 3))) void Append(std::string &out, const char *format, ...) {
  char text[300];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  out += text;
}

InfoResult InfoFile(const std::string &file, bool named) {
  InfoResult result;
  std::ostringstream err;
  CHydDataHandler handler;
  const bool opened = cli::OpenOrReport(handler, file, err);
  result.Add(stderr, err.str());
  if (!opened) {
    result.status = cli::EXIT_UNUSABLE;
    return result;
  }
  std::string out;
  Append(out, "file: %s\n", handler.GetHydFile().GetFileName().c_str());
  Append(out, "kind: %s\n", handler.IsSno() ? "snow" : "rain");
  Append(out, "format: %d\n", handler.GetFormat());
  Append(out, "length: %d bytes\n", handler.GetHydFile().GetLength());
  int minutes = 0;
  for (int m = 1; m <= HeaderInfo::SLOTS; ++m)
    minutes += handler.GetHeaderInfo().GetMinutePosition(m) != -1;
  Append(out, "indexed minutes: %d\n", minutes);
  Append(out, "main headers: %zu\n", handler.GetTimeIndex().size());
  for (const MainTimEntry &entry : handler.GetTimeIndex()) {
    const MainHeader &h = entry.mainHeader;
    const int seconds = h.time % 86400;
    Append(out,
           "  %02d:%02d:%02d  %.14s  %.6f lines/s  scales %.4f/%.4f mm  planes "
           "%.3f/%.3f/%.3f mm\n",
           seconds / 3600, seconds / 60 % 60, seconds % 60, h.ident, h.lineFrequency, h.scaleA,
           h.scaleB, h.planeDistance1, h.planeDistance2, h.planeDistance3);
  }
  result.Add(stdout, std::move(out));
  out.clear();
  long long failures = 0, particles = 0;
  double rain = 0;
  std::ostringstream walkErr;
  result.status = cli::Walk(
      handler, true, failures,
      [&](CHydData &p, int32_t) {
        const HydRecord &r = *p.GetHydHeader();
        ++particles;
        if (r.area > 0)
          rain += r.volume / r.area;
      },
      walkErr);
  // Among several files a failure says which one it belongs to.
  std::ostringstream afterWalk;
  std::istringstream lines(walkErr.str());
  for (std::string failure; std::getline(lines, failure);)
    afterWalk << (named ? file + ": " : std::string()) << failure << '\n';
  if (particles == 0 && failures == 0)
    cli::ReportNoParticles(handler, file, afterWalk);
  result.Add(stderr, afterWalk.str());
  Append(out, "particles: %lld\n", particles);
  Append(out, "failures: %lld\n", failures);
  Append(out, "rain: %.2f mm\n", rain);
  result.Add(stdout, std::move(out));
  return result;
}

int Info(const InfoOptions &o) {
  int status = 0;
  ParallelFiles<InfoResult>::Run(
      o.files.size(), o.jobs, [&](size_t i) { return InfoFile(o.files[i], o.files.size() > 1); },
      [&](size_t, InfoResult &r) {
        for (const auto &[stream, text] : r.parts) {
          std::fputs(text.c_str(), stream);
          std::fflush(stream);
        }
        status = std::max(status, r.status);
        return true;
      });
  return status;
}

} // namespace

void AddInfoCommand(CommandRegistry &registry) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App &command = registry.Add("info", "each file's headers, particle count and rain total",
                                   [options] { return Info(*options); });
  command.add_option("FILE", options->files, "hydrometeor files, reported one after the other")
      ->required();
  command
      .add_option("--jobs", options->jobs,
                  "files read at the same time (default: the number of cores)")
      ->default_val(ParallelFiles<int>::DefaultJobs())
      ->check(CLI::Range(1, 1024));
}
