#pragma once
#include "particle/CContour.h"
#include "particle/CHydData.h"

#include <cstdio>
#include <string>

// The CSV row format of `pluvicam-cli particles`: other tools compare this output, so the
// columns, their order and the number formats are fixed.
namespace csv {

extern const char *const PARTICLE_COLUMNS;
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
void AppendInt(std::string &row, long long value);

} // namespace csv
