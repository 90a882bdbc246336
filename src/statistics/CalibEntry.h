#pragma once
#include "PlotPoint.h"

#include <cstdint>

// A rectangle dragged in the oblateness scatter, in logical units as dragged (the drag start is
// left/top, where the button came up is right/bottom), and the standardised diameter it was
// assigned to (0 = unset).
struct CalibEntry {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  float diameter = 0;

  // With the corners in ascending order: the smaller x and y inclusive, the larger exclusive.
  bool Contains(PlotPoint p) const;
};
