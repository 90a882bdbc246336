#pragma once
#include <cstdint>
#include <string>

namespace CLI {
class App;
}

// pluvicam-cli export FILE POS [--correction on|off] [--append]: the drop view's text export of
// the particle whose record starts at POS.
struct ExportOptions {
  std::string file;
  int32_t position = 0;
  std::string correction = "off";
  bool append = false;
};

// Registers the subcommand; returns it so that main can tell whether it was chosen.
CLI::App *AddExportCommand(CLI::App &app, ExportOptions &options);
// Exit status: 0 written, 1 no particle at POS or the export failed, 2 the file cannot be used.
int RunExport(const ExportOptions &options);
