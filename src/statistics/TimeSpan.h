#pragma once
#include "document/TimeOfDay.h"

#include <cstdint>
#include <string>

// A span of the day in whole seconds, as a drag across the rain rate's time axis selects it
// for the document's time window.
struct TimeSpan {
  int32_t from = 0; // seconds of day, included
  int32_t to = 0;   // excluded

  // The whole seconds covering a..b (either order) within lo..hi; empty when nothing is left.
  static TimeSpan Covering(double a, double b, int32_t lo, int32_t hi);
  bool Empty() const { return to <= from; }
  // "HH:MM:SS-HH:MM:SS".
  std::string Text() const;
  static TimeOfDay Clock(int32_t seconds);
};
