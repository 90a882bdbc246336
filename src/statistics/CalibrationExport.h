#pragma once
#include "CalibEntry.h"
#include "data/OutputGuard.h"

#include <array>
#include <cstdint>
#include <string>

class CPluvicamDoc;
struct HydRecord;

// The calibration pass over the time window: for every calibration rectangle the ranges of
// diameter, oblateness and fall velocity of the particles inside it and their number, written
// as the text file CORR_IN.DAT.
class CalibrationExport {
public:
  // The beginnings of the export's failure messages; the reason follows after a colon.
  static constexpr const char *CREATE_FAILED = "Create CORR_IN.DAT failed";
  static constexpr const char *WRITE_FAILED = "Could not write data to CORR_IN.dat";

  struct Range {
    float d0 = 50.0f, d1 = 0.0f; // equivalent diameter, mm
    float o0 = 2.0f, o1 = 0.0f;  // oblateness
    float v0 = 30.0f, v1 = 0.0f; // fall velocity, m/s
    int32_t count = 0;
  };

  CalibrationExport(const std::array<CalibEntry, 11> &entries, int scale);

  // Puts the document back at the window's start for the pass: false when that failed (the
  // document has told the user). The end of a previous run no longer stops the reading.
  static bool Rewind(CPluvicamDoc &doc);

  // A particle that passed the filter: counted in every rectangle that holds it.
  void Add(const HydRecord &record);
  const Range &RangeOf(int entry) const { return ranges[size_t(entry)]; }

  // The file's text: the header, a rule, a line per set entry; '\n' line ends.
  std::string Text() const;

  // Writes `text` to `path` through a temporary file beside it, so that a failure leaves any
  // earlier file whole and no half-written one; `guard` says where it may not go. False with
  // `error` set to one of the texts above, a colon and why.
  static bool WriteFile(const std::string &path, const std::string &text, const OutputGuard &guard,
                        std::string &error);

private:
  std::array<CalibEntry, 11> entries;
  std::array<Range, 11> ranges{};
  int scale;
};
