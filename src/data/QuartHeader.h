#pragma once
#include <cstdint>

// Read whole to keep the stream position right, then discarded.
struct QuartHeader {
  static constexpr int16_t TAG = int16_t(0xFFE8);
  static constexpr int FILE_SIZE = 24;

  int16_t tag = 0;
  uint16_t backLink = 0;
  uint32_t quart1 = 0;
  uint32_t quart2 = 0;
  int16_t quart3 = 0;
  int16_t quart4 = 0;
  int16_t quart5 = 0;
  int16_t quart6 = 0;
  uint32_t quart7 = 0;

  void Decode(const uint8_t *rest, int16_t tagWord);
};
