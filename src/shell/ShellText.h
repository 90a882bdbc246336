#pragma once
// Window-free text helpers of the application shell: the settings store's value formats and the
// main window title. Reading the stored filter is the document's (document/StoredFilter.h).
#include <string>

namespace shelltext {

// "HH:MM:SS" as the store keeps a time.
std::string FormatTime(int hour, int minute, int second);

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
