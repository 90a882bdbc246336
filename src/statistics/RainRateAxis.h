#pragma once
#include "document/TimeOfDay.h"

#include <cstdint>

// The time and rain-rate axes of the enlarged rain rate diagram: whole hours around the time
// window, one logical x unit per second (per 5 seconds beyond 6 hours), one y unit per 0.1 mm/h.
class RainRateAxis {
public:
  static constexpr int RATE_MAXIMA[] = {5, 10, 20, 50, 100, 150, 200, 500, 1000, 1500, 2000};
  static constexpr int DEFAULT_RATE_MAX = 50;

  struct Steps {
    int minor;
    int major;
  };

  // Axis from the window's start hour to the end hour, rounded up to the next whole hour.
  void Layout(const TimeOfDay &start, const TimeOfDay &end);
  // The next larger or smaller rate maximum; stays at the ends of the table.
  void ScaleUp();
  void ScaleDown();
  void SetRateMax(int max);

  int AxisStart() const { return axisStart; }
  int AxisEnd() const { return axisEnd; }
  int Range() const { return axisEnd - axisStart; }
  int SecondsPerUnit() const { return secondsPerUnit; }
  int RateMax() const { return rateMax; }
  // Logical extents of the plot.
  int X() const { return x; }
  int Y() const { return rateMax * 10; }

  // Logical x of a time in seconds of day: trunc((s - axisStart) / secondsPerUnit), held inside
  // a range that any drawing survives.
  int XOf(double seconds) const;
  // Logical y of a rate in mm/h: trunc(10 · rate), held the same way.
  static int YOf(double rate);
  // Clamps a logical coordinate far outside any plot into a range a painter survives.
  static int Clamp(double units);

  // Tick steps in seconds for the time axis and in logical units for the rate axis.
  Steps TimeSteps() const;
  Steps RateSteps() const;

private:
  int axisStart = 0;
  int axisEnd = 3600;
  int secondsPerUnit = 1;
  int x = 3600;
  int rateMax = DEFAULT_RATE_MAX;
};
