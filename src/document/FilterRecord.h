#pragma once
#include "TimeOfDay.h"
#include "VelocityQc.h"
#include "data/FilterRange.h"

#include <cstdint>

// The user's time window and particle filter as one plain record, copied as a whole. Fresh
// records have the application's defaults; the document starts from DocumentDefaults().
struct FilterRecord {
  TimeOfDay startTime; // inclusive
  TimeOfDay endTime;   // exclusive
  float diamMin = 0.0f;
  float diamMax = float(DIAMETER_LIMIT_MM);
  float velMin = 0.0f;
  float velMax = float(VELOCITY_LIMIT_MS);
  float oblMin = 0.0f;
  float oblMax = 2.0f;
  int16_t minPixA = 0;
  int16_t maxPixA = MAX_PIXEL_512;
  int16_t minPixB = 0;
  int16_t maxPixB = MAX_PIXEL_512;
  int16_t dropType = 0; // 0: every class, 1-6: only that class
  VelocityQc velocityQc;

  // The document's own defaults allow the full pixel range of a format 4 camera.
  static FilterRecord DocumentDefaults() {
    FilterRecord r;
    r.maxPixA = MAX_PIXEL_1024;
    r.maxPixB = MAX_PIXEL_1024;
    return r;
  }
};
