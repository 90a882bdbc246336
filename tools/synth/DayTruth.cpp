#include "DayTruth.h"
#include "TipGauge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace synth {

int MinuteTruth::ClassOf(double diameterMm) {
  return std::clamp(int(std::floor(diameterMm / CLASS_WIDTH)), 0, CLASSES - 1);
}

double DayTruth::Rain() const {
  double sum = 0;
  for (const auto &m : minutes)
    sum += m.rain;
  return sum;
}

double DayTruth::ExpectedRain() const {
  double sum = 0;
  for (const auto &m : minutes)
    sum += m.expectedRain;
  return sum;
}

int64_t DayTruth::Particles() const {
  int64_t sum = 0;
  for (const auto &m : minutes)
    sum += m.particles;
  return sum;
}

std::string DayTruth::Text() const {
  std::string out;
  char buf[128];
  std::snprintf(buf, sizeof buf, "# %s day: %lld particles, %.4f mm (drawn %.4f mm)\n",
                snow ? "snow" : "rain", static_cast<long long>(Particles()), Rain(),
                ExpectedRain());
  out += buf;
  std::snprintf(buf, sizeof buf, "# gauge: catch factor %.4f, %lld tips of %.1f mm\n", catchFactor,
                static_cast<long long>(tips), TipGauge::TIP_MM);
  out += buf;
  out += "# time particles rain_mm drawn_mm, then N(D) in m^-3 mm^-1 of the 0.25 mm classes "
         "0-0.25 ... 11.75-12 mm\n";
  for (const auto &m : minutes) {
    std::snprintf(buf, sizeof buf, "%02d:%02d %lld %.6f %.6f", m.minute / 60, m.minute % 60,
                  static_cast<long long>(m.particles), m.rain, m.expectedRain);
    out += buf;
    for (double n : m.nd) {
      std::snprintf(buf, sizeof buf, " %.4g", n);
      out += buf;
    }
    out += '\n';
  }
  return out;
}

} // namespace synth
