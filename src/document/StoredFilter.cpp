#include "StoredFilter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace storedfilter {

namespace {
// Start of the number in `text` after blanks and a '+' that from_chars does not take.
const char *NumberStart(const std::string &text, bool &negative) {
  const char *p = text.data();
  const char *end = p + text.size();
  while (p < end && std::isspace(static_cast<unsigned char>(*p)))
    ++p;
  negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  return p;
}
} // namespace

std::optional<double> LeadingDouble(const std::string &text) {
  bool negative = false;
  const char *p = NumberStart(text, negative);
  const char *end = text.data() + text.size();
  if (p == end || *p == '+' || *p == '-')
    return std::nullopt;
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(p, end, value, std::chars_format::general);
  if (ec != std::errc() || ptr == p)
    return std::nullopt;
  return negative ? -value : value;
}

std::optional<long long> LeadingInteger(const std::string &text) {
  bool negative = false;
  const char *p = NumberStart(text, negative);
  const char *end = text.data() + text.size();
  long long value = 0;
  const auto [ptr, ec] = std::from_chars(p, end, value);
  if (ec != std::errc() || ptr == p)
    return std::nullopt;
  return negative ? -value : value;
}

double TextToDouble(const std::string &text) { return LeadingDouble(text).value_or(0.0); }

int TextToInt(const std::string &text) {
  const long long value = LeadingInteger(text).value_or(0);
  return value > 2147483647LL || value < -2147483648LL ? 0 : int(value);
}

ClockTime ParseFixedTime(const std::string &text) {
  // substr never reads past the end: a start beyond it gives an empty part.
  auto part = [&](size_t pos) { return pos < text.size() ? TextToInt(text.substr(pos, 2)) : 0; };
  return ClockTime{part(0), part(3), part(6)};
}

std::vector<std::string> ReadStoredFilter(FilterSettings &s, const StoredText &text) {
  std::vector<std::string> bad;
  // A number that the text does not begin with, that overflows or is not finite: the default.
  auto number = [&](const char *key, const char *fallback) {
    const std::optional<double> value = LeadingDouble(text(key, fallback));
    if (value && std::isfinite(*value))
      return float(*value);
    bad.emplace_back(key);
    return float(TextToDouble(fallback));
  };
  // The fixed-position cut of the store's format; an hour that does not parse is no time.
  auto clock = [&](const char *key, const char *fallback) {
    std::string stored = text(key, fallback);
    if (!LeadingInteger(stored.substr(0, 2))) {
      bad.emplace_back(key);
      stored = fallback;
    }
    const ClockTime t = ParseFixedTime(stored);
    TimeOfDay time;
    time.hour = int16_t(t.hour);
    time.minute = int16_t(t.minute);
    time.second = int16_t(t.second);
    return time;
  };
  s.tipSize = number("Tip_Size", "0.2");
  s.startTime = clock("Time_Start", "00:00:00");
  s.endTime = clock("Time_End", "23:59:59");
  s.diamMin = number("Diameter Min", "0.0");
  s.diamMax = number("Diameter Max", "50.0");
  s.oblMin = number("Oblateness Min", "0.0");
  s.oblMax = number("Oblateness Max", "2.0");
  s.velMin = number("Velocity Min", "0.0");
  s.velMax = number("Velocity Max", "30.0");
  s.windowTitle = text("Window Title", "Fernwald, Ostland");
  // Checked before it is narrowed: 65536 must not pass as class 0.
  const std::optional<long long> type = LeadingInteger(text("Hyd-Type", "0"));
  s.dropType = type && *type >= 0 && *type <= 6 ? int16_t(*type) : int16_t(0);
  if (!type || *type < 0 || *type > 6)
    bad.emplace_back("Hyd-Type");

  // Then the panels' limits and order; each key is named once, in the order of the store.
  for (const std::string &key : s.ResetUnusableStored())
    bad.push_back(key);
  static const char *const order[] = {"Tip_Size",       "Time_Start",   "Time_End",
                                      "Diameter Min",   "Diameter Max", "Oblateness Min",
                                      "Oblateness Max", "Velocity Min", "Velocity Max",
                                      "Window Title",   "Hyd-Type"};
  std::vector<std::string> named;
  for (const char *key : order)
    if (std::find(bad.begin(), bad.end(), key) != bad.end())
      named.emplace_back(key);
  return named;
}

} // namespace storedfilter
