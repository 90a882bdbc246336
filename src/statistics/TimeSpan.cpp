#include "TimeSpan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

TimeSpan TimeSpan::Covering(double a, double b, int32_t lo, int32_t hi) {
  if (!std::isfinite(a) || !std::isfinite(b))
    return {};
  const double first = std::max(double(lo), std::floor(std::min(a, b)));
  const double last = std::min(double(hi), std::ceil(std::max(a, b)));
  if (!(last > first))
    return {};
  return {int32_t(first), int32_t(last)};
}

TimeOfDay TimeSpan::Clock(int32_t seconds) {
  TimeOfDay t;
  t.hour = int16_t(seconds / 3600);
  t.minute = int16_t(seconds / 60 % 60);
  t.second = int16_t(seconds % 60);
  return t;
}

std::string TimeSpan::Text() const {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d-%02d:%02d:%02d", from / 3600, from / 60 % 60,
                from % 60, to / 3600, to / 60 % 60, to % 60);
  return text;
}
