#include "ParticleNetcdfWriter.h"

#include "PluvicamVersion.h"
#include "particle/CHydData.h"

#include <netcdf.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>
#include <thread>

namespace {

constexpr double MISSING = std::numeric_limits<double>::quiet_NaN();
constexpr int DEFLATE_LEVEL = 1;

// What the columns of one particle are read from.
struct Cells {
  const HydRecord &r;
  bool snow;
  const ParticleContourCells *contours;
  const ParticleWindCells *wind;
};

enum class Group { Particle, Contour, Wind };

struct Column {
  const char *name;
  nc_type type;
  const char *units;
  const char *longName;
  const char *standardName; // null where the conventions have none
  Group group;
  double (*value)(const Cells &);
};

double SecondsSince1970(const Cells &c) {
  const MainHeader *h = c.r.mainHeader;
  if (!h || !(h->lineFrequency > 0) || !std::isfinite(c.r.tim))
    return MISSING;
  // Camera lines count from the midnight (UTC) of the main header's day.
  return std::floor(double(h->time) / 86400.0) * 86400.0 + c.r.tim / h->lineFrequency;
}

// Snow has no horizontal velocity, and one line gives no motion to measure.
double HorizontalVelocity(const Cells &c, float value, int16_t lines) {
  return !c.snow && lines > 1 ? double(value) : MISSING;
}

double Sizes(const Cells &c, bool known, float value) {
  return c.contours && c.contours->corrected && known ? double(value) : MISSING;
}

// The columns of the particle CSV in its order; the CSV's clock text is the CF time here.
const Column COLUMNS[] = {
    {"time", NC_DOUBLE, "seconds since 1970-01-01 00:00:00 UTC", "time of the particle", "time",
     Group::Particle, SecondsSince1970},
    {"startPos", NC_INT, "1", "byte offset of the particle record in the data file", nullptr,
     Group::Particle, [](const Cells &c) { return double(c.r.startPos); }},
    {"prevPos", NC_INT, "1", "byte offset of the preceding particle record", nullptr,
     Group::Particle, [](const Cells &c) { return double(c.r.prevPos); }},
    {"nextPos", NC_INT, "1", "byte offset of the next particle record", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.nextPos); }},
    {"tim", NC_DOUBLE, "1", "camera lines since midnight", nullptr, Group::Particle,
     [](const Cells &c) { return c.r.tim; }},
    {"format", NC_SHORT, "1", "record format", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.format); }},
    {"dropType", NC_SHORT, "1", "particle class", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.dropType); }},
    {"diameter", NC_FLOAT, "mm", "equivalent diameter", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.diameter); }},
    {"volume", NC_FLOAT, "mm3", "volume of the equivalent sphere", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.volume); }},
    {"velocity", NC_FLOAT, "m s-1", "vertical fall velocity", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.velocity); }},
    {"oblateness", NC_FLOAT, "1", "geometric mean of oblA and oblB", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.oblateness); }},
    {"widthA", NC_FLOAT, "mm", "width seen by camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.widthA); }},
    {"widthB", NC_FLOAT, "mm", "width seen by camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.widthB); }},
    {"heightA", NC_FLOAT, "mm", "height seen by camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.heightA); }},
    {"heightB", NC_FLOAT, "mm", "height seen by camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.heightB); }},
    {"oblA", NC_FLOAT, "1", "height over width seen by camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.oblA); }},
    {"oblB", NC_FLOAT, "1", "height over width seen by camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.oblB); }},
    {"hVelA", NC_FLOAT, "m s-1", "horizontal velocity along camera A's pixels", nullptr,
     Group::Particle, [](const Cells &c) { return HorizontalVelocity(c, c.r.hVelA, c.r.linesA); }},
    {"hVelB", NC_FLOAT, "m s-1", "horizontal velocity along camera B's pixels", nullptr,
     Group::Particle, [](const Cells &c) { return HorizontalVelocity(c, c.r.hVelB, c.r.linesB); }},
    {"area", NC_FLOAT, "mm2", "effective measuring area", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.area); }},
    {"linesA", NC_SHORT, "1", "lines of camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.linesA); }},
    {"linesB", NC_SHORT, "1", "lines of camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.linesB); }},
    {"minPosA", NC_SHORT, "1", "first pixel of camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.minPosA); }},
    {"maxPosA", NC_SHORT, "1", "last pixel of camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.maxPosA); }},
    {"minPosB", NC_SHORT, "1", "first pixel of camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.minPosB); }},
    {"maxPosB", NC_SHORT, "1", "last pixel of camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.maxPosB); }},
    {"scaleSysA", NC_FLOAT, "mm", "pixel size of camera A", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.scaleSysA); }},
    {"scaleSysB", NC_FLOAT, "mm", "pixel size of camera B", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.scaleSysB); }},
    {"scaleHeight", NC_FLOAT, "mm", "height of one camera line", nullptr, Group::Particle,
     [](const Cells &c) { return double(c.r.scaleHeight); }},
    {"rawDiameter", NC_INT, "0.01 mm", "diameter as stored", nullptr, Group::Particle,
     [](const Cells &c) { return c.r.format != 1 ? double(c.r.rawDiameter) : MISSING; }},
    {"contourCountA", NC_INT, "1", "points of camera A's contour", nullptr, Group::Contour,
     [](const Cells &c) { return c.contours ? double(c.contours->countA) : MISSING; }},
    {"contourCountB", NC_INT, "1", "points of camera B's contour", nullptr, Group::Contour,
     [](const Cells &c) { return c.contours ? double(c.contours->countB) : MISSING; }},
    {"corrHeightA", NC_FLOAT, "mm", "corrected height seen by camera A", nullptr, Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesA, c.r.corrHeightA); }},
    {"corrWidthA", NC_FLOAT, "mm", "corrected width seen by camera A", nullptr, Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesA, c.r.corrWidthA); }},
    {"corrHVelA", NC_FLOAT, "m s-1", "corrected horizontal velocity of camera A", nullptr,
     Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesA, c.r.corrHVelA); }},
    {"cantingA", NC_FLOAT, "degree", "canting angle seen by camera A", nullptr, Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesA, c.r.cantingA); }},
    {"rmsA", NC_INT, "um", "rms distance of camera A's axis fit", nullptr, Group::Contour,
     [](const Cells &c) {
       return c.contours && c.contours->corrected && c.contours->rmsA ? double(c.r.rmsA) : MISSING;
     }},
    {"corrFlagsA", NC_SHORT, "1", "correction flags of camera A", nullptr, Group::Contour,
     [](const Cells &c) {
       return c.contours && c.contours->corrected ? double(c.r.corrFlagsA) : MISSING;
     }},
    {"corrHeightB", NC_FLOAT, "mm", "corrected height seen by camera B", nullptr, Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesB, c.r.corrHeightB); }},
    {"corrWidthB", NC_FLOAT, "mm", "corrected width seen by camera B", nullptr, Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesB, c.r.corrWidthB); }},
    {"corrHVelB", NC_FLOAT, "m s-1", "corrected horizontal velocity of camera B", nullptr,
     Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesB, c.r.corrHVelB); }},
    {"cantingB", NC_FLOAT, "degree", "canting angle seen by camera B", nullptr, Group::Contour,
     [](const Cells &c) { return Sizes(c, c.contours && c.contours->sizesB, c.r.cantingB); }},
    {"rmsB", NC_INT, "um", "rms distance of camera B's axis fit", nullptr, Group::Contour,
     [](const Cells &c) {
       return c.contours && c.contours->corrected && c.contours->rmsB ? double(c.r.rmsB) : MISSING;
     }},
    {"corrFlagsB", NC_SHORT, "1", "correction flags of camera B", nullptr, Group::Contour,
     [](const Cells &c) {
       return c.contours && c.contours->corrected ? double(c.r.corrFlagsB) : MISSING;
     }},
    {"windSpeed", NC_FLOAT, "m s-1", "wind speed", "wind_speed", Group::Wind,
     [](const Cells &c) { return c.wind ? c.wind->speed : MISSING; }},
    {"windDirection", NC_FLOAT, "degree", "wind direction", "wind_from_direction", Group::Wind,
     [](const Cells &c) { return c.wind ? c.wind->direction : MISSING; }},
    {"temperature", NC_FLOAT, "degC", "air temperature", "air_temperature", Group::Wind,
     [](const Cells &c) { return c.wind ? c.wind->temperature : MISSING; }},
};

