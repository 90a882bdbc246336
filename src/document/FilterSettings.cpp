#include "FilterSettings.h"

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
