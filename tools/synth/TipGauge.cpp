#include "TipGauge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace synth {

TipGauge::TipGauge(RandomStream &random, int day, int month, int year)
    : random(random), day(day), month(month), year(year),
      // Gauges typically catch a few percent less or more than falls: wind loss, wetting,
      // calibration.
      catchFactor(std::clamp(random.Normal(0.98, 0.015), 0.95, 1.01)),
      delay(random.Uniform(10, 30)) {}

void TipGauge::AddRain(double seconds, double mm) {
  caught += mm * catchFactor;
  while (caught >= TIP_MM) {
    caught -= TIP_MM;
    double t = seconds + delay + random.Normal(0, 1.5);
    // The bucket cannot tip faster than it swings: keep at least 0.2 s between tips.
    if (!tips.empty())
      t = std::max(t, tips.back() + 0.2);
    tips.push_back(t);
  }
}

std::string TipGauge::Text(double startSeconds) const {
  auto clock = [](double s, char type) {
    const long hundredths = std::lround(s * 100);
    char line[64];
    std::snprintf(line, sizeof line, "%c %02ld:%02ld:%02ld.%02ld", type, hundredths / 360000,
                  hundredths / 6000 % 60, hundredths / 100 % 60, hundredths % 100);
    return std::string(line);
  };
  auto date = [](int d, int m, int y) {
    char text[32];
    std::snprintf(text, sizeof text, " - %02d/%02d/%04d\n", d, m, y);
    return std::string(text);
  };
  std::string out = "PLUVIO 1.1\n";
  // The head: the logger's start and the start of the measurement, two M lines that readers
  // take as the head and never as tips.
  out += clock(startSeconds, 'M') + date(day, month, year);
  out += clock(startSeconds, 'M') + date(day, month, year);
  bool nextDay = false;
  for (double t : tips) {
    if (!nextDay && std::lround(t * 100) >= 8640000) {
      // Midnight: the time restarts and the date moves on (only the next day of the month is
      // written; the reader does not use the date).
      out += clock(0, 'M') + date(day + 1, month, year);
      nextDay = true;
    }
    out += clock(nextDay ? t - 86400 : t, 'T') + "\n";
  }
  return out;
}

} // namespace synth
