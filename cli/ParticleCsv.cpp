#include "ParticleCsv.h"

#include <cmath>

namespace csv {

const char *const CONTOUR_COLUMNS =
    "contourCountA,contourCountB,corrHeightA,corrWidthA,corrHVelA,cantingA,rmsA,corrFlagsA,"
    "corrHeightB,corrWidthB,corrHVelB,cantingB,rmsB,corrFlagsB";

namespace {

using Cell = std::optional<double>;
constexpr ParticleColumn::Kind INTEGER = ParticleColumn::Integer;
constexpr ParticleColumn::Kind REAL = ParticleColumn::Real;

// The particle columns; each lambda reads one field of the record.
const std::vector<ParticleColumn> COLUMNS = {
    {"startPos", "byte", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.startPos; }},
    {"prevPos", "byte", INTEGER, false, [](const HydRecord &r, bool) -> Cell { return r.prevPos; }},
    {"nextPos", "byte", INTEGER, false, [](const HydRecord &r, bool) -> Cell { return r.nextPos; }},
    {"tim", "camera line", ParticleColumn::LineTime, false,
     [](const HydRecord &r, bool) -> Cell { return r.tim; }},
    {"time", "", ParticleColumn::Clock, false, [](const HydRecord &, bool) -> Cell { return {}; }},
    {"format", "1", INTEGER, false, [](const HydRecord &r, bool) -> Cell { return r.format; }},
    {"dropType", "1", INTEGER, false, [](const HydRecord &r, bool) -> Cell { return r.dropType; }},
    {"diameter", "mm", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.diameter; }},
    {"volume", "mm3", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.volume; }},
    {"velocity", "m s-1", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.velocity; }},
    {"oblateness", "1", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.oblateness; }},
    {"widthA", "mm", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.widthA; }},
    {"widthB", "mm", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.widthB; }},
    {"heightA", "mm", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.heightA; }},
    {"heightB", "mm", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.heightB; }},
    {"oblA", "1", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.oblA; }},
    {"oblB", "1", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.oblB; }},
    // Snow has no horizontal velocity, and one line gives no motion to measure.
    {"hVelA", "m s-1", REAL, true,
     [](const HydRecord &r, bool isSnow) -> Cell {
       return !isSnow && r.linesA > 1 ? Cell(r.hVelA) : Cell();
     }},
    {"hVelB", "m s-1", REAL, true,
     [](const HydRecord &r, bool isSnow) -> Cell {
       return !isSnow && r.linesB > 1 ? Cell(r.hVelB) : Cell();
     }},
    {"area", "mm2", REAL, false, [](const HydRecord &r, bool) -> Cell { return r.area; }},
    {"linesA", "camera line", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.linesA; }},
    {"linesB", "camera line", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.linesB; }},
    {"minPosA", "pixel", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.minPosA; }},
    {"maxPosA", "pixel", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.maxPosA; }},
    {"minPosB", "pixel", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.minPosB; }},
    {"maxPosB", "pixel", INTEGER, false,
     [](const HydRecord &r, bool) -> Cell { return r.maxPosB; }},
    {"scaleSysA", "mm pixel-1", REAL, false,
     [](const HydRecord &r, bool) -> Cell { return r.scaleSysA; }},
    {"scaleSysB", "mm pixel-1", REAL, false,
     [](const HydRecord &r, bool) -> Cell { return r.scaleSysB; }},
    {"scaleHeight", "mm camera_line-1", REAL, false,
     [](const HydRecord &r, bool) -> Cell { return r.scaleHeight; }},
    // The first format stores no diameter of its own.
    {"rawDiameter", "0.01 mm", INTEGER, true,
     [](const HydRecord &r, bool) -> Cell { return r.format != 1 ? Cell(r.rawDiameter) : Cell(); }},
};

struct CameraResults {
  float height, width, hVel, canting;
  int16_t rms;
  uint8_t flags;
};

// A correction that gave up part way still reports what it computed before (the rms of the
// axis fit survives a failed axis or shear); only the rest stays empty.
void AppendCamera(std::string &row, const CameraResults &c, const CContour &contour,
                  bool corrected) {
  const CContour::CorrectionComputed known = contour.GetCorrectionComputed();
  const bool sizes = corrected && known.sizes;
  for (double v : {double(c.height), double(c.width), double(c.hVel), double(c.canting)}) {
    row += ',';
    if (sizes)
      AppendFloat(row, v);
  }
  row += ',';
  if (corrected && known.rms)
    AppendInt(row, c.rms);
  row += ',';
  if (corrected)
    AppendInt(row, c.flags);
}

} // namespace

void AppendContours(std::string &row, const HydRecord &r, const CContour &a, const CContour &b,
                    bool corrected) {
  AppendInt(row, a.GetCount());
  row += ',';
  AppendInt(row, b.GetCount());
  AppendCamera(row, {r.corrHeightA, r.corrWidthA, r.corrHVelA, r.cantingA, r.rmsA, r.corrFlagsA}, a,
               corrected);
  AppendCamera(row, {r.corrHeightB, r.corrWidthB, r.corrHVelB, r.cantingB, r.rmsB, r.corrFlagsB}, b,
               corrected);
}

void AppendEmptyContours(std::string &row) { row += ",,,,,,,,,,,,,"; }

std::string TimeOfDay(double tim, double f) {
  // Only a time within the day has a clock text; anything else would overflow the cast below.
  if (!(f > 0) || !std::isfinite(tim) || tim < 0 || !(tim / f <= 86400.0 * 2))
    return "";
  auto whole = [](double v) { return static_cast<long long>(std::trunc(v)); };
  const long long hour = whole(tim / (f * 3600));
  const long long minute = whole(tim / (f * 60)) % 60;
  const long long second = whole(tim / f) % 60;
  const long long milli = whole(tim / (f * 0.001)) % 1000;
  char text[40];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", hour, minute, second, milli);
  return text;
}

void AppendFloat(std::string &row, double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", value);
  row += text;
}

void AppendTime(std::string &row, double tim) {
  char text[40];
  if (std::trunc(tim) == tim && std::fabs(tim) < 1e18)
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(tim));
  else
    std::snprintf(text, sizeof text, "%.17g", tim);
  row += text;
}

void AppendInt(std::string &row, long long value) { row += std::to_string(value); }

const std::vector<ParticleColumn> &ParticleColumns() { return COLUMNS; }

std::string ParticleHeader() {
  std::string header;
  for (const ParticleColumn &c : COLUMNS) {
    if (!header.empty())
      header += ',';
    header += c.name;
  }
  return header;
}

void AppendParticle(std::string &row, const HydRecord &r, bool isSnow) {
  const double lineFrequency = r.mainHeader ? r.mainHeader->lineFrequency : 0;
  for (std::size_t i = 0; i < COLUMNS.size(); ++i) {
    const ParticleColumn &c = COLUMNS[i];
    if (i > 0)
      row += ',';
    if (c.kind == ParticleColumn::Clock) {
      row += TimeOfDay(r.tim, lineFrequency);
      continue;
    }
    const Cell cell = c.value(r, isSnow);
    if (!cell)
      continue;
    switch (c.kind) {
    case ParticleColumn::Integer:
      AppendInt(row, static_cast<long long>(*cell));
      break;
    case ParticleColumn::LineTime:
      AppendTime(row, *cell);
      break;
    default:
      AppendFloat(row, *cell);
    }
  }
}

} // namespace csv
