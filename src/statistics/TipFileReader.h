#pragma once
#include "TipFile.h"

#include <cstdint>
#include <string>

// Reads a tip file a slice of lines at a time, so that a window can stay responsive and stop it.
class TipFileReader {
public:
  // Opens the file (or text) and reads its head. 1, or 0 with `message`.
  int Open(const std::string &path, std::string *message);
  int OpenText(const std::string &text, std::string *message);
  // Reads up to `maxLines` lines: 2 more to come, 1 done, 0 failed with `message`.
  int Read(long maxLines, std::string *message);
  // Ends the reading; the tips so far stay.
  void Stop();

  const TipFileResult &Result() const { return result; }

private:
  int Head(std::string *message);
  int Fail(std::string *message, const std::string &text);
  // The next line without its newline; false at the end of the text.
  bool NextLine(std::string &line);

  std::string text; // the whole file, bounded by MAX_TIP_FILE_SIZE
  size_t at = 0;
  long lineNumber = 0;
  bool reading = false;
  TipFileResult result;
  float dayOffset = 0;
};
