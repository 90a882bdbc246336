#pragma once
#include <cstdint>
#include <vector>

namespace synth {

struct SnowSegment {
  int16_t start = 0; // first dark pixel
  int16_t end = 0;   // start + run length
};
using SnowLine = std::vector<SnowSegment>; // 1 to 6 segments, left to right

// Encodes both cameras' lines as snow drop data: for each camera the block size n_cmp followed by
// blocks of light/dark runs, with identical consecutive lines written as repetitions.
// `yCountA`/`yCountB` are the camera line counters of each camera's first line.
// Throws std::invalid_argument for lines that cannot be coded.
std::vector<uint8_t> EncodeSnow(const std::vector<SnowLine> &linesA,
                                const std::vector<SnowLine> &linesB, double yCountA,
                                double yCountB);

} // namespace synth
