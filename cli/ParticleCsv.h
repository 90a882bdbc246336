#pragma once
#include "particle/CContour.h"
#include "particle/CHydData.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The CSV row format of `pluvicam-cli particles`: other tools compare this output, so the
// columns, their order and the number formats are fixed.
namespace csv {

// One column of a particle's row: its name, unit and how its cell is written.
struct ParticleColumn {
  enum Kind {
    Integer,
    Real,     // a 32-bit float of the record
    LineTime, // camera lines since midnight, every digit kept
    Clock     // "HH:MM:SS.mmm" of the line time
  };
  const char *name;
  const char *unit; // as the CF conventions write units; "1" for counts and ratios, "" for text
  Kind kind;
  bool mayBeEmpty; // some particles leave the cell empty
  // The cell's number, empty where the row leaves it empty; Clock cells are text.
  std::optional<double> (*value)(const HydRecord &r, bool isSnow);
};

// The particle columns in the order of a row.
const std::vector<ParticleColumn> &ParticleColumns();
// Their names, comma-separated: the CSV header without the contour columns.
std::string ParticleHeader();
extern const char *const CONTOUR_COLUMNS;

// "HH:MM:SS.mmm" of a particle time in camera lines, every division truncated.
std::string TimeOfDay(double tim, double lineFrequency);

// Appends one particle's row (without a line end).
void AppendParticle(std::string &row, const HydRecord &r, bool isSnow);

// Appends the contour columns; the correction cells stay empty when no correction ran or when
// the correction stopped before it computed them.
void AppendContours(std::string &row, const HydRecord &r, const CContour &a, const CContour &b,
                    bool corrected);
void AppendEmptyContours(std::string &row);

void AppendFloat(std::string &row, double value);
// A time stamp in camera lines: as an integer when whole, else with every digit a double holds,
// so that a line count of a day keeps its last digit.
void AppendTime(std::string &row, double tim);
void AppendInt(std::string &row, long long value);

} // namespace csv
