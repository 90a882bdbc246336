#pragma once
#include "DsdProductLayout.h"
#include "DsdProductRow.h"
#include "NetcdfImage.h"

#include <cstddef>
#include <string>
#include <vector>

// Writes a drop size distribution series as a netCDF-4 file after the CF-1.8 conventions, in the
// layout and with the names the community's drop size distribution pipelines read: N(D), the
// drop counts and mean velocities on the diameter classes, the counts per diameter and velocity
// class, per interval with its rain rate, rain amount, particle counts, completeness and, when
// asked, the integral quantities. This is the one place that layout is defined; the same bytes
// can be had in memory for callers that open them without a file. The file is a NetcdfImage: it
// takes the target's name only in Finish().
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
  // Starts the same product in memory, for FinishInMemory.
  bool CreateInMemory(const DsdProductLayout &layout, std::string *error);
  // Adds one interval at the end of the series. False with `error` set; the file is abandoned.
  bool Append(const DsdProductRow &row, std::string *error);
  // Writes what is buffered and the file, and gives it the target's name. False with `error`
  // set; nothing is left behind then.
  bool Finish(std::string *error);
  // The finished product's bytes instead of a file. False with `error` set.
  bool FinishInMemory(std::vector<unsigned char> &bytes, std::string *error);
  // Closes and removes the unfinished file.
  void Abandon();

  bool IsOpen() const { return image.IsOpen(); }

  // The global attributes that make the file what it is; a layout cannot set them.
  static bool IsReservedAttribute(const std::string &name);
  std::size_t Rows() const { return written + buffered; }

private:
  bool Start(const DsdProductLayout &layout, std::string *error);
  bool Define(const DsdProductLayout &layout, std::string *error);
  bool Flush(std::string *error);
  // Empties the buffered rows.
  void ClearRows();
  // True for NC_NOERR; otherwise the file is abandoned with `error` set.
  bool Check(int status, const std::string &what, std::string *error);
  bool Fail(const std::string &why, std::string *error);

  NetcdfImage image;
  int classCount = 0;
  int velocityClasses = 0;
  bool moments = false;

  int timeVar = -1, timeBoundsVar = -1, sampleIntervalVar = -1, countVar = -1, removedVar = -1,
      completeVar = -1;
  int seriesVars[4] = {-1, -1, -1, -1};
  int figureVars[2] = {-1, -1};
  int momentVars[8] = {-1, -1, -1, -1, -1, -1, -1, -1};

  // Rows are written in blocks: one netCDF call per variable and block, not per interval.
  std::size_t written = 0;
  std::size_t buffered = 0;
  std::vector<double> times, bounds;
  std::vector<float> sampleIntervals, nd, averageVelocity, rate, amount;
  std::vector<int32_t> dropCounts, raw, counts, removed;
  std::vector<signed char> complete;
  std::vector<float> momentValues[8];
};
