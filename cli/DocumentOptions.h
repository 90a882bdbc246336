#pragma once
#include "document/FilterRecord.h"

#include <string>

namespace CLI {
class App;
}

// The options through which pluvicam-cli reads a file the way the document does: a time window
// and the particle filter of the main window.
struct DocumentOptions {
  std::string from, to;                                       // HH:MM[:SS]
  std::string diameter, velocity, oblateness, pixelA, pixelB; // MIN:MAX
  std::string qcFraction, qcTolerance; // the velocity check, off when both are empty
  int type = -1;
  bool wind = false;

  bool Any() const;
  // The filter for these options: the whole day and the document's defaults where nothing is
  // given. False with `error` set for malformed or contradictory values.
  bool BuildFilter(FilterRecord &filter, std::string &error) const;
  // The velocity check alone; off when neither of its options is given.
  bool BuildVelocityQc(VelocityQc &qc, std::string &error) const;
};

void AddDocumentOptions(CLI::App &command, DocumentOptions &options, bool withWind);
// --jobs: how many files are read at the same time, the number of cores unless given.
void AddJobsOption(CLI::App &command, int &jobs);

// "HH:MM" or "HH:MM:SS", 00:00:00 to 24:00:00.
bool ParseTimeOfDay(const std::string &text, TimeOfDay &time);
// A whole text that is one finite number.
bool ParseNumber(const std::string &text, double &value);
// "MIN:MAX" with MIN <= MAX.
bool ParseRange(const std::string &text, double &min, double &max);
