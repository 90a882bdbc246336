#include "ShellText.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace shelltext {

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

} // namespace shelltext
