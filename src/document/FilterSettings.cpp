#include "FilterSettings.h"

#include <cmath>

#include "particle/CHydData.h"

namespace {
// Camera lines of a time of day: the whole seconds times the line frequency.
double LinesOf(const TimeOfDay &t, double lineFrequency) {
  return double(t.Seconds()) * lineFrequency;
}
} // namespace

void FilterSettings::Assign(const FilterRecord &fixed) {
  static_cast<FilterRecord &>(*this) = fixed;
}

void FilterSettings::CopyTo(FilterRecord &fixed) const { fixed = *this; }

int16_t FilterSettings::TimeTest(const HydRecord *record) const {
  if (!record || !record->mainHeader)
    return -1;
  const double f = record->mainHeader->lineFrequency;
  const double start = LinesOf(startTime, f);
  const double end = LinesOf(endTime, f);
  return start <= record->tim && record->tim < end ? 1 : 0;
}

int16_t FilterSettings::BeforeStart(const HydRecord *record) const {
  if (!record || !record->mainHeader)
    return -1;
  return record->tim < LinesOf(startTime, record->mainHeader->lineFrequency) ? 1 : 0;
}

int16_t FilterSettings::RecordTest(const HydRecord *r) const {
  if (!r || !r->mainHeader)
    return -1;
  if (dropType != 0 && dropType != r->dropType)
    return 0;
  // Particles touching the edge of the valid pixels are cut off; keep one pixel of margin.
  const int first = r->mainHeader->firstPixel;
  const int last = r->mainHeader->lastPixel;
  if (!(first < r->minPosA && r->maxPosA < last && first < r->minPosB && r->maxPosB < last))
    return 0;
  if (!(diamMin <= r->diameter && r->diameter <= diamMax))
    return 0;
  if (!(velMin <= r->velocity && r->velocity <= velMax))
    return 0;
  if (!(oblMin <= r->oblateness && r->oblateness <= oblMax))
    return 0;
  const int centreA = (r->minPosA + r->maxPosA) / 2;
  const int centreB = (r->minPosB + r->maxPosB) / 2;
  if (centreA < minPixA || centreA > maxPixA || centreB < minPixB || centreB > maxPixB)
    return 0;
  return 1;
}

std::vector<std::string> FilterSettings::ResetUnusableStored() {
  std::vector<std::string> reset;
  auto bound = [&](const char *key, float &value, float low, float high, float fallback) {
    if (!(std::isfinite(value) && value >= low && value <= high)) {
      value = fallback;
      reset.emplace_back(key);
    }
  };
  auto range = [&](const char *minKey, const char *maxKey, float &min, float &max, float low,
                   float high) {
    bound(minKey, min, low, high, low);
    bound(maxKey, max, low, high, high);
    if (min > max) {
      min = low;
      max = high;
      reset.emplace_back(minKey);
      reset.emplace_back(maxKey);
    }
  };
  range("Diameter Min", "Diameter Max", diamMin, diamMax, 0.0f, 50.0f);
  range("Velocity Min", "Velocity Max", velMin, velMax, 0.0f, 30.0f);
  range("Oblateness Min", "Oblateness Max", oblMin, oblMax, 0.0f, 2.0f);
  auto clock = [](const TimeOfDay &t, bool end) {
    if (end && t.hour == 24 && t.minute == 0 && t.second == 0)
      return true;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59;
  };
  if (!clock(startTime, false)) {
    startTime = TimeOfDay{};
    reset.emplace_back("Time_Start");
  }
  if (!clock(endTime, true)) {
    endTime = TimeOfDay{};
    endTime.hour = 23;
    endTime.minute = 59;
    endTime.second = 59;
    reset.emplace_back("Time_End");
  }
  if (dropType < 0 || dropType > 6) {
    dropType = 0;
    reset.emplace_back("Hyd-Type");
  }
  // 0 is what a tip size below 0.05 becomes in the store's one decimal.
  if (!std::isfinite(tipSize) || tipSize < 0) {
    tipSize = STORED_TIP_SIZE;
    reset.emplace_back("Tip_Size");
  }
  return reset;
}
