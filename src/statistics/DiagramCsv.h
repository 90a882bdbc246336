#pragma once
#include "DiagramDot.h"
#include "DsdClassGeometry.h"
#include "RainRateRun.h"
#include "data/OutputGuard.h"

#include <string>
#include <vector>

class CPluvicamDoc;
class OblatenessHistogram;
struct DsdInterval;

// The numbers behind the enlarged diagrams as CSV, in the columns of the command-line tool's
// `rainrate`, `shape` and `dsd`, so that a table saved from the desktop and the tool's output
// compare line by line.
namespace diagramcsv {

// "HH:MM:SS.ss" of seconds of day, every part truncated; empty for a non-finite time.
std::string ClockText(double seconds);
// "HH:MM:SS.mmm" of a particle time by the document's main headers; empty when it has none.
std::string TimText(const CPluvicamDoc &doc, double tim);

extern const char *const RAIN_RATE_COLUMNS;
// One step of a rain-rate curve; `source` is "particles" or "gauge".
void AppendRainRateRow(std::string &out, const char *source, const RateSegment &s);

// The oblateness distribution: bin, lower and upper H/W, count for each of its bins.
std::string ShapeTable(const OblatenessHistogram &histogram);

// With the velocity check on (`removed`), a `removed` column follows `count`; off, the columns
// are as they always were.
std::string DsdHeader(const dsd::ClassGeometry &geometry, float deltaD, bool moments, bool removed);
// One interval of the document's drop size distribution, numbered `run`.
void AppendDsdRow(std::string &out, int run, CPluvicamDoc &doc, const DsdInterval &interval,
                  bool moments, bool removed);
// The same row without its run number, for a series whose runs are numbered where they meet.
void AppendDsdRowValues(std::string &out, CPluvicamDoc &doc, const DsdInterval &interval,
                        bool moments, bool removed);

extern const char *const DOT_COLUMNS;
// One dot of a velocity or oblateness diagram and the particle behind it.
void AppendDot(std::string &out, const CPluvicamDoc &doc, const DiagramDot &dot);

// Writes `text` to `path` where `guard` lets it, complete or not at all. False with `error` set.
bool WriteTable(const std::string &path, const std::string &text, const OutputGuard &guard,
                std::string &error);

} // namespace diagramcsv
