#include "ProgressLine.h"

#include <cstdio>
#include <unistd.h>

ProgressLine::ProgressLine(bool wanted) : shown(wanted && isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Update(std::size_t file, std::size_t files, double fraction, int64_t particles,
                          bool force) {
  if (!shown)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - last < std::chrono::milliseconds(200))
    return;
  last = now;
  const double seconds = std::chrono::duration<double>(now - begin).count();
  std::fprintf(stderr, "\rfile %zu of %zu, %3.0f %%, %.0f particles/s\033[K", file, files,
               100 * fraction, seconds > 0 ? double(particles) / seconds : 0.0);
  std::fflush(stderr);
  dirty = true;
}

void ProgressLine::Clear() {
  if (shown && dirty)
    std::fputs("\r\033[K", stderr);
  dirty = false;
}
