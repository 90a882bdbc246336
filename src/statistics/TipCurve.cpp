#include "TipCurve.h"

#include "RainRateAxis.h"

#include <cmath>

namespace {
// Whole seconds of a tip time, as a number that compares safely with the axis ends.
double Whole(float time) { return std::trunc(double(time)); }
} // namespace

TipCurve ComputeTipCurve(const std::vector<float> &tips, const RainRateAxis &axis, float tipSize,
                         double fromSec, double toSec) {
  TipCurve curve;
  const double start = axis.AxisStart(), end = axis.AxisEnd();
  auto inWindow = [&](float time) { return Whole(time) >= fromSec && Whole(time) <= toSec; };
  size_t i = 0;
  while (i < tips.size() && !(Whole(tips[i]) >= start))
    ++i;
  if (i == tips.size() || Whole(tips[i]) > end)
    return curve;
  curve.found = true;
  float prev = tips[i];
  int n = 1;
  int inside = inWindow(prev) ? 1 : 0;
  for (++i; i < tips.size(); ++i) {
    const float time = tips[i];
    // Past the axis (or no number at all): not counted, and later tips are still looked at.
    if (!(Whole(time) <= end))
      continue;
    ++n;
    if (inWindow(time))
      ++inside;
    const double dt = double(time) - double(prev);
    // A tip no later than the one before spreads its rain over no time: it is counted, but
    // there is no rate to draw.
    if (dt > 0) {
      const double rate = 3600 / dt * double(tipSize);
      curve.segments.push_back({Whole(prev), Whole(time), rate, RainRateAxis::YOf(rate)});
    }
    prev = time;
  }
  curve.tipCount = n;
  curve.windowTipCount = inside;
  curve.gaugeTotal = n <= 1 ? -1.0f : float(inside * double(tipSize));
  return curve;
}
