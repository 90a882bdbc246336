#pragma once
#include "data/CHydException.h"
#include "data/MainHeader.h"

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

// What `pluvicam-cli info` tells of a file: its headers, and a walk over every particle for the
// count and the rain total.
struct FileSummary {
  std::string file; // as the data file names itself
  bool snow = false;
  int format = 0;
  int64_t length = 0; // bytes
  int indexedMinutes = 0;
  std::vector<MainHeader> mainHeaders;
  long long particles = 0;
  long long failures = 0;
  double rain = 0; // mm
  int status = 0;  // the walk's exit status

  // Opens and walks `file`, passing over records whose computation failed; those failures and
  // a file without particles are written to `errors`, the failures preceded by the file's name
  // when `nameFailures` (among several files). False when the file does not open, with the
  // reason in `openFailure`.
  static bool Of(const std::string &file, FileSummary &summary, CHydException &openFailure,
                 std::ostream &errors = std::cerr, bool nameFailures = false);
};
