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

double FormulaVelocity(double diameter) { return terminalvelocity::Fitted(diameter); }

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

const std::vector<Measurement> &Measurements() { return terminalvelocity::Measurements(); }

std::vector<PlotPoint> MeasuredCurve(int scale) {
  const double f = UnitsPerMm(scale);
  std::vector<PlotPoint> points;
  for (const Measurement &m : Measurements())
    points.push_back({PlotUnits(f * m.diameter), PlotUnits(f * m.velocity)});
  return points;
}

} // namespace VerticalVelocityPlot
