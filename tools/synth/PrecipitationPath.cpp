#include "PrecipitationPath.h"

#include "DropPhysics.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {
constexpr double CYCLE_SECONDS = 3 * 3600;

// 0 before a, 1 after a + ramp, smooth in between.
double RampUp(double t, double a, double ramp) {
  const double x = std::clamp((t - a) / ramp, 0.0, 1.0);
  return x * x * (3 - 2 * x);
}
} // namespace

PrecipitationPath::PrecipitationPath(RandomStream &random, double start, double end, bool snow)
    : snow(snow) {
  // Whole cycles of equal length, so that a short day still holds every kind of rain.
  const int cycles = std::max(1, int(std::ceil((end - start) / CYCLE_SECONDS - 0.25)));
  const double length = (end - start) / cycles;
  for (int c = 0; c < cycles; ++c) {
    Event e;
    e.start = start + c * length;
    e.end = e.start + length;
    e.ramp = std::min(300.0, 0.05 * length);
    e.rainStart = e.start + length * random.Uniform(0.02, 0.06);
    e.rainEnd = e.start + length * (snow ? random.Uniform(0.92, 0.97) : random.Uniform(0.65, 0.72));
    e.drizzleEnd = snow ? e.rainEnd : e.start + length * random.Uniform(0.92, 0.97);
    e.stratiform = snow ? random.Uniform(0.5, 1.5) : random.Uniform(1.2, 2.6);
    e.drizzle = random.Uniform(0.15, 0.4);
    e.burstPeak = snow ? 0 : random.Uniform(30, 80);
    e.burstCentre = e.rainStart + (e.rainEnd - e.rainStart) * random.Uniform(0.35, 0.6);
    // A Gaussian pulse of this width has a half-power duration of about 3 minutes.
    e.burstWidth = std::min(110.0, 0.04 * length);
    for (auto &w : e.waves)
      w = {random.Uniform(8, 40) * 60, random.Uniform(0, 2 * PI), random.Uniform(0.08, 0.16)};
    events.push_back(e);
  }
}

PathState PrecipitationPath::At(double t) const {
  PathState s;
  const Event *e = nullptr;
  for (const auto &candidate : events)
    if (t >= candidate.start && t < candidate.end)
      e = &candidate;
  if (!e)
    return s;

  double modulation = 1;
  for (const auto &w : e->waves)
    modulation += w.amplitude * std::sin(2 * PI * t / w.period + w.phase) * 2;
  modulation = std::max(0.3, modulation);
  const double on =
      RampUp(t, e->rainStart, e->ramp) * (1 - RampUp(t, e->rainEnd - e->ramp, e->ramp));
  const double stratiform = e->stratiform * modulation * on;
  if (snow) {
    s.rate = stratiform;
    return s;
  }
  const double x = (t - e->burstCentre) / e->burstWidth;
  const double burst = std::abs(x) < 4 ? e->burstPeak * std::exp(-x * x) : 0;
  // The drizzle takes over while the stratiform rain fades and then dies away.
  const double tail =
      RampUp(t, e->rainEnd - e->ramp, e->ramp) * (1 - RampUp(t, e->drizzleEnd - e->ramp, e->ramp)) *
      std::exp(-std::max(0.0, t - e->rainEnd) / (0.5 * (e->drizzleEnd - e->rainEnd)));
  const double drizzle = e->drizzle * tail;

  s.rate = stratiform + burst + drizzle;
  if (s.rate <= 0)
    return s;
  // Dm grows slowly with the rate, differently in each regime (Dm ~ a R^b, as in the fits of
  // Bringi et al. 2003); mu is higher (narrower spectra) in stratiform rain and drizzle.
  const double dmStratiform = 1.2 * std::pow(std::max(stratiform, 1e-3), 0.15);
  const double dmBurst = 1.05 * std::pow(std::max(burst, 1e-3), 0.2);
  const double dmDrizzle = 0.6 * std::pow(std::max(drizzle, 1e-3), 0.1);
  s.dm = (stratiform * dmStratiform + burst * dmBurst + drizzle * dmDrizzle) / s.rate;
  s.mu = (stratiform * 4 + burst * 2 + drizzle * 6) / s.rate;
  s.burst = burst / s.rate;
  return s;
}

} // namespace synth
