#include "ShellText.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace shelltext {

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

double TextToDouble(const std::string &text) {
  bool negative = false;
  const char *p = NumberStart(text, negative);
  const char *end = text.data() + text.size();
  if (p == end || *p == '+' || *p == '-')
    return 0.0;
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(p, end, value, std::chars_format::general);
  if (ec != std::errc() || ptr == p)
    return 0.0;
  return negative ? -value : value;
}

int TextToInt(const std::string &text) {
  bool negative = false;
  const char *p = NumberStart(text, negative);
  const char *end = text.data() + text.size();
  long long value = 0;
  const auto [ptr, ec] = std::from_chars(p, end, value);
  if (ec != std::errc() || ptr == p)
    return 0;
  if (negative)
    value = -value;
  if (value > 2147483647LL || value < -2147483648LL)
    return 0;
  return int(value);
}

ClockTime ParseFixedTime(const std::string &text) {
  // substr never reads past the end: a start beyond it gives an empty part.
  auto part = [&](size_t pos) { return pos < text.size() ? TextToInt(text.substr(pos, 2)) : 0; };
  return ClockTime{part(0), part(3), part(6)};
}

std::string FormatTime(int hour, int minute, int second) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.2d:%.2d:%.2d", hour, minute, second);
  return buffer;
}

std::string FormatOneDecimal(float value) {
  char buffer[64];
  const auto [ptr, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, double(value), std::chars_format::fixed, 1);
  if (ec != std::errc())
    return "0.0";
  return std::string(buffer, ptr);
}

std::string FileNameFromIdent(const char *ident, int length) {
  std::string name;
  for (int i = 0; i < length && ident[i] != '\0'; ++i)
    name.push_back(ident[i]);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string FormatMainTitle(const std::string &fileName, int year, int month, int day,
                            const std::string &windowTitle) {
  char date[64];
  std::snprintf(date, sizeof date, "%.4d/%.2d/%.2d", year, month, day);
  return "NIMBAL   PLUVICAM   " + fileName + "   " + date + "   " + windowTitle;
}

CalendarDate UtcDate(long long secondsSince1970) {
  const std::time_t t = static_cast<std::time_t>(secondsSince1970);
  std::tm tm{};
  if (!gmtime_r(&t, &tm))
    return {};
  return CalendarDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::string ReplaceAll(std::string text, const std::string &from, const std::string &to) {
  if (from.empty())
    return text;
  for (size_t pos = text.find(from); pos != std::string::npos;
       pos = text.find(from, pos + to.size()))
    text.replace(pos, from.size(), to);
  return text;
}

void ReadStoredFilter(FilterSettings &s, const StoredText &text) {
  auto number = [&](const char *key, const char *fallback) {
    return float(TextToDouble(text(key, fallback)));
  };
  auto clock = [&](const char *key, const char *fallback) {
    const ClockTime t = ParseFixedTime(text(key, fallback));
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
  s.dropType = int16_t(TextToInt(text("Hyd-Type", "0")));
}

} // namespace shelltext
