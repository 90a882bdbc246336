#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The tipping-bucket gauge's tip file beside a data file: text, versions "1.0" and "1.1", one tip
// per line as hour:minute:second.hundredths after a type character. Version 1.0 marks the next
// day with negative hours; version 1.1 with an M line at 00:00:00.00.
struct TipFileResult {
  std::vector<float> tips; // seconds of day, day offset included, in file order
  int version = -1;        // 0 for "1.0", 1 for "1.1"
  long skippedLines = 0;   // lines that held no time at all (blank lines, pieces of long lines)
  bool stopped = false;    // the reading was stopped; the tips so far are kept
};

// NAME.hyd -> NAME.tip: everything from the last "." replaced (no dot: just ".tip").
std::string TipFilePath(const std::string &dataPath);

// Reads a tip file. `keepGoing` is asked every so many lines and may pump events; false stops
// the reading and keeps the tips read so far. Returns 1, or 0 with `message` set.
int ReadTipFile(const std::string &path, TipFileResult &result, std::string *message,
                const std::function<bool()> &keepGoing = {});

// The same over text in memory (for the fuzzer and the tests), read in the same pieces.
int ParseTipText(const std::string &text, TipFileResult &result, std::string *message,
                 const std::function<bool()> &keepGoing = {});
