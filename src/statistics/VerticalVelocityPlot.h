#pragma once
#include "PlotPoint.h"
#include "document/TerminalVelocity.h"

#include <vector>

// Placement of the fall velocity against diameter diagram: at scale s one millimetre and one
// metre per second are both 1000/s logical units; the plot is x 0..10000, y 0..12000.
namespace VerticalVelocityPlot {

constexpr int PLOT_X = 10000;
constexpr int PLOT_Y = 12000;

// Units per mm and per m/s at scale 1, 2 or 5 (any other scale s gives 1000/s).
float UnitsPerMm(int scale);
PlotPoint Dot(float diameter, float velocity, int scale);
// The main window's small diagram: 1000 units per mm and per m/s, the product in double
// precision (its dots have always been placed so).
PlotPoint SmallDot(float diameter, float velocity);
// The axis label at `units` (a multiple of 1000): s · (units/500) / 2 in whole numbers.
int AxisLabel(int units, int scale);

// Terminal velocity of rain drops, fitted: 9.65 - 10.3 exp(-0.6 D).
double FormulaVelocity(double diameter);
// The fitted curve from D = 0 in steps of 0.05 mm up to 10·s mm, the first point (0, 0).
std::vector<PlotPoint> FormulaCurve(int scale);

using Measurement = terminalvelocity::Measurement;
// The measured terminal velocities, 0.1 to 6.5 mm.
const std::vector<Measurement> &Measurements();
std::vector<PlotPoint> MeasuredCurve(int scale);

} // namespace VerticalVelocityPlot
