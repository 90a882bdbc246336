#pragma once
// The stored filter's texts: the settings store's number and time formats, read and checked with
// the panels' rules. No store here: the caller hands over each key's text.
#include "FilterSettings.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace storedfilter {

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
// Reads the stored filter values, window title and tip size into `s` through `text(key,
// fallback)`, which gives a key's text or the fallback. Each value is checked with the panels'
// rules: a number the text does not begin with, that overflows, is not finite or lies outside
// the panel's limits, a minimum above its maximum, a time whose hour does not parse or that is
// no time of the day, a class outside 0-6. Such a key gets its default; returns those keys in
// the store's order.
using StoredText = std::function<std::string(const char *key, const char *fallback)>;
std::vector<std::string> ReadStoredFilter(FilterSettings &s, const StoredText &text);

} // namespace storedfilter
