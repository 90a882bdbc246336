#pragma once
#include <array>
#include <string>
#include <vector>

// The three exponential model distributions that the enlarged drop size distribution compares
// with, for a rain rate R in mm/h: N(D) = N0·exp(−3.67·D/D0) with D0 = a·R^0.21.
namespace dsd {

struct ModelCurve {
  const char *label = ""; // "Marshall and Palmer:" ...
  double n0 = 0;          // 1/(m³·mm)
  double d0 = 0;          // mm, median volume diameter
  int red = 0, green = 0, blue = 0;
  int labelY = 0; // logical
  // Logical points of the curve in percent of N(D)max on the logarithmic axis.
  std::vector<std::pair<int, int>> points;

  std::string N0Text() const;
  std::string D0Text() const;
};

// Marshall and Palmer, Joss thunderstorm and Joss drizzle, in that order, drawn for a diagram
// whose largest class is `ndMax` at scale `viewFactor`. No points when `ndMax` is not positive.
std::array<ModelCurve, 3> ModelCurves(double rainRate, double ndMax, int viewFactor);

} // namespace dsd
