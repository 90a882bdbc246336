#pragma once
#include "document/IntegrationSettings.h"

#include <cstdint>
#include <vector>

// One horizontal piece of the rain rate curve, in seconds of day as the diagram places its ends.
struct RateSegment {
  double startSec = 0;
  double endSec = 0;
  double rate = 0; // mm/h; 0 for the gaps of a run by time
  int y = 0;       // logical height, 0.1 mm/h units, truncated as drawn
};

// The enlarged rain rate diagram's run over the particle stream, one accepted particle at a time.
// By rain: a segment each time the collected rain reaches the interval, at the nominal amount over
// the time it took, from the interval's first particle to the one that completed it. By time:
// back-to-back intervals from the first particle on, empty stretches drawn at zero; the last,
// incomplete interval is never drawn. Other modes read particles and draw nothing.
class RainRateRun {
public:
  RainRateRun(IntegrationMode mode, float rainInterval, float timeInterval);

  // Depth of rain of a particle, volume over measuring area in mm; 0 without an area.
  static float RainOf(float volume, float area);

  // `tim` in camera lines, `lineFrequency` of the particle's main header, `rain` its depth in mm.
  // A particle without a usable line frequency is passed over.
  void Add(double tim, double lineFrequency, float rain);

  const std::vector<RateSegment> &Segments() const { return segments; }
  // Rain of every particle taken, mm (what the record table shows as the instrument's total).
  float Total() const { return total; }
  bool Started() const { return !first; }
  double FirstTim() const { return firstTim; }
  double LastTim() const { return lastTim; }
  // Rain collected in the interval that is still open, mm.
  float OpenRain() const { return sum; }

private:
  void Push(double startSec, double endSec, double rate);

  IntegrationMode mode;
  float rainInterval;
  float timeInterval;
  std::vector<RateSegment> segments;
  float sum = 0;
  float total = 0;
  bool first = true;
  double firstTim = 0, lastTim = 0;
  double ts = 0;     // tim where the open rain interval began
  double t0 = 0;     // tim where the open time interval began
  double span = 0;   // length of a time interval in camera lines
  float perHour = 0; // intervals per hour
};
