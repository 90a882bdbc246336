#pragma once
#include "DayTruth.h"

#include <cstdint>
#include <string>

namespace synth {

struct DayOptions {
  std::string outDir = ".";
  std::string name = "day";
  uint64_t seed = 1;
  int startMinute = 6 * 60; // minute of the day at which the recording starts
  double hours = 4;         // recording length; the day ends at midnight at the latest
  int format = 4;           // 1..4; snow is always 4
  int64_t particles = 0;    // about this many particles (scales the concentrations); 0: natural
  bool snow = false;
  bool showerDay = false; // rain: the scripted shower day instead of repeating cycles
  std::string ident;      // main headers' identification (at most 14); empty: a test ident
  bool writeFiles = true; // false: only draw, for the truth alone
};

struct DayResult {
  DayTruth truth;
  int64_t particles = 0; // particle records written
  int64_t outside = 0;   // drawn but not wholly inside the usable pixels: not recorded
  std::string dataPath;  // NAME.hyd or NAME.sno
};

// A physically plausible synthetic recording day: the data file with its index, the wind file
// and the gauge's tip file, all drawn from one seed (same seed, same bytes).
DayResult GenerateDay(const DayOptions &options);

// The rain day of the demo: 06:00 to 10:30, a stratiform morning, a convective shower of large
// drops near 08:50, a drizzle tail. Its headers name the file, as the acquisition's do, so that
// the window title shows it.
DayOptions DemoRainDay(const std::string &outDir, const std::string &name);

} // namespace synth