int PutText(int ncid, int var, const char *name, const char *text) {
  return nc_put_att_text(ncid, var, name, std::strlen(text), text);
}

// Defines one column's variable with its attributes; the first failure's status.
int DefineColumn(int ncid, int dim, const Column &c, bool shuffle, int &var) {
  int s = nc_def_var(ncid, c.name, c.type, 1, &dim, &var);
  const std::size_t chunk = ParticleNetcdfWriter::CHUNK;
  if (s == NC_NOERR)
    s = nc_def_var_chunking(ncid, var, NC_CHUNKED, &chunk);
  if (s == NC_NOERR)
    s = nc_def_var_deflate(ncid, var, shuffle, 1, DEFLATE_LEVEL);
  if (s == NC_NOERR && c.standardName)
    s = PutText(ncid, var, "standard_name", c.standardName);
  if (s == NC_NOERR)
    s = PutText(ncid, var, "long_name", c.longName);
  if (s == NC_NOERR)
    s = PutText(ncid, var, "units", c.units);
  if (s == NC_NOERR && std::strcmp(c.name, "time") == 0)
    s = PutText(ncid, var, "calendar", "standard");
  if (s != NC_NOERR)
    return s;
  switch (c.type) {
  case NC_FLOAT: {
    const float fill = std::numeric_limits<float>::quiet_NaN();
    return nc_put_att_float(ncid, var, "_FillValue", NC_FLOAT, 1, &fill);
  }
  case NC_DOUBLE:
    return nc_put_att_double(ncid, var, "_FillValue", NC_DOUBLE, 1, &MISSING);
  case NC_SHORT: {
    const short fill = NC_FILL_SHORT;
    return nc_put_att_short(ncid, var, "_FillValue", NC_SHORT, 1, &fill);
  }
  default: {
    const int fill = NC_FILL_INT;
    return nc_put_att_int(ncid, var, "_FillValue", NC_INT, 1, &fill);
  }
  }
}

