#include "ParticleCsv.h"

#include <cmath>

namespace csv {

const char *const PARTICLE_COLUMNS =
    "startPos,prevPos,nextPos,tim,time,format,dropType,diameter,volume,velocity,oblateness,"
    "widthA,widthB,heightA,heightB,oblA,oblB,hVelA,hVelB,area,linesA,linesB,minPosA,maxPosA,"
    "minPosB,maxPosB,scaleSysA,scaleSysB,scaleHeight,rawDiameter";

const char *const CONTOUR_COLUMNS =
    "contourCountA,contourCountB,corrHeightA,corrWidthA,corrHVelA,cantingA,rmsA,corrFlagsA,"
    "corrHeightB,corrWidthB,corrHVelB,cantingB,rmsB,corrFlagsB";

namespace {

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

void AppendInt(std::string &row, long long value) { row += std::to_string(value); }

void AppendParticle(std::string &row, const HydRecord &r, bool isSnow) {
  const double lineFrequency = r.mainHeader ? r.mainHeader->lineFrequency : 0;
  auto i = [&](long long v) {
    AppendInt(row, v);
    row += ',';
  };
  auto f = [&](double v) {
    AppendFloat(row, v);
    row += ',';
  };
  i(r.startPos);
  i(r.prevPos);
  i(r.nextPos);
  f(r.tim);
  row += TimeOfDay(r.tim, lineFrequency);
  row += ',';
  i(r.format);
  i(r.dropType);
  f(r.diameter);
  f(r.volume);
  f(r.velocity);
  f(r.oblateness);
  f(r.widthA);
  f(r.widthB);
  f(r.heightA);
  f(r.heightB);
  f(r.oblA);
  f(r.oblB);
  // Snow has no horizontal velocity, and one line gives no motion to measure.
  if (!isSnow && r.linesA > 1)
    AppendFloat(row, r.hVelA);
  row += ',';
  if (!isSnow && r.linesB > 1)
    AppendFloat(row, r.hVelB);
  row += ',';
  f(r.area);
  i(r.linesA);
  i(r.linesB);
  i(r.minPosA);
  i(r.maxPosA);
  i(r.minPosB);
  i(r.maxPosB);
  f(r.scaleSysA);
  f(r.scaleSysB);
  f(r.scaleHeight);
  if (r.format != 1)
    AppendInt(row, r.rawDiameter);
}

} // namespace csv
