#pragma once
#include "FilterRecord.h"

#include <string>
#include <vector>

struct HydRecord;

// The filter record with the application's window title and gauge tip size, and the two tests
// every particle read goes through: first the time window, then the filter.
class FilterSettings : public FilterRecord {
public:
  FilterSettings() = default;
  explicit FilterSettings(const FilterRecord &fixed) : FilterRecord(fixed) {}

  std::string windowTitle = "Fernwald, Ostland";
  float tipSize = 0.1f; // mm per tip of the gauge
  // The settings store's tip size: what the desktop starts with.
  static constexpr float STORED_TIP_SIZE = 0.2f;

  // Copies the fixed part in or out; the title and tip size stay.
  void Assign(const FilterRecord &fixed);
  void CopyTo(FilterRecord &fixed) const;
  const FilterRecord &Fixed() const { return *this; }

  // Checks values read from the settings store with the rules of the panels: finite numbers
  // within the panels' limits, min <= max, clock times of the day, a class 0 to 6, a tip size
  // of 0 or more. What fails is set back to the store's default; returns the store's keys of
  // those values (both of a range whose minimum lies above its maximum).
  std::vector<std::string> ResetUnusableStored();

  // 1 inside [startTime, endTime), 0 outside, -1 without record or main header.
  int16_t TimeTest(const HydRecord *record) const;
  // 1 before startTime, 0 otherwise, -1 without record or main header.
  int16_t BeforeStart(const HydRecord *record) const;
  // 1 accepted by class, border margin, diameter, velocity, oblateness and centre pixels;
  // 0 rejected; -1 without record or main header.
  int16_t RecordTest(const HydRecord *record) const;
};
