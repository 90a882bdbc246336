#pragma once
// The texts of the record tables, built from the particle record and the wind reading; no
// window here.
#include "document/TimeOfDay.h"
#include "document/WindRecord.h"
#include "particle/CHydData.h"

#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <numbers>
#include <string>

namespace info {

inline const char *const NO_VALUE = "----------";

// printf into a string.
inline std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
inline std::string Format(const char *format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

struct HorizontalVelocity {
  double magnitude = 0; // m/s
  double direction = 0; // degrees in [0, 360)
};

// Speed and direction of the horizontal motion from the components along camera A's and
// camera B's pixel axes.
inline HorizontalVelocity HorizontalVelocityOf(double a, double b) {
  HorizontalVelocity v;
  v.magnitude = std::sqrt(a * a + b * b);
  const double pi = std::numbers::pi;
  if (a == 0) {
    v.direction = b >= 0 ? 0.0 : 180.0;
    return v;
  }
  const double theta = std::atan2(b, -a);
  const double turned = theta <= 0 ? std::fabs(theta) : 2 * pi - theta;
  v.direction = std::fmod(turned + pi / 2, 2 * pi) * 180.0 / pi;
  return v;
}

// Class names by dropType; codes the system never writes show their number.
inline std::string ClassName(unsigned dropType) {
  static const char *const names[] = {"not class.", "rain",   "melting", "snow",
                                      "hail",       "manual", "invalid"};
  return dropType <= 6 ? names[dropType] : Format("%u", dropType);
}

inline std::string TimeText(const TimeOfDay &t) {
  return Format("%02d:%02d:%02d.%03d", t.hour, t.minute, t.second, t.millisecond);
}

// The nine value cells of the small record table.
struct ParticleRows {
  static constexpr int ROWS = 9;
  static constexpr std::array<const char *, ROWS> LABELS = {
      "Time",        "Eq. Diameter", "Ver. Velocity", "Oblateness", "Hor. Velocity",
      "Wind Sensor", "Temperature",  "Type",          "Area"};
  std::array<std::string, ROWS> values;
};

// `time` is null when the particle's time cannot be converted; `wind` null without a reading.
inline ParticleRows RowsFor(const HydRecord &r, const TimeOfDay *time, bool isSno,
                            const WindRecord *wind) {
  ParticleRows rows;
  rows.values[0] = time ? TimeText(*time) : NO_VALUE;
  rows.values[1] = Format("%5.2f mm", double(r.diameter));
  rows.values[2] = Format("%4.1f m/s", double(r.velocity));
  rows.values[3] = Format("%5.2f", double(r.oblateness));
  if (isSno) {
    rows.values[4] = NO_VALUE;
  } else {
    const HorizontalVelocity h = HorizontalVelocityOf(r.hVelA, r.hVelB);
    rows.values[4] = Format("%4.1f m/s, %4.1f\u00B0", h.magnitude, h.direction);
  }
  if (wind) {
    rows.values[5] =
        Format("%4.1f m/s, %5.1f\u00B0", wind->windSpeed * 0.01, double(wind->windDirection));
    rows.values[6] = Format("%4.1f deg C", wind->temperature * 0.01);
  } else {
    rows.values[5] = rows.values[6] = NO_VALUE;
  }
  rows.values[7] = ClassName(r.dropType);
  rows.values[8] = Format("%.2f mm\u00B2", double(r.area));
  return rows;
}

// File row: the data file's name up to its first '.' with the format, and the particle's place
// in the file with the file's length.
inline std::string FileLabel(const std::string &fileName, int format) {
  return Format("%s (%d)", fileName.substr(0, fileName.find('.')).c_str(), format);
}
inline std::string FilePosition(long position, long length) {
  return Format("%ld:%ld", position, length);
}

} // namespace info
