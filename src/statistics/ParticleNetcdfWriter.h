#pragma once
#include "ChunkDeflater.h"
#include "Hdf5ChunkFile.h"
#include "NetcdfImage.h"

#include <cstddef>
#include <string>
#include <thread>
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
// target's name only in Finish(), as the drop size distribution product does. Once the first
// chunk is full, the netCDF library has defined the file and its chunks are compressed on all
// cores and stored through an Hdf5ChunkFile.
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

  bool IsOpen() const { return image.IsOpen() || chunks.IsOpen(); }
  std::size_t Rows() const { return written + compressedRows + buffered; }

private:
  bool Start(const Layout &layout, std::string *error);
  // Defines the variables, and hands the file on to `chunks` when there are chunks to store.
  bool Define(std::string *error);
  // Stores the chunk being compressed and starts compressing the buffered one.
  bool Flush(std::string *error);
  // Hands the buffered rows to a thread that compresses them while the next are read.
  void StartCompression();
  // Waits for that thread and stores what it compressed.
  bool StoreCompressed(std::string *error);
  // Compresses the rows handed over, on all cores; `choose`: decides first whether each column
  // is stored shuffled.
  bool Compress(bool choose);
  // Stores every row and defines the file if no row came.
  bool Complete(std::string *error);
  bool CheckOpen(std::string *error) const;
  bool Check(int status, const std::string &what, std::string *error);
  bool Fail(const std::string &why, std::string *error);

  NetcdfImage image;
  Hdf5ChunkFile chunks;
  int dimension = -1;
  // The columns written, whether each is stored shuffled and their buffered values,
  // column-major.
  std::vector<std::size_t> columns;
  std::vector<unsigned char> shuffled; // per column; written from several threads
  std::vector<std::vector<double>> values;
  // The rows being compressed, and per column their compressor and chunk in the column's type.
  std::vector<std::vector<double>> compressing;
  std::vector<ChunkDeflater> coders;
  std::vector<std::vector<unsigned char>> typed;
  std::jthread compression;
  bool compressed = false;
  std::size_t written = 0;
  std::size_t compressedRows = 0;
  std::size_t buffered = 0;
};
