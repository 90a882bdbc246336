#pragma once
#include "RandomStream.h"

#include <vector>

namespace synth {

// The weather of the moment: rain (or melted snow) rate and the shape of the size distribution.
struct PathState {
  double rate = 0;  // mm/h; for snow the melted-equivalent rate
  double dm = 1;    // mass-weighted mean diameter, mm (rain)
  double mu = 0;    // gamma shape (rain)
  double burst = 0; // share of the rate that is convective, 0..1 (drives the gusts)
};

// A day's precipitation as a sequence of events that repeat every few hours: a dry spell, light
// stratiform rain around 1-3 mm/h with a convective burst of 30-80 mm/h lasting a few minutes,
// a drizzle tail, a dry spell. For snow: light snowfall. Everything drawn at construction from
// the seed, smooth in time.
//
// The shower day is one scripted day instead: a stratiform morning of a few mm/h, a convective
// shower of large drops that peaks near 40 mm/h about two hours and fifty minutes after the
// start, and a drizzle tail that dies away during the following hour and a half.
class PrecipitationPath {
public:
  PrecipitationPath(RandomStream &random, double startSeconds, double endSeconds, bool snow,
                    bool showerDay = false);

  PathState At(double seconds) const;

private:
  struct Wave {
    double period, phase, amplitude;
  };
  struct Event {
    double start, end;          // the whole cycle
    double rainStart, rainEnd;  // stratiform rain (snowfall)
    double drizzleEnd;          // end of the drizzle tail
    double ramp;                // length of the smooth on and off ramps
    double stratiform, drizzle; // base rates, mm/h
    double burstPeak, burstCentre, burstWidth;
    Wave waves[3];
  };
  PathState Mix(double stratiform, double burst, double drizzle, double burstDm) const;
  PathState ShowerDayAt(double seconds) const;

  bool snow;
  bool showerDay;
  double start;
  std::vector<Event> events;
};

} // namespace synth
