#pragma once
#include <cstdint>

// Largest pixel index of a 512-pixel camera (the default range) and of a 1024-pixel one.
constexpr int16_t MAX_PIXEL_512 = 511;
constexpr int16_t MAX_PIXEL_1024 = 1023;
// The filter's default upper limits: diameter in mm, fall velocity in m/s.
constexpr int16_t DIAMETER_LIMIT_MM = 50;
constexpr int16_t VELOCITY_LIMIT_MS = 30;

// The ranges handed by value to every particle computation; the particle classes read the pixel
// ranges for the effective measuring area.
struct FilterRange {
  int16_t diamMin = 0;
  int16_t diamMax = DIAMETER_LIMIT_MM;
  int16_t velMin = 0;
  int16_t velMax = VELOCITY_LIMIT_MS;
  int16_t oblMin = 0;
  int16_t oblMax = 2;
  int16_t minPixA = 0;
  int16_t maxPixA = MAX_PIXEL_512;
  int16_t minPixB = 0;
  int16_t maxPixB = MAX_PIXEL_512;
};
