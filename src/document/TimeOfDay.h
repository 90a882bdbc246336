#pragma once
#include <cstdint>

// A time of day as the filter and the time conversions hold it. The three date fields are always
// 0; the filter tests use hour, minute and second only.
struct TimeOfDay {
  int16_t year = 0;
  int16_t month = 0;
  int16_t day = 0;
  int16_t hour = 0;
  int16_t minute = 0;
  int16_t second = 0;
  int16_t millisecond = 0;

  // Whole seconds since midnight.
  int32_t Seconds() const { return (int32_t(hour) * 60 + minute) * 60 + second; }
};
