#pragma once
#include "TipFile.h"

#include <cstdint>
#include <memory>
#include <string>

// Reads a tip file a slice of lines at a time, so that a window can stay responsive and stop it.
class TipFileReader {
public:
  class PieceSource {
  public:
    virtual ~PieceSource();
    // The next piece of at most 49 characters up to and including a newline, cut at a NUL
    // byte. False at the end; `error` tells a read failure from the end.
    virtual bool Next(std::string &piece, bool &error) = 0;
  };

  TipFileReader();
  ~TipFileReader();

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

  std::unique_ptr<PieceSource> source;
  TipFileResult result;
  int16_t fields[4] = {0, 0, 0, 0};
  float dayOffset = 0;
};
