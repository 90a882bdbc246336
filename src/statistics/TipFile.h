#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The tipping-bucket gauge's tip file beside a data file: text, versions "1.0" and "1.1", one tip
// per line as hour:minute:second.hundredths after a type character. Version 1.0 marks the next
// day with negative hours; version 1.1 with an M line at 00:00:00.00. A line must hold a whole
// time of the day and nothing else; one that does not is skipped and counted.
struct TipFileResult {
  std::vector<float> tips;    // seconds of day, day offset included, in file order
  int version = -1;           // 0 for "1.0", 1 for "1.1"
  long skippedLines = 0;      // blank lines
  std::vector<long> badLines; // numbers (from 1) of lines that are not tips, skipped
  bool stopped = false;       // the reading was stopped; the tips so far are kept
};

// A gauge's file for a day is well below this; anything larger is not read into memory.
constexpr int64_t MAX_TIP_FILE_SIZE = 16 << 20;
// More lines than this that are not tips: the file is not a tip file after all.
constexpr size_t MAX_BAD_TIP_LINES = 10;

// "tip-file: line 4 is not a tip line; skipped" (or "lines 4, 9 are ..."); empty without such.
std::string BadTipLinesNote(const TipFileResult &result);

// NAME.hyd -> NAME.tip: everything from the last "." replaced (no dot: just ".tip").
std::string TipFilePath(const std::string &dataPath);

// Reads a tip file. `keepGoing` is asked every so many lines and may pump events; false stops
// the reading and keeps the tips read so far. Returns 1, or 0 with `message` set.
int ReadTipFile(const std::string &path, TipFileResult &result, std::string *message,
                const std::function<bool()> &keepGoing = {});

// The same over text in memory (for the fuzzer and the tests), read in the same pieces.
int ParseTipText(const std::string &text, TipFileResult &result, std::string *message,
                 const std::function<bool()> &keepGoing = {});
