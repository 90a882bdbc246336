#pragma once
#include <cstdint>

// How a statistic cuts the particle stream into intervals.
enum class IntegrationMode : int32_t { FullTimeRange = 0, Rain = 1, Time = 2, Objects = 3 };

// The document's two integration records.
enum class IntegrationKind { RainRate, Dsd };

// Integration settings of one statistic (rain rate diagram or drop size distribution). After a
// drop size distribution interval, timeInterval, rainInterval and dropCount hold what it measured.
struct IntegrationSettings {
  IntegrationMode mode = IntegrationMode::Rain;
  float timeInterval = 15.0f; // s
  float rainInterval = 0.05f; // mm
  int32_t dropCount = 500;
  float deltaD = 0.25f;     // mm, diameter class width
  float result = 0;         // rain rate of the last interval (mm/h) or total rain of the run (mm)
  float gaugeTotal = -1.0f; // mm of the tip file in the shown window; -1 = none
};
