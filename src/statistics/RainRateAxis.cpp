#include "RainRateAxis.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr double LIMIT = 1e7;
}

void RainRateAxis::Layout(const TimeOfDay &start, const TimeOfDay &end) {
  axisStart = start.hour * 3600;
  axisEnd = (end.minute == 0 ? end.hour : end.hour + 1) * 3600;
  // A window that ends where it starts would leave no axis to map onto.
  if (axisEnd <= axisStart)
    axisEnd = axisStart + 3600;
  const int range = Range();
  if (range / 3600 > 6) {
    secondsPerUnit = 5;
    x = range / 5;
  } else {
    secondsPerUnit = 1;
    x = range;
  }
}

void RainRateAxis::ScaleUp() {
  const int *end = std::end(RATE_MAXIMA);
  const int *next = std::upper_bound(std::begin(RATE_MAXIMA), end, rateMax);
  if (next != end)
    rateMax = *next;
}

void RainRateAxis::ScaleDown() {
  const int *begin = std::begin(RATE_MAXIMA);
  const int *at = std::lower_bound(begin, std::end(RATE_MAXIMA), rateMax);
  if (at != begin)
    rateMax = *(at - 1);
}

void RainRateAxis::SetRateMax(int max) {
  rateMax = std::clamp(max, RATE_MAXIMA[0], std::end(RATE_MAXIMA)[-1]);
}

int RainRateAxis::Clamp(double units) {
  if (std::isnan(units))
    return 0;
  return int(std::clamp(std::trunc(units), -LIMIT, LIMIT));
}

int RainRateAxis::XOf(double seconds) const {
  return Clamp((seconds - axisStart) / secondsPerUnit);
}

int RainRateAxis::YOf(double rate) { return Clamp(rate * 10); }

RainRateAxis::Steps RainRateAxis::TimeSteps() const {
  const int hours = Range() / 3600;
  if (hours <= 2)
    return {60, 600};
  if (hours <= 4)
    return {300, 1800};
  if (hours == 5)
    return {600, 1800};
  if (hours == 6)
    return {600, 3600};
  if (hours <= 9)
    return {900, 3600};
  if (hours <= 13)
    return {1800, 3600};
  if (hours <= 22)
    return {3600, 7200};
  return {3600, 14400};
}

RainRateAxis::Steps RainRateAxis::RateSteps() const {
  switch (rateMax) {
  case 5:
    return {1, 10};
  case 10:
    return {5, 10};
  case 20:
    return {10, 50};
  case 50:
    return {10, 100};
  case 100:
  case 150:
  case 200:
    return {50, 100};
  case 500:
    return {100, 1000};
  default:
    return {500, 1000};
  }
}
