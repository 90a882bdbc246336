#pragma once
#include <cstdint>

// The ranges handed by value to every particle computation; the particle classes read the pixel
// ranges for the effective measuring area.
struct FilterRange {
  int16_t diamMin = 0;
  int16_t diamMax = 50;
  int16_t velMin = 0;
  int16_t velMax = 30;
  int16_t oblMin = 0;
  int16_t oblMax = 2;
  int16_t minPixA = 0;
  int16_t maxPixA = 511;
  int16_t minPixB = 0;
  int16_t maxPixB = 511;
};
