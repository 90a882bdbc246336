// pluvicam-cli info: each file's headers, particle count and rain total.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "FileSummary.h"
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

// A file's report, its failures first, written by the thread that read the file and shown in
// file order.
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
  FileSummary s;
  CHydException failure;
  std::ostringstream errors;
  if (!FileSummary::Of(file, s, failure, errors, named)) {
    result.Add(stderr, failure.message + "\n");
    result.status = cli::EXIT_UNUSABLE;
    return result;
  }
  result.Add(stderr, errors.str());
  std::string out;
  Append(out, "file: %s\n", s.file.c_str());
  Append(out, "kind: %s\n", s.snow ? "snow" : "rain");
  Append(out, "format: %d\n", s.format);
  Append(out, "length: %lld bytes\n", static_cast<long long>(s.length));
  Append(out, "indexed minutes: %d\n", s.indexedMinutes);
  Append(out, "main headers: %zu\n", s.mainHeaders.size());
  for (const MainHeader &h : s.mainHeaders) {
    const int seconds = h.time % 86400;
    Append(out,
           "  %02d:%02d:%02d  %.14s  %.6f lines/s  scales %.4f/%.4f mm  planes "
           "%.3f/%.3f/%.3f mm\n",
           seconds / 3600, seconds / 60 % 60, seconds % 60, h.ident, h.lineFrequency, h.scaleA,
           h.scaleB, h.planeDistance1, h.planeDistance2, h.planeDistance3);
  }
  Append(out, "particles: %lld\n", s.particles);
  Append(out, "failures: %lld\n", s.failures);
  Append(out, "rain: %.2f mm\n", s.rain);
  result.Add(stdout, std::move(out));
  result.status = s.status;
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
  AddJobsOption(command, options->jobs);
}
