#pragma once
#include "NetcdfImage.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct HydRecord;

// What the contour columns of one particle hold: the counts of its contours and, of a
// correction that ran, which of its figures it computed.
struct ParticleContourCells {
  int countA = 0, countB = 0;
  bool corrected = false;
  bool sizesA = false, rmsA = false, sizesB = false, rmsB = false;
};

// One wind reading beside a particle.
struct ParticleWindCells {
  double speed = 0;       // m/s
  double direction = 0;   // degrees
  double temperature = 0; // degrees Celsius
};

// Writes particles as a compressed netCDF-4 table after the CF-1.8 conventions: one record per
// particle along the unlimited `particle` dimension, with its time in seconds since 1970 and the
// columns of the particle CSV as variables with units. The file is a NetcdfImage: it takes the
// target's name only in Finish(), as the drop size distribution product does.
class ParticleNetcdfWriter {
public:
  // Particles buffered and stored per chunk.
  static constexpr std::size_t CHUNK = 65536;

  struct Layout {
    bool contours = false; // the contour and correction columns
    bool wind = false;     // wind speed, direction and temperature
    std::vector<std::pair<std::string, std::string>> attributes; // global, in order
  };

  ParticleNetcdfWriter() = default;
  ParticleNetcdfWriter(const ParticleNetcdfWriter &) = delete;
  ParticleNetcdfWriter &operator=(const ParticleNetcdfWriter &) = delete;
  ~ParticleNetcdfWriter();

  // False with `error` set.
  bool Create(const std::string &path, const Layout &layout, const OutputGuard &guard,
              std::string *error);
  bool CreateInMemory(const Layout &layout, std::string *error);
  // One particle. `contours` null: none built (the contour cells stay empty); `wind` null: no
  // reading. False with `error` set; the file is abandoned then.
  bool Append(const HydRecord &record, bool isSnow, const ParticleContourCells *contours,
              const ParticleWindCells *wind, std::string *error);
  // The values one particle gives the layout's columns, appended to `out` in column order: made
  // where the particle is read (a worker thread), written later with AppendValues.
  static void Values(const Layout &layout, const HydRecord &record, bool isSnow,
                     const ParticleContourCells *contours, const ParticleWindCells *wind,
                     std::vector<double> &out);
  // One particle's values as Values made them for the same layout.
  bool AppendValues(const double *values, std::string *error);
  bool Finish(std::string *error);
  bool FinishInMemory(std::vector<unsigned char> &bytes, std::string *error);
  void Abandon();

  bool IsOpen() const { return image.IsOpen(); }
  std::size_t Rows() const { return written + buffered; }

private:
  bool Start(const Layout &layout, std::string *error);
  bool Flush(std::string *error);
  bool Check(int status, const std::string &what, std::string *error);

  NetcdfImage image;
  // The columns written, their netCDF variables and their buffered values, column-major.
  std::vector<std::size_t> columns;
  std::vector<int> vars;
  std::vector<std::vector<double>> values;
  std::size_t written = 0;
  std::size_t buffered = 0;
};
