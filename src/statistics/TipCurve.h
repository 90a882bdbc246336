#pragma once
#include "RainRateRun.h"

#include <cmath>
#include <vector>

class RainRateAxis;

// The gauge's rain rate over the diagram's time axis: one step per tip, at the tip size over the
// time since the tip before, from the first tip on the axis on.
struct TipCurve {
  bool found = false;                // a first tip lies on the axis; otherwise nothing is drawn
  std::vector<RateSegment> segments; // ends at the tips' whole seconds
  int tipCount = 0;                  // tips counted on the axis, the first included
  int windowTipCount = 0;            // of those, the tips inside the time window
  // windowTipCount · tip size: the gauge's rain over the same time as the particles'; -1 for
  // fewer than two tips on the axis.
  float gaugeTotal = -1.0f;
};

// `fromSec` and `toSec` bound the time window in seconds of day, both included; the axis
// usually reaches beyond it to whole hours.
TipCurve ComputeTipCurve(const std::vector<float> &tips, const RainRateAxis &axis, float tipSize,
                         double fromSec = -HUGE_VAL, double toSec = HUGE_VAL);
