#include "PlotPoint.h"

#include <algorithm>
#include <cmath>

int32_t PlotUnits(double v) {
  if (std::isnan(v))
    return 10000000;
  return int32_t(std::clamp(std::trunc(v), -1e7, 1e7));
}
