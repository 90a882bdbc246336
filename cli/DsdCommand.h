#pragma once
#include "DocumentOptions.h"

#include <string>

namespace CLI {
class App;
}

// `pluvicam-cli dsd`: the enlarged drop size distribution, Run after Run to the end of the data,
// one CSV row per Run.
struct DsdOptions {
  std::string file;
  std::string mode = "time"; // time, rain, objects, full
  std::string interval;      // s, mm or particles by mode; the document's default when empty
  std::string deltaD;        // mm, one of the class widths of the panel
  int scale = 1;
  bool moments = false;
  DocumentOptions document;
};

// Adds the subcommand to `app`; parsed values land in `options`.
CLI::App *AddDsdCommand(CLI::App &app, DsdOptions &options);
// Exit status: 0 the data were read to their end, 1 a failure stopped it, 2 unusable.
int RunDsdCommand(const DsdOptions &options);
