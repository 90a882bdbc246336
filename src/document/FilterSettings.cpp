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

std::string FilterSettings::ResetUnusableStored() {
  std::string reset;
  auto note = [&](const char *name) {
    if (!reset.empty())
      reset += ", ";
    reset += name;
  };
  auto range = [&](const char *name, float &min, float &max, float low, float high) {
    const bool usable =
        std::isfinite(min) && std::isfinite(max) && min >= low && max <= high && min <= max;
    if (!usable) {
      min = low;
      max = high;
      note(name);
    }
  };
  range("diameter", diamMin, diamMax, 0.0f, 50.0f);
  range("velocity", velMin, velMax, 0.0f, 30.0f);
  range("oblateness", oblMin, oblMax, 0.0f, 2.0f);
  auto clock = [](const TimeOfDay &t, bool end) {
    if (end && t.hour == 24 && t.minute == 0 && t.second == 0)
      return true;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59;
  };
  if (!clock(startTime, false)) {
    startTime = TimeOfDay{};
    note("start time");
  }
  if (!clock(endTime, true)) {
    endTime = TimeOfDay{};
    endTime.hour = 23;
    endTime.minute = 59;
    endTime.second = 59;
    note("end time");
  }
  if (dropType < 0 || dropType > 6) {
    dropType = 0;
    note("class");
  }
  // 0 is what a tip size below 0.05 becomes in the store's one decimal.
  if (!std::isfinite(tipSize) || tipSize < 0) {
    tipSize = STORED_TIP_SIZE;
    note("tip size");
  }
  return reset;
}
