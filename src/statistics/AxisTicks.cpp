#include "AxisTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace axisticks {

namespace {

std::vector<double> OnStep(double lo, double hi, double step) {
  std::vector<double> ticks;
  // Decimal steps are rounded to their own decimals, so that 3 × 0.2 is 0.6.
  const double decimals = step < 1 ? std::pow(10.0, std::ceil(-std::log10(step) - 1e-9)) : 1;
  // The first multiple at or above lo; a tick a hair below lo by rounding counts as at lo.
  const double first = std::ceil(lo / step - 1e-9);
  for (double k = first;; ++k) {
    const double v = std::round(k * step * decimals) / decimals;
    if (v > hi + step * 1e-9)
      break;
    ticks.push_back(v == 0 ? 0.0 : v);
  }
  return ticks;
}

std::vector<double> OnFirstFitting(double lo, double hi, int most,
                                   const std::vector<double> &steps) {
  for (double step : steps) {
    std::vector<double> ticks = OnStep(lo, hi, step);
    if (int(ticks.size()) <= most)
      return ticks;
  }
  return OnStep(lo, hi, steps.back());
}

} // namespace

std::vector<double> Linear(double lo, double hi, int most) {
  if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
    return {};
  most = std::max(most, 1);
  double step = std::pow(10.0, std::floor(std::log10((hi - lo) / most)));
  for (;;) {
    for (double factor : {1.0, 2.0, 5.0}) {
      std::vector<double> ticks = OnStep(lo, hi, step * factor);
      if (int(ticks.size()) <= most)
        return ticks;
    }
    step *= 10;
  }
}

std::vector<double> Clock(double lo, double hi, int most) {
  if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
    return {};
  static const std::vector<double> steps = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                                            600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
  return OnFirstFitting(lo, hi, std::max(most, 1), steps);
}

std::vector<double> Logarithmic(double lo, double hi, int most) {
  if (!(hi > lo) || !(lo > 0) || !std::isfinite(hi))
    return {};
  most = std::max(most, 1);
  std::vector<double> all, decades;
  for (int k = int(std::floor(std::log10(lo))); k <= int(std::ceil(std::log10(hi))); ++k)
    for (double m : {1.0, 2.0, 5.0}) {
      // Divided for negative powers, so that 5 × 10^-2 is 0.05 exactly as written.
      const double v = k < 0 ? m / std::pow(10.0, -k) : m * std::pow(10.0, k);
      if (v < lo * (1 - 1e-9) || v > hi * (1 + 1e-9))
        continue;
      all.push_back(v);
      if (m == 1.0)
        decades.push_back(v);
    }
  if (int(all.size()) <= most && all.size() >= 2)
    return all;
  if (decades.size() >= 2)
    return decades;
  return Linear(lo, hi, most);
}

std::string Label(double value, double spacing) {
  int decimals = 0;
  if (spacing > 0 && spacing < 1)
    decimals = std::min(6, int(std::ceil(-std::log10(spacing) - 1e-9)));
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  // "-0" reads as a value below zero.
  if (std::string(text).find_first_not_of("-0.") == std::string::npos && text[0] == '-')
    return text + 1;
  return text;
}

std::string ClockLabel(double seconds, double spacing) {
  const long long s = std::llround(seconds);
  char text[32];
  if (spacing < 60)
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%02lld:%02lld", s / 3600, s / 60 % 60);
  return text;
}

} // namespace axisticks
