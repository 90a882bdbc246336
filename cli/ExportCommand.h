#pragma once
#include <cstdint>
#include <string>

// pluvicam-cli export FILE POS [--correction on|off] [--append]: the drop view's text export of
// the particle whose record starts at POS.
struct ExportOptions {
  std::string file;
  int32_t position = 0;
  std::string correction = "off";
  bool append = false;
};

// Exit status: 0 written, 1 no particle at POS or the export failed, 2 the file cannot be used
// or the text file may not be written.
int RunExport(const ExportOptions &options);
