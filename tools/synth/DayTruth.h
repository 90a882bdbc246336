#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// What the generator drew in one minute of the day.
struct MinuteTruth {
  static constexpr int CLASSES = 48; // 0.25 mm classes up to 12 mm
  static constexpr double CLASS_WIDTH = 0.25;

  int minute = 0;          // minute of the day
  int64_t particles = 0;   // particle records written
  double rain = 0;         // mm: sum of volume / effective area of those, as the reader has it
  double expectedRain = 0; // mm: the drawn distribution's precipitation amount
  std::array<double, CLASSES> nd{};      // drawn N(D) averaged over the minute, m^-3 mm^-1
  std::array<int64_t, CLASSES> counts{}; // written particles per class of stored diameter

  static int ClassOf(double diameterMm);
};

// The generator's truth over a day: per-minute N(D) and amounts, and the gauge it simulated.
struct DayTruth {
  bool snow = false;
  double catchFactor = 1; // gauge catch over true rain
  int64_t tips = 0;
  std::vector<MinuteTruth> minutes;

  double Rain() const;
  double ExpectedRain() const;
  int64_t Particles() const;
  // Plain text: a commented header, then one line per minute with the amounts and the 48
  // class values of N(D).
  std::string Text() const;
};

} // namespace synth
