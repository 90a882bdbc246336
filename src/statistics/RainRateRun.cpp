#include "RainRateRun.h"

#include "RainRateAxis.h"
#include "document/IntegrationSettings.h"

#include <cmath>
#include <limits>

RainRateRun::RainRateRun(IntegrationMode mode, float rainInterval, float timeInterval)
    : mode(mode), rainInterval(rainInterval), timeInterval(timeInterval) {}

float RainRateRun::RainOf(float volume, float area) {
  const float rain = area > 0 ? volume / area : 0.0f;
  return std::isfinite(rain) ? rain : 0.0f;
}

void RainRateRun::Push(double startSec, double endSec, double rate) {
  segments.push_back({startSec, endSec, rate, RainRateAxis::YOf(rate)});
}

void RainRateRun::Add(double t, double lf, float rain) {
  if (!(lf > 0) || !std::isfinite(lf) || !std::isfinite(t))
    return;
  // A depth that is no number adds nothing rather than spoiling every later sum.
  if (!std::isfinite(rain))
    rain = 0;
  if (first) {
    if (mode == IntegrationMode::Time) {
      perHour = 3600.0f / timeInterval;
      t0 = t;
      span = double(timeInterval) * lf;
    }
    firstTim = t;
    ts = t;
    first = false;
  }
  lastTim = t;

  if (mode == IntegrationMode::Rain) {
    sum += rain;
    total += rain;
    if (sum >= rainInterval) {
      const double dt = (t - ts) / lf;
      // Everything at one instant: no rate yet, the sum keeps growing.
      if (dt != 0) {
        Push(ts / lf, t / lf, double(rainInterval) * 3600 / dt);
        ts = t;
        sum = 0;
      }
    }
  } else if (mode == IntegrationMode::Time) {
    if (t < t0 + span || !(span > 0)) {
      sum += rain;
      total += rain;
      return;
    }
    const double end = t0 + span;
    // Whole empty intervals between the completed one and this particle.
    double g = std::floor((t - end) / span);
    if (!std::isfinite(g) || g < 0)
      g = 0;
    Push(t0 / lf, end / lf, double(perHour) * double(sum));
    if (g > 0)
      Push(end / lf, end / lf + g * span / lf + 1.0, 0);
    t0 += (g + 1) * span;
    sum = rain;
    total += rain;
  }
}
