#pragma once
#include "DsdProductLayout.h"
#include "DsdProductRow.h"
#include "data/OutputGuard.h"
#include "data/PartialFile.h"

#include <cstddef>
#include <string>
#include <vector>

// Writes a drop size distribution series as a netCDF-4 file after the CF-1.8 conventions:
// N(D) on the diameter classes per interval, with the interval's rain rate, rain amount, particle
// count, completeness and, when asked, the integral quantities.
//
// The file is built in memory and written under a temporary name beside the target, which it
// takes only in Finish(), so an interrupted or failed export never leaves a partial file nor
// clobbers an earlier product. In memory, because the library cannot close a file after a failed
// write (a full disk): it retries the write on every close and crashes at the process's exit.
class DsdNetcdfWriter {
public:
  static constexpr float FILL = -9999.0f;

  DsdNetcdfWriter() = default;
  DsdNetcdfWriter(const DsdNetcdfWriter &) = delete;
  DsdNetcdfWriter &operator=(const DsdNetcdfWriter &) = delete;
  // An unfinished file is abandoned.
  ~DsdNetcdfWriter();

  // Starts the file for `path`, where `guard` lets it be written. False with `error` set.
  bool Create(const std::string &path, const DsdProductLayout &layout, const OutputGuard &guard,
              std::string *error);
  // The same product kept in memory for the caller; `name` stands for it in messages.
  bool CreateInMemory(const std::string &name, const DsdProductLayout &layout, std::string *error);
  // Adds one interval at the end of the series. False with `error` set; the file is abandoned.
  bool Append(const DsdProductRow &row, std::string *error);
  // Writes what is buffered and the file, and gives it the target's name. False with `error`
  // set; nothing is left behind then.
  bool Finish(std::string *error);
  // Of a product in memory: its bytes, a netCDF-4 file's image, into `image`.
  bool FinishInMemory(std::vector<unsigned char> &image, std::string *error);
  // Closes and removes the unfinished file.
  void Abandon();

  bool IsOpen() const { return ncid >= 0; }

  // The global attributes that make the file what it is; a layout cannot set them.
  static bool IsReservedAttribute(const std::string &name);
  std::size_t Rows() const { return written + buffered; }

private:
  bool Start(const std::string &name, const DsdProductLayout &layout, std::string *error);
  bool Define(const DsdProductLayout &layout, std::string *error);
  // Closes the file into its image in memory, which the caller frees.
  bool CloseImage(void *&memory, std::size_t &size, std::string *error);
  bool Flush(std::string *error);
  // Empties the buffered rows.
  void ClearRows();
  bool Check(int status, const char *what, std::string *error);

  int ncid = -1;
  std::string target;
  OutputGuard guard;
  PartialFile partial;
  int classCount = 0;
  bool moments = false;

  int timeVar = -1, timeBoundsVar = -1, ndVar = -1, rateVar = -1, amountVar = -1, countVar = -1,
      completeVar = -1;
  int momentVars[8] = {-1, -1, -1, -1, -1, -1, -1, -1};

  // Rows are written in blocks: one netCDF call per variable and block, not per interval.
  std::size_t written = 0;
  std::size_t buffered = 0;
  std::vector<double> times, bounds;
  std::vector<float> nd, rate, amount;
  std::vector<int32_t> counts;
  std::vector<signed char> complete;
  std::vector<float> momentValues[8];
};
