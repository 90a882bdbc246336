#pragma once
// Window-free text helpers of the application shell: the settings store's value formats and the
// main window title.
#include "document/FilterSettings.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace shelltext {

// The leading number of a text the way a plain C conversion reads it (leading blanks, a sign,
// digits); 0 when the text does not start with a number. Independent of the C locale.
double TextToDouble(const std::string &text);
int TextToInt(const std::string &text);
// The same leading numbers; empty when the text does not start with one or it overflows.
std::optional<double> LeadingDouble(const std::string &text);
std::optional<long long> LeadingInteger(const std::string &text);

// Hour, minute and second of a "HH:MM:SS" text, cut at the fixed positions 0, 3 and 6 (two
// characters each) and converted each on its own. Shorter texts give 0 for the missing parts.
struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
};
ClockTime ParseFixedTime(const std::string &text);
std::string FormatTime(int hour, int minute, int second);
// Reads the stored filter values, window title and tip size into `s` through `text(key,
// fallback)`, which gives a key's text or the fallback. Each value is checked with the panels'
// rules: a number the text does not begin with, that overflows, is not finite or lies outside
// the panel's limits, a minimum above its maximum, a time whose hour does not parse or that is
// no time of the day, a class outside 0-6. Such a key gets its default; returns those keys in
// the store's order.
using StoredText = std::function<std::string(const char *key, const char *fallback)>;
std::vector<std::string> ReadStoredFilter(FilterSettings &s, const StoredText &text);

// A float of the store: widened to double and printed with one decimal.
std::string FormatOneDecimal(float value);

// The file-name part of a main header's identification: the text up to its first NUL (at most
// `length` characters) with everything from its last "." on removed; empty without a ".".
std::string FileNameFromIdent(const char *ident, int length);

// "NIMBAL   PLUVICAM   %s   %.4d/%.2d/%.2d   %s".
std::string FormatMainTitle(const std::string &fileName, int year, int month, int day,
                            const std::string &windowTitle);

// UTC calendar date of seconds since 1970.
struct CalendarDate {
  int year = 1970;
  int month = 1;
  int day = 1;
};
CalendarDate UtcDate(long long secondsSince1970);

// Every occurrence of `from` in `text` replaced by `to` (nothing when `from` is empty).
std::string ReplaceAll(std::string text, const std::string &from, const std::string &to);

} // namespace shelltext
