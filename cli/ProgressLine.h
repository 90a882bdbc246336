#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>

// The progress line of a long run on a terminal: file i of n, percent of the file, particles per
// second, rewritten in place at most five times a second. Nothing when standard error is not a
// terminal, or when not `wanted` (a caller that shows its own).
class ProgressLine {
public:
  explicit ProgressLine(bool wanted = true);
  void Update(std::size_t file, std::size_t files, double fraction, int64_t particles,
              bool force = false);
  // Clears the line before a message or at the end.
  void Clear();

private:
  bool shown;
  bool dirty = false;
  std::chrono::steady_clock::time_point begin = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last{};
};
