#include "WindSeries.h"

#include "DropPhysics.h"
#include "data/LittleEndian.h"

#include <algorithm>
#include <cmath>

namespace synth {

WindSeries::WindSeries(RandomStream &random, const PrecipitationPath &path, bool snow) {
  readings.resize(SLOTS);
  // Correlation time 15 minutes; a second, one-minute stage smooths the steps away.
  const double rho = std::exp(-double(SLOT_SECONDS) / 900);
  const double kick = std::sqrt(1 - rho * rho);
  const double smooth = 1 - std::exp(-double(SLOT_SECONDS) / 60);
  double xs = random.Normal(), xd = random.Normal(), ys = xs, yd = xd;
  const double meanSpeed = snow ? 2.0 : 3.5, meanDirection = random.Uniform(180, 270);
  const double meanTemperature = snow ? -2.0 : 12.0;
  for (int k = 0; k < SLOTS; ++k) {
    const double t = (k + 0.5) * SLOT_SECONDS;
    xs = rho * xs + kick * random.Normal();
    xd = rho * xd + kick * random.Normal();
    ys += smooth * (xs - ys);
    yd += smooth * (xd - yd);
    const double burst = path.At(t).burst;
    const double speed = std::max(0.0, meanSpeed + 1.2 * ys + 6 * burst);
    double direction = std::fmod(meanDirection + 25 * yd + 360, 360.0);
    const double temperature =
        meanTemperature + 2.5 * std::sin(2 * PI * (t - 9 * 3600) / 86400) - 3 * burst;
    readings[size_t(k)] = {uint16_t(std::lround(speed * 100)),
                           uint16_t(std::lround(direction) % 360),
                           int16_t(std::lround(temperature * 100))};
    const double stored = readings[size_t(k)].speed / 100.0;
    const double radians = readings[size_t(k)].direction * PI / 180;
    east.push_back(-stored * std::sin(radians));
    north.push_back(-stored * std::cos(radians));
  }
}

int WindSeries::Slot(double seconds) {
  return std::clamp(int(seconds / SLOT_SECONDS), 0, SLOTS - 1);
}

double WindSeries::Speed(double s) const { return readings[size_t(Slot(s))].speed / 100.0; }
double WindSeries::Direction(double s) const { return readings[size_t(Slot(s))].direction; }
double WindSeries::Temperature(double s) const {
  return readings[size_t(Slot(s))].temperature / 100.0;
}

void WindSeries::Velocity(double s, double &e, double &n) const {
  e = east[size_t(Slot(s))];
  n = north[size_t(Slot(s))];
}

std::vector<uint8_t> WindSeries::Bytes() const {
  std::vector<uint8_t> out(readings.size() * 8, 0);
  for (size_t k = 0; k < readings.size(); ++k) {
    uint8_t *p = out.data() + 8 * k;
    le::PutU16(p, readings[k].speed);
    le::PutU16(p + 2, readings[k].direction);
    le::PutU16(p + 4, 1); // sensor status: a valid reading is never four zero words
    le::PutU16(p + 6, uint16_t(readings[k].temperature));
  }
  return out;
}

} // namespace synth
