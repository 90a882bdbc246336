#pragma once
#include <cstdint>
#include <vector>

namespace synth {

// A rain particle's silhouettes as the cameras saw them: one left and one right edge per line.
struct RainImage {
  std::vector<int16_t> leftA, rightA; // camera A, line 0 first
  std::vector<int16_t> leftB, rightB; // camera B
};

// Packed drop data of a rain particle and the value width chosen for it.
struct EncodedRain {
  std::vector<uint8_t> data; // the record's data part (whole 16-bit words)
  int bits = 0;              // width of every packed value, 1..15
  int16_t offsetA = 0;       // leftmost pixel of camera A: edges are stored relative to it
  int16_t offsetB = 0;
};

// Packs the edges relative to each camera's leftmost pixel with the narrowest width that holds
// them. Throws std::invalid_argument for inconsistent edge arrays.
EncodedRain EncodeRain(const RainImage &image);

} // namespace synth
