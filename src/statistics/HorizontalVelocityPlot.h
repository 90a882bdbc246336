#pragma once
#include "PlotPoint.h"

// Placement of the horizontal velocity diagram: 100 logical units per m/s, camera A's component
// to the right and camera B's downwards; the window spans ±36 m/s around the centre.
namespace HorizontalVelocityPlot {

constexpr int HALF_WINDOW = 3600;

PlotPoint Dot(float hVelA, float hVelB);
// The main window's small diagram: the same units, the product in double precision (its dots
// have always been placed so).
PlotPoint SmallDot(float hVelA, float hVelB);

} // namespace HorizontalVelocityPlot
