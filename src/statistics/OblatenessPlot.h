#pragma once
#include "PlotPoint.h"

#include <array>
#include <vector>

// Placement of the oblateness against diameter diagram: a diameter at trunc(D·u) with
// u = 1000/s units per mm, an oblateness H/W at trunc(H/W·1000); the plot is x 0..10000,
// y 0..2000.
namespace OblatenessPlot {

constexpr int PLOT_X = 10000;
constexpr int PLOT_Y = 2000;

// The standardised diameters of the calibration, mm, in entry order.
constexpr std::array<float, 11> STANDARD_DIAMETERS = {0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 4.0f,
                                                      5.0f, 6.0f, 7.0f, 8.0f, 10.0f};

// 1000, 500 or 200 at scale 1, 2 or 5.
int UnitsPerMm(int scale);
PlotPoint Dot(float diameter, float oblateness, int scale);
// The main window's small diagram: 1000 units per mm and per unit of H/W, the product in double
// precision (its dots have always been placed so).
PlotPoint SmallDot(float diameter, float oblateness);

// The two drop-shape models, H/W against D (mm), never above 1.
enum class Model { RO, PB };
double ModelRatio(Model model, double diameter);
// The model's polyline from (0, 1000) through D = 0, 0.1, ... up to the last sum ≤ 10 mm.
std::vector<PlotPoint> ModelCurve(Model model, int scale);

// A calibration mark: a cross centred at (trunc(d·u), 1000).
struct Mark {
  PlotPoint centre;
  int halfWidth;  // trunc(200 / s)
  int halfHeight; // trunc(64 / s)
};
std::array<Mark, 11> CalibrationMarks(int scale);

} // namespace OblatenessPlot
