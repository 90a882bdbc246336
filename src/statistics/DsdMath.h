#pragma once
// Drop size distribution arithmetic shared by the DSD views and their tests; no window here.
#include "DsdClassGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace dsd {

// Height of a bar of `percent` of N(D)max on the logarithmic axis: 100 % at 10000, 0.01 % at 0.
inline int LogHeight(double percent) {
  const double h = std::trunc((std::log10(percent) + 2.0) * 2500.0);
  // Values far below the axis stay representable instead of overflowing.
  return int(std::clamp(h, double(std::numeric_limits<int16_t>::min()),
                        double(std::numeric_limits<int16_t>::max())));
}

// Height of a bar on the axis: a class below 0.01 % stops at the axis instead of hanging into
// the labels under it.
inline int BarHeight(double percent) { return std::max(0, LogHeight(percent)); }

struct Bar {
  int x = 0;      // left edge, logical units
  int width = 0;  // logical units
  int height = 0; // logical units, 0 at the axis
};

// N(D) of the small view: 40 classes of 0.25 mm, one interval at a time. An interval opens
// with the first particle added after the previous one closed.
class SmallDsd {
public:
  static constexpr int CLASSES = 40;
  static constexpr int DRAWN_CLASSES = 32; // up to 8 mm
  static constexpr double CLASS_WIDTH = 0.25;
  static constexpr int BAR_WIDTH = 250;

  bool IntervalOpen() const { return intervalStart != -1.0; }
  double IntervalStart() const { return intervalStart; }
  const std::array<double, CLASSES> &Classes() const { return classes; }

  enum class Added {
    Counted,
    NoClass,   // diameter beyond the classes: not counted, the particle still ends a step
    Undefined, // area · velocity = 0 within the classes: the particle is ignored altogether
  };

  // Adds a particle; false when it adds nothing to N(D).
  bool Add(double tim, double diameter, double area, double velocity) {
    return Classify(tim, diameter, area, velocity) == Added::Counted;
  }

  // Adds a particle and says how it was taken.
  Added Classify(double tim, double diameter, double area, double velocity) {
    if (intervalStart == -1.0) {
      intervalStart = tim;
      classes.fill(0.0);
    }
    const int k = dsd::ClassOf(diameter, 0.25);
    if (k < 0 || k >= CLASSES)
      return Added::NoClass;
    const double av = area * velocity;
    if (av == 0 || !std::isfinite(av))
      return Added::Undefined;
    classes[size_t(k)] += 1e6 / av;
    return Added::Counted;
  }

  // One particle of the main run: adds it and, when it completed another rain step, closes the
  // interval. A particle of no defined concentration stops before the step test. Returns true
  // when the interval closed and the bars are due.
  bool Take(double tim, double diameter, double area, double velocity, bool stepComplete,
            double lineFrequency) {
    if (Classify(tim, diameter, area, velocity) == Added::Undefined || !stepComplete)
      return false;
    Close(tim, lineFrequency);
    return true;
  }

  // Normalises the interval ended by the particle at `tim` to 1/(m³·mm) and closes it. An
  // interval of no measurable length (or an unknown line frequency) counts as one second.
  void Close(double tim, double lineFrequency) {
    double seconds = lineFrequency > 0 ? (tim - intervalStart) / lineFrequency : 0.0;
    if (seconds == 0 || !std::isfinite(seconds))
      seconds = 1.0;
    const double factor = 1.0 / (seconds * CLASS_WIDTH);
    for (double &c : classes)
      c *= factor;
    intervalStart = -1.0;
  }

  // Largest class, drawn or not; 0 when there is none.
  double Max() const {
    double m = 0.0;
    for (double c : classes)
      m = std::max(m, c);
    return m;
  }

  // Bars in percent of the maximum on the logarithmic axis; none when the maximum is 0.
  std::vector<Bar> Bars() const {
    std::vector<Bar> bars;
    const double m = Max();
    if (m <= 0)
      return bars;
    for (int k = 0; k < DRAWN_CLASSES; ++k) {
      const double value = 100.0 / m * classes[size_t(k)];
      if (value > 0)
        bars.push_back({k * BAR_WIDTH, BAR_WIDTH, BarHeight(value)});
    }
    return bars;
  }

private:
  double intervalStart = -1.0;
  std::array<double, CLASSES> classes{};
};

// Bars of the enlarged view in percent of the largest of the first n classes, one per class of
// `g.width` units from x 0; none when that maximum is not positive.
inline std::vector<Bar> BigBars(const double *classes, const ClassGeometry &g) {
  std::vector<Bar> bars;
  double m = 0.0;
  for (int k = 0; k < g.count; ++k)
    m = std::max(m, classes[k]);
  if (!(m > 0) || !std::isfinite(m))
    return bars;
  // Only the classes that exist are drawn: a capped table ends before the axis does.
  for (int k = 0, x = 0; k < g.count && x < 10000; ++k, x += g.width) {
    const double value = 100.0 / m * classes[k];
    if (value > 0)
      bars.push_back({x, g.width, BarHeight(value)});
  }
  return bars;
}

} // namespace dsd
