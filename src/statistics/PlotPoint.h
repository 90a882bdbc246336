#pragma once
#include <cstdint>

// A point in a diagram's logical units (y grows upwards).
struct PlotPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const PlotPoint &, const PlotPoint &) = default;
};

// trunc(v) as a logical unit. Values far outside every plot (a velocity of 100 m/s at scale 1,
// an infinity) stay far outside instead of wrapping round into it.
int32_t PlotUnits(double v);
