// pluvicam-cli scan: walks the files and reports the reader's speed, one line per file.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "statistics/ParallelFiles.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sstream>

namespace {

struct ScanOptions {
  std::vector<std::string> files;
  int jobs = 1;
};

// A file's line and its failures, written by the thread that read it and shown in file order.
struct ScanResult {
  std::string line;
  std::string failures;
  int status = 0;
};

ScanResult ScanFile(const std::string &file, bool named) {
  ScanResult result;
  std::ostringstream err;
  CHydDataHandler handler;
  if (!cli::OpenOrReport(handler, file, err)) {
    result.failures = err.str();
    result.status = cli::EXIT_UNUSABLE;
    return result;
  }
  long long failures = 0, particles = 0;
  // Processor time of the thread that reads the file: the figure that stays meaningful on a
  // shared machine and beside other files read at the same time.
  auto cpuSeconds = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  };
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  std::ostringstream walkErr;
  result.status = cli::Walk(
      handler, true, failures, [&](CHydData &, int32_t) { ++particles; }, walkErr);
  const double seconds = cpuSeconds() - cpuStart;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  char text[200];
  std::snprintf(text, sizeof text,
                "%lld particles, %lld failures, %.3f s of processor time (%.3f s elapsed), %.0f "
                "particles/s\n",
                particles, failures, seconds, wall,
                seconds > 0 ? double(particles) / seconds : 0.0);
  const std::string prefix = named ? file + ": " : std::string();
  result.line = prefix + text;
  // Among several files a failure says which one it belongs to.
  std::istringstream lines(walkErr.str());
  for (std::string failure; std::getline(lines, failure);)
    err << prefix << failure << '\n';
  result.failures = err.str();
  return result;
}

int Scan(const ScanOptions &o) {
  int status = 0;
  ParallelFiles<ScanResult>::Run(
      o.files.size(), o.jobs, [&](size_t i) { return ScanFile(o.files[i], o.files.size() > 1); },
      [&](size_t, ScanResult &r) {
        std::fputs(r.failures.c_str(), stderr);
        std::fputs(r.line.c_str(), stdout);
        std::fflush(stdout);
        status = std::max(status, r.status);
        return true;
      });
  return status;
}

} // namespace

void AddScanCommand(CommandRegistry &registry) {
  auto options = std::make_shared<ScanOptions>();
  CLI::App &command = registry.Add("scan", "walk the files and report the speed",
                                   [options] { return Scan(*options); });
  command.add_option("FILE", options->files, "hydrometeor files, each reported on its own line")
      ->required();
  AddJobsOption(command, options->jobs);
}
