#include "DsdModels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dsd {

std::string ModelCurve::N0Text() const {
  char text[64];
  std::snprintf(text, sizeof text, "N0: %.3f 1/m\u00B3mm", n0);
  return text;
}

std::string ModelCurve::D0Text() const {
  char text[64];
  std::snprintf(text, sizeof text, "D0: %.3f mm", d0);
  return text;
}

std::array<ModelCurve, 3> ModelCurves(double rainRate, double ndMax, int viewFactor) {
  const double r021 = std::pow(rainRate, 0.21);
  std::array<ModelCurve, 3> models;
  models[0] = {"Marshall and Palmer:", 8000, 0.8951219512195122 * r021, 255, 255, 0, 10500, {}};
  models[1] = {"Joss Thunderstorm:", 1400, 1.22 * r021, 192, 0, 0, 9000, {}};
  models[2] = {"Joss Drizzle:", 30000, 0.64 * r021, 0, 192, 0, 7500, {}};
  if (!(ndMax > 0) || !std::isfinite(ndMax) || viewFactor <= 0)
    return models;
  const double percent = 100.0 / ndMax;
  for (ModelCurve &m : models) {
    if (!(m.d0 > 0))
      continue;
    for (int x = 0; x < 10000; x += 50) {
      // D runs from 0 to 10 mm whatever the scale; the first point avoids D = 0.
      const double d = x == 0 ? 0.01 : x * 0.001;
      const double n = m.n0 * std::exp(-3.67 * d / m.d0);
      const double y = std::log10(n * percent);
      if (!(y >= -4))
        continue;
      const double h = std::trunc((y + 2) * 2500);
      m.points.emplace_back(x / viewFactor, int(std::min(h, 1e7)));
    }
  }
  return models;
}

} // namespace dsd
