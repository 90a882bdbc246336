// pluvicam-cli scan: walks the file and reports the reader's speed.
#include "CliCommon.h"
#include "CommandRegistry.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

int Scan(const std::string &file) {
  CHydDataHandler handler;
  if (!cli::OpenOrReport(handler, file))
    return cli::EXIT_UNUSABLE;
  long long failures = 0, particles = 0;
  // Processor time of this process: the figure that stays meaningful on a shared machine.
  auto cpuSeconds = [] {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  };
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  const int status = cli::Walk(handler, true, failures, [&](CHydData &, int32_t) { ++particles; });
  const double seconds = cpuSeconds() - cpuStart;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  std::printf("%lld particles, %lld failures, %.3f s of processor time (%.3f s elapsed), %.0f "
              "particles/s\n",
              particles, failures, seconds, wall, seconds > 0 ? double(particles) / seconds : 0.0);
  return status;
}

} // namespace

void AddScanCommand(CommandRegistry &registry) {
  auto file = std::make_shared<std::string>();
  CLI::App &command =
      registry.Add("scan", "walk the file and report the speed", [file] { return Scan(*file); });
  command.add_option("FILE", *file, "hydrometeor file")->required();
}
