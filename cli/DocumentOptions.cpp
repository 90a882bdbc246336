#include "DocumentOptions.h"

#include "statistics/ParallelFiles.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
// One or two digits at `pos`; advances it. Never looks beyond the text's end.
bool TwoDigits(const std::string &text, size_t &pos, int &value) {
  size_t digits = 0;
  value = 0;
  while (pos < text.size() && digits < 2 && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

bool Colon(const std::string &text, size_t &pos) {
  if (pos >= text.size() || text[pos] != ':')
    return false;
  ++pos;
  return true;
}

} // namespace

bool ParseNumber(const std::string &text, double &value) {
  if (text.empty())
    return false;
  errno = 0;
  char *end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

bool ParseTimeOfDay(const std::string &text, TimeOfDay &time) {
  size_t pos = 0;
  int hour = 0, minute = 0, second = 0;
  if (!TwoDigits(text, pos, hour) || !Colon(text, pos) || !TwoDigits(text, pos, minute))
    return false;
  if (pos < text.size() && (!Colon(text, pos) || !TwoDigits(text, pos, second)))
    return false;
  if (pos != text.size() || minute > 59 || second > 59 || hour > 24)
    return false;
  if (hour == 24 && (minute != 0 || second != 0))
    return false;
  time = TimeOfDay{};
  time.hour = int16_t(hour);
  time.minute = int16_t(minute);
  time.second = int16_t(second);
  return true;
}

bool ParseRange(const std::string &text, double &min, double &max) {
  // The separator is the colon after the first character, so that "-1:5" keeps its sign.
  const auto colon = text.find(':', 1);
  if (colon == std::string::npos)
    return false;
  return ParseNumber(text.substr(0, colon), min) && ParseNumber(text.substr(colon + 1), max) &&
         min <= max;
}

bool DocumentOptions::Any() const {
  return !from.empty() || !to.empty() || !diameter.empty() || !velocity.empty() ||
         !oblateness.empty() || !pixelA.empty() || !pixelB.empty() || type >= 0 || wind ||
         !qcFraction.empty() || !qcTolerance.empty();
}

bool DocumentOptions::BuildFilter(FilterRecord &filter, std::string &error) const {
  filter = FilterRecord::DocumentDefaults();
  filter.endTime.hour = 24;
  if (!from.empty() && !ParseTimeOfDay(from, filter.startTime)) {
    error = "--from: expected HH:MM or HH:MM:SS, got \"" + from + "\"";
    return false;
  }
  if (!to.empty() && !ParseTimeOfDay(to, filter.endTime)) {
    error = "--to: expected HH:MM or HH:MM:SS, got \"" + to + "\"";
    return false;
  }
  if (filter.endTime.Seconds() <= filter.startTime.Seconds()) {
    error = "--to must be later than --from";
    return false;
  }
  auto floats = [&](const std::string &text, const char *name, float &min, float &max) {
    double lo = 0, hi = 0;
    if (text.empty())
      return true;
    if (!ParseRange(text, lo, hi)) {
      error = std::string(name) + ": expected MIN:MAX with MIN <= MAX, got \"" + text + "\"";
      return false;
    }
    min = float(lo);
    max = float(hi);
    return true;
  };
  auto pixels = [&](const std::string &text, const char *name, int16_t &min, int16_t &max) {
    double lo = 0, hi = 0;
    if (text.empty())
      return true;
    constexpr double limit = std::numeric_limits<int16_t>::max();
    if (!ParseRange(text, lo, hi) || lo != std::trunc(lo) || hi != std::trunc(hi) || lo < -limit ||
        hi > limit) {
      error = std::string(name) + ": expected whole pixels MIN:MAX with MIN <= MAX, got \"" + text +
              "\"";
      return false;
    }
    min = int16_t(lo);
    max = int16_t(hi);
    return true;
  };
  if (!floats(diameter, "--diameter", filter.diamMin, filter.diamMax) ||
      !floats(velocity, "--velocity", filter.velMin, filter.velMax) ||
      !floats(oblateness, "--oblateness", filter.oblMin, filter.oblMax) ||
      !pixels(pixelA, "--pixel-a", filter.minPixA, filter.maxPixA) ||
      !pixels(pixelB, "--pixel-b", filter.minPixB, filter.maxPixB))
    return false;
  if (type > 6) {
    error = "--type: expected 0 (all) or a class 1-6";
    return false;
  }
  filter.dropType = int16_t(type < 0 ? 0 : type);
  return BuildVelocityQc(filter.velocityQc, error);
}

bool DocumentOptions::BuildVelocityQc(VelocityQc &qc, std::string &error) const {
  qc = VelocityQc{};
  if (!qcFraction.empty() && !qcTolerance.empty()) {
    error = "--qc-velocity and --qc-velocity-tolerance exclude each other";
    return false;
  }
  double value = 0;
  if (!qcFraction.empty()) {
    if (!ParseNumber(qcFraction, value) || !(value > 0)) {
      error = "--qc-velocity: expected a fraction above 0, got \"" + qcFraction + "\"";
      return false;
    }
    qc.mode = VelocityQc::Mode::Fraction;
    qc.fraction = value;
  } else if (!qcTolerance.empty()) {
    if (!ParseNumber(qcTolerance, value) || !(value > 0)) {
      error = "--qc-velocity-tolerance: expected m/s above 0, got \"" + qcTolerance + "\"";
      return false;
    }
    qc.mode = VelocityQc::Mode::Tolerance;
    qc.tolerance = value;
  }
  return true;
}

void AddDocumentOptions(CLI::App &command, DocumentOptions &o, bool withWind) {
  command.add_option("--from", o.from, "start of the time window, HH:MM[:SS]");
  command.add_option("--to", o.to, "end of the time window (exclusive), HH:MM[:SS]");
  command.add_option("--diameter", o.diameter, "accepted equivalent diameter MIN:MAX, mm");
  command.add_option("--velocity", o.velocity, "accepted vertical velocity MIN:MAX, m/s");
  command.add_option("--oblateness", o.oblateness, "accepted oblateness MIN:MAX");
  command.add_option("--pixel-a", o.pixelA, "accepted centre pixel of camera A, MIN:MAX");
  command.add_option("--pixel-b", o.pixelB, "accepted centre pixel of camera B, MIN:MAX");
  command.add_option("--type", o.type, "0 every class, 1-6 only that class")
      ->check(CLI::Range(0, 6));
  command.add_option("--qc-velocity", o.qcFraction,
                     "remove rain particles outside v_T(D)*(1-F) to v_T(D)*(1+F); 0.5 is usual");
  command.add_option("--qc-velocity-tolerance", o.qcTolerance,
                     "remove rain particles outside v_T(D)-T to v_T(D)+T, T in m/s");
  if (withWind)
    command.add_flag("--wind", o.wind, "append wind speed, direction and temperature");
}

void AddJobsOption(CLI::App &command, int &jobs) {
  command.add_option("--jobs", jobs, "files read at the same time (default: the number of cores)")
      ->default_val(ParallelFiles<int>::DefaultJobs())
      ->check(CLI::Range(1, 1024));
}
