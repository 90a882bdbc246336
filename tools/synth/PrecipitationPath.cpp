#include "PrecipitationPath.h"

#include "DropPhysics.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {
constexpr double CYCLE_SECONDS = 3 * 3600;
// The shower day: seconds after the start and rates in mm/h.
constexpr double SHOWER_PEAK = 2 * 3600 + 50 * 60;
constexpr double SHOWER_PEAK_RATE = 40;
constexpr double SHOWER_STRATIFORM = 2.2;
constexpr double SHOWER_DRIZZLE = 0.5;

// 0 before a, 1 after a + ramp, smooth in between.
double RampUp(double t, double a, double ramp) {
  const double x = std::clamp((t - a) / ramp, 0.0, 1.0);
  return x * x * (3 - 2 * x);
}
} // namespace

PrecipitationPath::PrecipitationPath(RandomStream &random, double start, double end, bool snow,
                                     bool showerDay)
    : snow(snow), showerDay(showerDay && !snow), start(start) {
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
  if (showerDay)
    return ShowerDayAt(t);
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
  return Mix(stratiform, burst, e->drizzle * tail, 1.05);
}

PathState PrecipitationPath::Mix(double stratiform, double burst, double drizzle,
                                 double burstDm) const {
  PathState s;
  s.rate = stratiform + burst + drizzle;
  if (s.rate <= 0)
    return s;
  // Dm grows slowly with the rate, differently in each regime (Dm ~ a R^b, as in the fits of
  // Bringi et al. 2003); mu is higher (narrower spectra) in stratiform rain and drizzle.
  const double dmStratiform = 1.2 * std::pow(std::max(stratiform, 1e-3), 0.15);
  const double dmBurst = burstDm * std::pow(std::max(burst, 1e-3), 0.2);
  const double dmDrizzle = 0.6 * std::pow(std::max(drizzle, 1e-3), 0.1);
  s.dm = (stratiform * dmStratiform + burst * dmBurst + drizzle * dmDrizzle) / s.rate;
  s.mu = (stratiform * 4 + burst * 2 + drizzle * 6) / s.rate;
  s.burst = burst / s.rate;
  return s;
}

PathState PrecipitationPath::ShowerDayAt(double t) const {
  const Event &e = events.front();
  const double u = t - start;
  double modulation = 1;
  for (const auto &w : e.waves)
    modulation += w.amplitude * std::sin(2 * PI * t / w.period + w.phase) * 1.5;
  modulation = std::max(0.4, modulation);
  // Stratiform rain from a few minutes after the start until the shower has passed.
  const double stratiform = SHOWER_STRATIFORM * modulation * RampUp(u, 240, 900) *
                            (1 - RampUp(u, SHOWER_PEAK + 600, 1200));
  // The shower builds quickly and decays more slowly; its drops are large (Dm near 2.9 mm at
  // the peak).
  const double x = (u - SHOWER_PEAK) / (u < SHOWER_PEAK ? 480.0 : 780.0);
  const double burst = std::abs(x) < 4 ? SHOWER_PEAK_RATE * std::exp(-x * x) : 0;
  // Drizzle sets in behind the shower and fades out over the next hour and a half.
  const double drizzleStart = SHOWER_PEAK + 900;
  const double drizzle = SHOWER_DRIZZLE * RampUp(u, drizzleStart, 900) *
                         std::exp(-std::max(0.0, u - drizzleStart) / 2400) *
                         (1 - RampUp(u, drizzleStart + 5400, 600));
  return Mix(stratiform, burst, drizzle, 1.35);
}

} // namespace synth
