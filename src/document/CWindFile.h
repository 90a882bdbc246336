#pragma once
#include "WindRecord.h"

#include <cstdint>
#include <string>

// The day's wind file beside a data file: a flat array of 8-byte readings, one per three seconds
// from midnight, without header.
class CWindFile {
public:
  CWindFile() = default;
  CWindFile(const CWindFile &) = delete;
  CWindFile &operator=(const CWindFile &) = delete;
  ~CWindFile();

  // Opens read-only. Returns 1, or 0 with `message` filled.
  int Open(const std::string &fileName, std::string *message = nullptr);
  void Close();
  bool IsOpen() const { return fd >= 0; }
  // False when not open or when the position cannot be reached exactly.
  bool SetPosition(int64_t pos);
  // 1 read, 0 end of file, -1 error; `message` filled unless 1.
  int16_t Read(WindRecord *windData, std::string *message = nullptr);

  // Path of the wind file that belongs to a data file: the path up to its last '.' plus ".wd".
  static std::string NameFor(const std::string &dataPath);

private:
  int fd = -1;
  int64_t position = 0;
};
