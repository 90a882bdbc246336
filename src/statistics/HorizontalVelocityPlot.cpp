#include "HorizontalVelocityPlot.h"

namespace HorizontalVelocityPlot {

PlotPoint Dot(float hVelA, float hVelB) {
  return {PlotUnits(hVelA * 100.0f), PlotUnits(-hVelB * 100.0f)};
}

} // namespace HorizontalVelocityPlot
