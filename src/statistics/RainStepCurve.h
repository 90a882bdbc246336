#pragma once
// The small rain rate view's step curve of the last 30 minutes, built from the document's
// rain-rate list; no window here.
#include "document/RateEntry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace rainrate {

constexpr int SPAN = 1800;     // seconds shown, one logical unit each
constexpr int PLOT_TOP = 5000; // 50 mm/h in 0.01 mm/h

struct StepCurve {
  std::vector<std::pair<int, int>> points; // polyline, the first point a move
  std::string endLabel;                    // time of the newest completed interval
  std::string startLabel;                  // 30 minutes earlier
  size_t entriesNeeded = 0; // newest entries the curve reaches; older ones can be dropped
};

// "%02d:%02d" of a time of day in seconds.
inline std::string HourMinute(double seconds) {
  const long s = long(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld", s / 3600, (s / 60) % 60);
  return text;
}

// Index of the newest complete entry: the head, or the one after it while the head is open.
inline int NewestComplete(const std::deque<RateEntry> &list) {
  if (list.empty())
    return -1;
  if (list.front().complete)
    return 0;
  return list.size() > 1 && list[1].complete ? 1 : -1;
}

// The rate of an interval of 0.1 mm in 0.01 mm/h, held in a range the drawing can take.
inline int RateUnits(float duration) {
  const double y = std::trunc(360.0 / duration * 100.0);
  return int(std::clamp(y, -1e6, 1e6));
}

// Walks from entry `from` to older ones, each a step of its rate over its duration, right to
// left from x = 1800. Entries without duration are skipped. When the walk passes the left edge it
// ends there: `entriesNeeded` stops at the entry that crossed it. Nothing without line frequency.
inline StepCurve BuildStepCurve(const std::deque<RateEntry> &list, int from, double lineFrequency) {
  StepCurve curve;
  curve.entriesNeeded = list.size();
  if (from < 0 || size_t(from) >= list.size() || !(lineFrequency > 0))
    return curve;
  const double e = list[size_t(from)].endTim / lineFrequency;
  curve.endLabel = HourMinute(e);
  double start = e - SPAN;
  if (start < 0)
    start += 86400;
  curve.startLabel = HourMinute(start);

  float x = SPAN;
  for (size_t i = size_t(from); i < list.size(); ++i) {
    const RateEntry &entry = list[i];
    if (entry.duration == 0)
      continue;
    const int y = RateUnits(entry.duration);
    curve.points.emplace_back(int(x), y);
    x -= entry.duration;
    curve.points.emplace_back(int(std::max(x, 0.0f)), y);
    if (x < 0) {
      curve.entriesNeeded = i + 1;
      break;
    }
  }
  return curve;
}

} // namespace rainrate
