#pragma once
#include "CalibEntry.h"

#include <array>
#include <string>

// The calibration groups chosen in the oblateness scatter: one rectangle per standardised
// diameter, a later one of the same diameter replacing the earlier.
class CalibrationSelection {
public:
  static constexpr int ENTRIES = 11;

  // The standardised diameter nearest to `diameter` mm (ties to the smaller), as an index.
  static int Preselect(double diameter);
  // The diameter in mm at the horizontal centre of a rectangle from `start` to `current`.
  static double CentreDiameter(PlotPoint start, PlotPoint current, int scale);

  // Assigns a rectangle to entry `index` (0 to 10); false for any other index.
  bool Set(int index, PlotPoint start, PlotPoint current);
  const std::array<CalibEntry, ENTRIES> &Entries() const { return entries; }
  bool Any() const;
  // "Following Data will be processed" with a line per set entry and the closing question.
  std::string SummaryText() const;

private:
  std::array<CalibEntry, ENTRIES> entries{};
};
