#include "HorizontalVelocityPlot.h"

namespace HorizontalVelocityPlot {

PlotPoint Dot(float hVelA, float hVelB) {
  return {PlotUnits(hVelA * 100.0f), PlotUnits(-hVelB * 100.0f)};
}

PlotPoint SmallDot(float hVelA, float hVelB) {
  return {PlotUnits(100.0 * hVelA), PlotUnits(-100.0 * hVelB)};
}

} // namespace HorizontalVelocityPlot
