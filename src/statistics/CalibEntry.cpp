#include "CalibEntry.h"

#include <algorithm>

bool CalibEntry::Contains(PlotPoint p) const {
  const auto [x0, x1] = std::minmax(left, right);
  const auto [y0, y1] = std::minmax(top, bottom);
  return x0 <= p.x && p.x < x1 && y0 <= p.y && p.y < y1;
}
