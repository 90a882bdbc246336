#include "OblatenessPlot.h"

#include <algorithm>

namespace OblatenessPlot {

int UnitsPerMm(int scale) { return scale > 0 ? 1000 / scale : 1000; }

PlotPoint Dot(float diameter, float oblateness, int scale) {
  // float times int: the product is taken in single precision, as the record's fields are.
  return {PlotUnits(diameter * float(UnitsPerMm(scale))), PlotUnits(oblateness * 1000.0f)};
}

PlotPoint SmallDot(float diameter, float oblateness) {
  return {PlotUnits(1000.0 * diameter), PlotUnits(1000.0 * oblateness)};
}

double ModelRatio(Model model, double d) {
  const double ratio =
      model == Model::RO ? 1.064 - 0.07406 * d + 0.00072619 * d * d : 1.03 - 0.062 * d;
  return std::min(ratio, 1.0);
}

std::vector<PlotPoint> ModelCurve(Model model, int scale) {
  const double u = UnitsPerMm(scale);
  std::vector<PlotPoint> points{{0, 1000}};
  // The diameter accumulates its steps, so the last point falls just short of 10 mm.
  for (double d = 0.0; d <= 10.0; d += 0.1) // NOLINT(clang-analyzer-security.FloatLoopCounter)
    points.push_back({PlotUnits(d * u), PlotUnits(ModelRatio(model, d) * 1000)});
  return points;
}

std::array<Mark, 11> CalibrationMarks(int scale) {
  const int s = scale > 0 ? scale : 1;
  std::array<Mark, 11> marks{};
  for (size_t i = 0; i < marks.size(); ++i)
    marks[i] = {{PlotUnits(double(STANDARD_DIAMETERS[i]) * UnitsPerMm(s)), 1000}, 200 / s, 64 / s};
  return marks;
}

} // namespace OblatenessPlot
