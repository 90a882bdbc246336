#pragma once
// One rain-rate interval: the time span in which another 0.1 mm of rain fell.
struct RateEntry {
  bool complete = false;
  double startTim = 0; // tim of the interval's first particle
  double endTim = 0;   // tim of the particle that completed it
  float duration = 0;  // s; 0 when the completing particle had no main header
};
