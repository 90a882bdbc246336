#pragma once
#include "DocumentOptions.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

// `pluvicam-cli dsd`: the enlarged drop size distribution, Run after Run to the end of the data,
// one CSV row per Run, or one netCDF file; several files form one series in the order of their
// first main header's time.
struct DsdOptions {
  std::vector<std::string> files;
  std::string netcdf;             // the product file; CSV on standard output when empty
  std::vector<std::string> attrs; // KEY=VALUE global attributes of the product
  std::string commandLine;        // for the product's history
  std::string mode = "time";      // time, rain, objects, full
  std::string interval;           // s, mm or particles by mode; the document's default when empty
  std::string deltaD;             // mm, one of the class widths of the panel
  int scale = 1;
  bool moments = false;
  DocumentOptions document;
};

// Adds the subcommand to `app`; parsed values land in `options`.
CLI::App *AddDsdCommand(CLI::App &app, DsdOptions &options);
// Exit status: 0 the data were read to their end, 1 a failure stopped a file or a file was
// skipped, 2 unusable (bad options, no file to read, the product could not be written).
int RunDsdCommand(const DsdOptions &options);