std::size_t TypeSize(nc_type type) {
  switch (type) {
  case NC_SHORT:
    return sizeof(short);
  case NC_FLOAT:
    return sizeof(float);
  case NC_DOUBLE:
    return sizeof(double);
  default:
    return sizeof(int);
  }
}

template <typename T> void Store(unsigned char *at, T value) {
  std::memcpy(at, &value, sizeof value);
}

// The values in the column's type, filled up to a whole chunk with its fill value.
void TypedChunk(nc_type type, const std::vector<double> &v, std::vector<unsigned char> &out) {
  const std::size_t size = TypeSize(type);
  out.resize(ParticleNetcdfWriter::CHUNK * size);
  unsigned char *at = out.data();
  for (std::size_t i = 0; i < ParticleNetcdfWriter::CHUNK; ++i, at += size) {
    const double x = i < v.size() ? v[i] : MISSING;
    switch (type) {
    case NC_SHORT:
      Store(at, std::isnan(x) ? short(NC_FILL_SHORT) : short(x));
      break;
    case NC_FLOAT:
      Store(at, float(x));
      break;
    case NC_DOUBLE:
      Store(at, x);
      break;
    default:
      Store(at, std::isnan(x) ? int(NC_FILL_INT) : int(x));
    }
  }
}

// Runs `work(i)` for i in [0, count) on all cores; false when any call returned false.
template <typename Work> bool OnAllCores(std::size_t count, const Work &work) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  const auto run = [&] {
    for (std::size_t i; (i = next++) < count;) {
      bool done = false;
      try {
        done = work(i);
      } catch (const std::bad_alloc &) {
      }
      if (!done)
        failed = true;
    }
  };
  {
    std::vector<std::jthread> helpers;
    for (std::size_t t = 1; t < std::min(cores, count); ++t)
      helpers.emplace_back(run);
    run();
  }
  return !failed;
}

