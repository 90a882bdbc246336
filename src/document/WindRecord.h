#pragma once
#include <cstdint>

// One reading of the wind sensor, covering three seconds of the day.
struct WindRecord {
  uint16_t windSpeed = 0;     // 0.01 m/s
  uint16_t windDirection = 0; // degrees
  uint16_t windExtra = 0;     // kept, not shown
  int16_t temperature = 0;    // 0.01 °C

  static constexpr int SIZE = 8;

  // Four zero words mean no reading for the slot.
  bool HasReading() const {
    return windSpeed != 0 || windDirection != 0 || windExtra != 0 || temperature != 0;
  }
};
