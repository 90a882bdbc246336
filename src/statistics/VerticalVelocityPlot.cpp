#include "VerticalVelocityPlot.h"

#include <cmath>

namespace VerticalVelocityPlot {

float UnitsPerMm(int scale) {
  switch (scale) {
  case 2:
    return 500.0f;
  case 5:
    return 200.0f;
  default:
    return scale > 0 ? 1000.0f / float(scale) : 1000.0f;
  }
}

PlotPoint Dot(float diameter, float velocity, int scale) {
  const float f = UnitsPerMm(scale);
  // The product is taken in single precision, as the record's fields are.
  return {PlotUnits(f * diameter), PlotUnits(f * velocity)};
}

PlotPoint SmallDot(float diameter, float velocity) {
  return {PlotUnits(1000.0 * diameter), PlotUnits(1000.0 * velocity)};
}

int AxisLabel(int units, int scale) { return scale * (units / 500) / 2; }

double FormulaVelocity(double diameter) { return 9.65 - 10.3 * std::exp(-0.6 * diameter); }

std::vector<PlotPoint> FormulaCurve(int scale) {
  const double f = UnitsPerMm(scale);
  const int steps = 200 * (scale > 0 ? scale : 1);
  std::vector<PlotPoint> points{{0, 0}};
  points.reserve(size_t(steps) + 2);
  for (int i = 0; i <= steps; ++i) {
    const double d = i * 0.05;
    points.push_back({PlotUnits(f * d), PlotUnits(f * FormulaVelocity(d))});
  }
  return points;
}

const std::vector<Measurement> &Measurements() {
  static const std::vector<Measurement> table = {
      {0.1, 0.27}, {0.2, 0.72}, {0.3, 1.17}, {0.4, 1.62}, {0.5, 2.06}, {0.6, 2.47}, {0.7, 2.87},
      {0.8, 3.27}, {0.9, 3.67}, {1.0, 4.03}, {1.2, 4.64}, {1.4, 5.17}, {1.6, 5.65}, {1.8, 6.09},
      {2.0, 6.49}, {2.4, 7.27}, {2.8, 7.82}, {3.2, 8.26}, {3.6, 8.60}, {4.0, 8.83}, {4.4, 8.98},
      {4.8, 9.07}, {5.2, 9.12}, {5.6, 9.16}, {6.0, 9.17}, {6.5, 9.18}};
  return table;
}

std::vector<PlotPoint> MeasuredCurve(int scale) {
  const double f = UnitsPerMm(scale);
  std::vector<PlotPoint> points;
  for (const Measurement &m : Measurements())
    points.push_back({PlotUnits(f * m.diameter), PlotUnits(f * m.velocity)});
  return points;
}

} // namespace VerticalVelocityPlot