bool Selected(const Column &c, const ParticleNetcdfWriter::Layout &layout) {
  return (c.group != Group::Contour || layout.contours) && (c.group != Group::Wind || layout.wind);
}

} // namespace

ParticleNetcdfWriter::~ParticleNetcdfWriter() { Abandon(); }

bool ParticleNetcdfWriter::Check(int status, const std::string &what, std::string *error) {
  if (status == NC_NOERR)
    return true;
  return Fail(what + ": " + nc_strerror(status), error);
}

bool ParticleNetcdfWriter::Fail(const std::string &why, std::string *error) {
  image.Fail(why, error);
  Abandon();
  return false;
}

bool ParticleNetcdfWriter::CheckOpen(std::string *error) const {
  return chunks.IsOpen() || image.CheckOpen(error);
}

bool ParticleNetcdfWriter::Create(const std::string &path, const Layout &layout,
                                  const OutputGuard &guard, std::string *error) {
  Abandon();
  return image.CreateFile(path, guard, error) && Start(layout, error);
}

bool ParticleNetcdfWriter::CreateInMemory(const Layout &layout, std::string *error) {
  Abandon();
  return image.CreateInMemory("the particles in memory", error) && Start(layout, error);
}

bool ParticleNetcdfWriter::Start(const Layout &layout, std::string *error) {
  const int ncid = image.Id();
  if (!Check(nc_def_dim(ncid, "particle", NC_UNLIMITED, &dimension), "particle dimension", error))
    return false;
  for (std::size_t i = 0; i < std::size(COLUMNS); ++i)
    if (Selected(COLUMNS[i], layout))
      columns.push_back(i);
  values.assign(columns.size(), {});
  for (auto &v : values)
    v.reserve(CHUNK);
  shuffled.assign(columns.size(), 1);
  const std::pair<std::string, std::string> own[] = {
      {"Conventions", "CF-1.8"},
      {"featureType", "point"},
      {"title", "Particles of a two-camera line-scan precipitation instrument"},
      {"pluvicam_version", pluvicam::VERSION}};
  for (const auto &list : {std::vector(std::begin(own), std::end(own)), layout.attributes})
    for (const auto &[name, text] : list)
      if (!Check(PutText(ncid, NC_GLOBAL, name.c_str(), text.c_str()),
                 "global attribute \"" + name + "\"", error))
        return false;
  return true;
}

bool ParticleNetcdfWriter::Append(const HydRecord &record, bool isSnow,
                                  const ParticleContourCells *contours,
                                  const ParticleWindCells *wind, std::string *error) {
  if (!CheckOpen(error))
    return false;
  const Cells cells{record, isSnow, contours, wind};
  for (std::size_t i = 0; i < columns.size(); ++i)
    values[i].push_back(COLUMNS[columns[i]].value(cells));
  ++buffered;
  return buffered < CHUNK || Flush(error);
}

void ParticleNetcdfWriter::Values(const Layout &layout, const HydRecord &record, bool isSnow,
                                  const ParticleContourCells *contours,
                                  const ParticleWindCells *wind, std::vector<double> &out) {
  const Cells cells{record, isSnow, contours, wind};
  for (const Column &c : COLUMNS)
    if (Selected(c, layout))
      out.push_back(c.value(cells));
}

bool ParticleNetcdfWriter::AppendValues(const double *row, std::string *error) {
  if (!CheckOpen(error))
    return false;
  for (std::size_t i = 0; i < columns.size(); ++i)
    values[i].push_back(row[i]);
  ++buffered;
  return buffered < CHUNK || Flush(error);
}

bool ParticleNetcdfWriter::Define(std::string *error) {
  const int ncid = image.Id();
  std::vector<std::string> names;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const Column &c = COLUMNS[columns[i]];
    int var = -1;
    if (!Check(DefineColumn(ncid, dimension, c, shuffled[i], var), c.name, error))
      return false;
    names.emplace_back(c.name);
  }
  if (!Check(nc_enddef(ncid), "definitions", error))
    return false;
  if (compressedRows == 0)
    return true; // no chunk to store: the netCDF library closes the file as it is
  // From here on the chunks are compressed here and stored as they are.
  void *memory = nullptr;
  std::size_t size = 0;
  if (!image.CloseToMemory(memory, size, error))
    return false;
  std::string why;
  const bool opened = chunks.Open(memory, size, names, &why);
  std::free(memory);
  return opened || Fail(why, error);
}

