#pragma once
#include "RainRateRun.h"

#include <vector>

class RainRateAxis;

// The gauge's rain rate over the diagram's time axis: one step per tip, at the tip size over the
// time since the tip before, from the first tip on the axis on.
struct TipCurve {
  bool found = false;                // a first tip lies on the axis; otherwise nothing is drawn
  std::vector<RateSegment> segments; // ends at the tips' whole seconds
  int tipCount = 0;                  // tips counted on the axis, the first included
  float gaugeTotal = -1.0f;          // tipCount · tip size; -1 for fewer than two tips
};

TipCurve ComputeTipCurve(const std::vector<float> &tips, const RainRateAxis &axis, float tipSize);
