#pragma once
#include "DocumentOptions.h"

#include <string>

namespace CLI {
class App;
}

// `pluvicam-cli rainrate`: the enlarged rain rate diagram's run as CSV, the particles' segments
// first, then the gauge's.
struct RainRateOptions {
  std::string mode;     // "rain" or "time"; empty: the document's default
  std::string interval; // mm (rain) or s (time); empty: the document's default
  float tipSize = -1;   // mm per tip; below 0: the settings' default
  bool noGauge = false;
  DocumentOptions document;
};

CLI::App *AddRainRateCommand(CLI::App &app, std::string &file, RainRateOptions &options);
int RainRateCommand(const std::string &file, const RainRateOptions &options);

// "HH:MM:SS.ss" of seconds of day, every part truncated.
std::string ClockText(double seconds);