bool ParticleNetcdfWriter::Compress(bool choose) {
  return OnAllCores(columns.size(), [&](std::size_t i) {
    const nc_type type = COLUMNS[columns[i]].type;
    TypedChunk(type, compressing[i], typed[i]);
    const std::size_t size = TypeSize(type);
    if (!coders[i].Compress(typed[i].data(), typed[i].size(), size, shuffled[i]))
      return false;
    if (!choose)
      return true;
    // A column's first chunk decides whether it is stored shuffled: the bytes of values with
    // few distinct patterns (sizes in whole pixels) compress better as they are.
    ChunkDeflater plain(DEFLATE_LEVEL);
    if (!plain.Compress(typed[i].data(), typed[i].size(), size, false))
      return false;
    if (plain.Size() < coders[i].Size()) {
      shuffled[i] = 0;
      coders[i] = std::move(plain);
    }
    return true;
  });
}

void ParticleNetcdfWriter::StartCompression() {
  if (coders.empty()) {
    for (std::size_t i = 0; i < columns.size(); ++i)
      coders.emplace_back(DEFLATE_LEVEL);
    typed.resize(columns.size());
    compressing.resize(columns.size());
  }
  compressing.swap(values);
  for (auto &v : values)
    v.clear();
  compressedRows = buffered;
  buffered = 0;
  const bool choose = written == 0;
  try {
    compression = std::jthread([this, choose] { compressed = Compress(choose); });
  } catch (const std::system_error &) {
    compressed = Compress(choose); // no thread to spare: here and now
  }
}

bool ParticleNetcdfWriter::StoreCompressed(std::string *error) {
  if (compression.joinable())
    compression.join();
  if (compressedRows == 0)
    return true;
  if (!compressed)
    return Fail("the compression of the particles failed", error);
  if (!chunks.IsOpen() && !Define(error))
    return false;
  std::string why;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (!chunks.Write(i, written, written + compressedRows, 0, coders[i].Data(), coders[i].Size(),
                      &why))
      return Fail(why, error);
  written += compressedRows;
  compressedRows = 0;
  return true;
}

bool ParticleNetcdfWriter::Flush(std::string *error) {
  if (!StoreCompressed(error))
    return false;
  if (buffered > 0)
    StartCompression();
  return true;
}

bool ParticleNetcdfWriter::Complete(std::string *error) {
  if (!CheckOpen(error) || !Flush(error) || !StoreCompressed(error))
    return false;
  return chunks.IsOpen() || Define(error);
}

bool ParticleNetcdfWriter::Finish(std::string *error) {
  if (!Complete(error))
    return false;
  if (!chunks.IsOpen())
    return image.FinishFile(error);
  Hdf5ChunkFile::Image file;
  std::string why;
  if (!chunks.Finish(file, &why))
    return Fail(why, error);
  return image.WriteFile(file.bytes.get(), file.size, error);
}

bool ParticleNetcdfWriter::FinishInMemory(std::vector<unsigned char> &bytes, std::string *error) {
  if (!Complete(error))
    return false;
  if (!chunks.IsOpen()) {
    if (!image.FinishInMemory(bytes, error))
      return false;
  } else {
    Hdf5ChunkFile::Image file;
    if (std::string why; !chunks.Finish(file, &why))
      return Fail(why, error);
    bytes.assign(file.bytes.get(), file.bytes.get() + file.size);
  }
  Abandon();
  return true;
}

void ParticleNetcdfWriter::Abandon() {
  if (compression.joinable())
    compression.join();
  chunks.Close();
  image.Abandon();
  columns.clear();
  values.clear();
  compressing.clear();
  shuffled.clear();
  coders.clear();
  typed.clear();
  dimension = -1;
  written = buffered = compressedRows = 0;
}
