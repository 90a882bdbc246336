#include "DsdNetcdfWriter.h"
#include "PluvicamVersion.h"

#include "document/TerminalVelocity.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr std::size_t BLOCK = 1024; // rows held before they go to the file

// One attribute of a variable; a variable's are written in the order listed.
struct Attribute {
  enum Kind { Text, Fill, ByteFlags };
  Kind kind;
  const char *name;
  const char *text = nullptr;
};

Attribute Text(const char *name, const char *text) { return {Attribute::Text, name, text}; }
const Attribute FILL_VALUE{Attribute::Fill, "_FillValue"};

// Along which dimensions a variable lies.
enum class Shape {
  Time,
  TimeBounds,
  Diameters,
  Velocities,
  TimeByDiameter,
  TimeByDiameterByVelocity
};

struct Variable {
  const char *name;
  nc_type type;
  Shape shape;
  std::vector<Attribute> attributes;
};

Variable Coordinate(const char *name, const char *longName, const char *units) {
  return {name,
          NC_DOUBLE,
          name[0] == 'd' ? Shape::Diameters : Shape::Velocities,
          {Text("long_name", longName), Text("units", units)}};
}

// The coordinates: time first, then the diameter and velocity classes as the community's
// drop size distribution products name them.
const Variable TIME{"time",
                    NC_DOUBLE,
                    Shape::Time,
                    {Text("standard_name", "time"), Text("long_name", "start of the interval"),
                     Text("units", "seconds since 1970-01-01 00:00:00 UTC"),
                     Text("calendar", "standard"), Text("axis", "T"), Text("bounds", "time_bnds")}};
const Variable TIME_BOUNDS{"time_bnds", NC_DOUBLE, Shape::TimeBounds, {}};
const Variable CLASS_COORDINATES[8] = {
    Coordinate("diameter_bin_center", "drop diameter at the class centre", "mm"),
    Coordinate("diameter_bin_width", "width of the diameter class", "mm"),
    Coordinate("diameter_bin_lower", "lower edge of the diameter class", "mm"),
    Coordinate("diameter_bin_upper", "upper edge of the diameter class", "mm"),
    Coordinate("velocity_bin_center", "fall velocity at the class centre", "m s-1"),
    Coordinate("velocity_bin_width", "width of the velocity class", "m s-1"),
    Coordinate("velocity_bin_lower", "lower edge of the velocity class", "m s-1"),
    Coordinate("velocity_bin_upper", "upper edge of the velocity class", "m s-1"),
};
const Variable SAMPLE_INTERVAL{
    "sample_interval",
    NC_FLOAT,
    Shape::Time,
    {Text("long_name", "length of the interval"), Text("units", "s"), FILL_VALUE}};
const Variable FALL_VELOCITY{
    "fall_velocity",
    NC_FLOAT,
    Shape::Diameters,
    {Text("long_name", "terminal fall velocity of a rain drop at the class centre"),
     Text("units", "m s-1")}};

// The variables per interval, in the order of Flush's buffers.
enum Series { NUMBER_CONCENTRATION, COUNTS, RAW, AVERAGE_VELOCITY, SERIES_COUNT };
const Variable SERIES[SERIES_COUNT] = {
    {"drop_number_concentration",
     NC_FLOAT,
     Shape::TimeByDiameter,
     {Text("long_name", "number concentration of drops per unit diameter, N(D)"),
      Text("units", "m-3 mm-1"), Text("cell_methods", "time: mean"), FILL_VALUE}},
    {"drop_counts",
     NC_INT,
     Shape::TimeByDiameter,
     {Text("long_name", "number of drops taken per diameter class"), Text("units", "1"),
      Text("cell_methods", "time: sum")}},
    {"raw_drop_number",
     NC_INT,
     Shape::TimeByDiameterByVelocity,
     {Text("long_name", "number of drops taken per diameter and velocity class"),
      Text("units", "1"), Text("cell_methods", "time: sum")}},
    {"drop_average_velocity",
     NC_FLOAT,
     Shape::TimeByDiameter,
     {Text("long_name", "mean measured fall velocity of the drops per diameter class"),
      Text("units", "m s-1"), Text("cell_methods", "time: mean"), FILL_VALUE}},
};

// The figures per interval; R and P first, then the counts and the completeness.
enum Figure { RATE, AMOUNT, FIGURE_COUNT };
const Variable FIGURES[FIGURE_COUNT] = {
    {"R",
     NC_FLOAT,
     Shape::Time,
     {Text("standard_name", "rainfall_rate"), Text("long_name", "rain rate of the interval"),
      Text("units", "mm h-1"), Text("cell_methods", "time: mean"), FILL_VALUE}},
    {"P",
     NC_FLOAT,
     Shape::Time,
     {Text("standard_name", "thickness_of_rainfall_amount"),
      Text("long_name", "rain collected in the interval"), Text("units", "mm"),
      Text("cell_methods", "time: sum"), FILL_VALUE}},
};
const Variable NUMBER_PARTICLES{"N",
                                NC_INT,
                                Shape::Time,
                                {Text("long_name", "number of particles taken in the interval"),
                                 Text("units", "1"), Text("cell_methods", "time: sum")}};
const Variable NUMBER_REMOVED{
    "Nremoved",
    NC_INT,
    Shape::Time,
    {Text("long_name", "number of particles the velocity check removed in the interval"),
     Text("units", "1"), Text("cell_methods", "time: sum")}};
const Variable INTERVAL_COMPLETE{"interval_complete",
                                 NC_BYTE,
                                 Shape::Time,
                                 {Text("long_name", "the interval closed before the data ended"),
                                  {Attribute::ByteFlags, "flag_values"},
                                  Text("flag_meanings", "partial complete")}};

// The integral quantities, in the order of the moment fields of DsdProductRow.
const Variable MOMENTS[8] = {
    {"Nt",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "total drop number concentration"), Text("units", "m-3"), FILL_VALUE}},
    {"LWC",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "liquid water content"), Text("units", "g m-3"), FILL_VALUE}},
    {"Z",
     NC_FLOAT,
     Shape::Time,
     {Text("standard_name", "equivalent_reflectivity_factor"),
      Text("long_name", "radar reflectivity factor"), Text("units", "dBZ"), FILL_VALUE}},
    {"Dm",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "mass-weighted mean diameter"), Text("units", "mm"), FILL_VALUE}},
    {"D50",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "median volume diameter"), Text("units", "mm"), FILL_VALUE}},
    {"Nw",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "normalized intercept parameter"), Text("units", "mm-1 m-3"), FILL_VALUE}},
    {"mu",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "shape parameter of the gamma distribution"), Text("units", "1"),
      FILL_VALUE}},
    {"Lambda",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "slope parameter of the gamma distribution"), Text("units", "mm-1"),
      FILL_VALUE}},
};

// The dimensions of a product and the chunks its variables are stored in.
struct Grid {
  int time = -1, diameter = -1, velocity = -1, nv = -1;
  std::size_t classes = 0;
  std::size_t velocities = 0;

  // Chunks of about half a megabyte along time; the default chunk of an unlimited dimension
  // would make a call per row.
  static constexpr std::size_t ROW_CHUNK = 1024;
  std::size_t ClassRowChunk() const { return std::max<std::size_t>(1, 131072 / classes); }
  std::size_t RawRowChunk() const {
    return std::max<std::size_t>(1, 262144 / (classes * velocities));
  }
};

// The first failed netCDF call of a step and what it was about.
struct Outcome {
  int status = NC_NOERR;
  std::string what;
  bool Ok() const { return status == NC_NOERR; }
};

Outcome DefineDimensions(int ncid, Grid &grid) {
  if (int s = nc_def_dim(ncid, "time", NC_UNLIMITED, &grid.time); s != NC_NOERR)
    return {s, "time dimension"};
  if (int s = nc_def_dim(ncid, "diameter_bin_center", grid.classes, &grid.diameter); s != NC_NOERR)
    return {s, "diameter dimension"};
  if (int s = nc_def_dim(ncid, "velocity_bin_center", grid.velocities, &grid.velocity);
      s != NC_NOERR)
    return {s, "velocity dimension"};
  if (int s = nc_def_dim(ncid, "nv", 2, &grid.nv); s != NC_NOERR)
    return {s, "nv dimension"};
  return {};
}

int PutAttribute(int ncid, int var, const Attribute &a) {
  switch (a.kind) {
  case Attribute::Text:
    return nc_put_att_text(ncid, var, a.name, std::strlen(a.text), a.text);
  case Attribute::Fill:
    return nc_put_att_float(ncid, var, a.name, NC_FLOAT, 1, &DsdNetcdfWriter::FILL);
  case Attribute::ByteFlags: {
    const signed char flags[2] = {0, 1};
    return nc_put_att_schar(ncid, var, a.name, NC_BYTE, 2, flags);
  }
  }
  return NC_EINVAL;
}

// Defines `v` into `var`. The first failure of its attributes goes to `attributes` instead: they
// are reported together once every variable is defined.
Outcome DefineVariable(int ncid, const Grid &grid, const Variable &v, int &var, int &attributes) {
  int dims[3] = {grid.time, grid.nv, 0};
  std::size_t chunk[3] = {Grid::ROW_CHUNK, 2, 0};
  int rank = 2;
  bool chunked = true;
  bool compressed = false;
  switch (v.shape) {
  case Shape::Time:
    rank = 1;
    break;
  case Shape::TimeBounds:
    break;
  case Shape::Diameters:
  case Shape::Velocities:
    dims[0] = v.shape == Shape::Diameters ? grid.diameter : grid.velocity;
    rank = 1;
    chunked = false;
    break;
  case Shape::TimeByDiameter:
    dims[1] = grid.diameter;
    chunk[0] = grid.ClassRowChunk();
    chunk[1] = grid.classes;
    compressed = true;
    break;
  case Shape::TimeByDiameterByVelocity:
    dims[1] = grid.diameter;
    dims[2] = grid.velocity;
    chunk[0] = grid.RawRowChunk();
    chunk[1] = grid.classes;
    chunk[2] = grid.velocities;
    rank = 3;
    compressed = true;
    break;
  }
  int s = nc_def_var(ncid, v.name, v.type, rank, dims, &var);
  if (s == NC_NOERR && chunked)
    s = nc_def_var_chunking(ncid, var, NC_CHUNKED, chunk);
  // Most classes of a day are empty: light compression shrinks the file many times over.
  if (s == NC_NOERR && compressed)
    s = nc_def_var_deflate(ncid, var, 1, 1, 1);
  if (s != NC_NOERR)
    return {s, v.name};
  for (const Attribute &a : v.attributes)
    if (const int put = PutAttribute(ncid, var, a); attributes == NC_NOERR)
      attributes = put;
  return {};
}

// The conventions first, then the caller's in order.
Outcome PutGlobalAttributes(int ncid, const DsdProductLayout &layout) {
  for (const Attribute &a :
       {Text("Conventions", "CF-1.8"), Text("pluvicam_version", pluvicam::VERSION)})
    if (int s = PutAttribute(ncid, NC_GLOBAL, a); s != NC_NOERR)
      return {s, a.name};
  for (const auto &[name, value] : layout.attributes) {
    int s = NC_NOERR;
    if (const auto *t = std::get_if<std::string>(&value))
      s = nc_put_att_text(ncid, NC_GLOBAL, name.c_str(), t->size(), t->c_str());
    else
      s = nc_put_att_double(ncid, NC_GLOBAL, name.c_str(), NC_DOUBLE, 1, &std::get<double>(value));
    if (s != NC_NOERR)
      return {s, "global attribute \"" + name + "\""};
  }
  return {};
}

// Centre, width, lower and upper edge of `count` classes of `width` from 0, into the four
// variables from `vars`; then the terminal velocity at the diameter centres.
Outcome PutClasses(int ncid, std::size_t count, double width, const int *vars, const char *what) {
  std::vector<double> values[4];
  for (std::size_t k = 0; k < count; ++k) {
    values[0].push_back((double(k) + 0.5) * width);
    values[1].push_back(width);
    values[2].push_back(double(k) * width);
    values[3].push_back(double(k + 1) * width);
  }
  for (int i = 0; i < 4; ++i)
    if (int s = nc_put_var_double(ncid, vars[i], values[i].data()); s != NC_NOERR)
      return {s, what};
  return {};
}

Outcome PutFallVelocity(int ncid, std::size_t count, double width, int var) {
  std::vector<float> velocity;
  for (std::size_t k = 0; k < count; ++k)
    velocity.push_back(float(terminalvelocity::OfRainDrop((double(k) + 0.5) * width)));
  return {nc_put_var_float(ncid, var, velocity.data()), "fall_velocity"};
}

float Stored(double value) {
  const float f = float(value);
  return std::isfinite(f) ? f : DsdNetcdfWriter::FILL;
}

float Stored(const std::optional<double> &value) {
  return value ? Stored(*value) : DsdNetcdfWriter::FILL;
}

} // namespace

DsdNetcdfWriter::~DsdNetcdfWriter() { Abandon(); }

bool DsdNetcdfWriter::IsReservedAttribute(const std::string &name) {
  for (const char *own : {"Conventions", "featureType", "pluvicam_version"})
    if (strcasecmp(name.c_str(), own) == 0)
      return true;
  return false;
}

bool DsdNetcdfWriter::Create(const std::string &path, const DsdProductLayout &layout,
                             const OutputGuard &guard, std::string *error) {
  Abandon();
  return image.CreateFile(path, guard, error) && Start(layout, error);
}

bool DsdNetcdfWriter::CreateInMemory(const DsdProductLayout &layout, std::string *error) {
  Abandon();
  return image.CreateInMemory("the product in memory", error) && Start(layout, error);
}

bool DsdNetcdfWriter::Start(const DsdProductLayout &layout, std::string *error) {
  if (layout.classCount <= 0 || !(layout.deltaD > 0) || !std::isfinite(layout.deltaD))
    return Fail("no diameter classes", error);
  if (layout.velocityClasses <= 0 || !(layout.velocityClassWidth > 0) ||
      !std::isfinite(layout.velocityClassWidth))
    return Fail("no velocity classes", error);
  classCount = layout.classCount;
  velocityClasses = layout.velocityClasses;
  moments = layout.moments;
  written = buffered = 0;
  return Define(layout, error);
}

bool DsdNetcdfWriter::Define(const DsdProductLayout &layout, std::string *error) {
  for (const auto &attribute : layout.attributes) {
    if (IsReservedAttribute(attribute.first))
      return Fail("the global attribute \"" + attribute.first + "\" is the product's own", error);
  }
  Grid grid;
  grid.classes = std::size_t(classCount);
  grid.velocities = std::size_t(velocityClasses);
  int classVars[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int fallVelocityVar = -1;
  std::vector<std::pair<const Variable *, int *>> variables = {{&TIME, &timeVar},
                                                               {&TIME_BOUNDS, &timeBoundsVar}};
  for (int i = 0; i < 8; ++i)
    variables.emplace_back(&CLASS_COORDINATES[i], &classVars[i]);
  variables.emplace_back(&SAMPLE_INTERVAL, &sampleIntervalVar);
  for (int i = 0; i < SERIES_COUNT; ++i)
    variables.emplace_back(&SERIES[i], &seriesVars[i]);
  variables.emplace_back(&FALL_VELOCITY, &fallVelocityVar);
  variables.emplace_back(&NUMBER_PARTICLES, &countVar);
  variables.emplace_back(&NUMBER_REMOVED, &removedVar);
  for (int i = 0; i < FIGURE_COUNT; ++i)
    variables.emplace_back(&FIGURES[i], &figureVars[i]);
  if (moments)
    for (int i = 0; i < 8; ++i)
      variables.emplace_back(&MOMENTS[i], &momentVars[i]);
  variables.emplace_back(&INTERVAL_COMPLETE, &completeVar);

  const int ncid = image.Id();
  Outcome outcome = DefineDimensions(ncid, grid);
  int attributes = NC_NOERR;
  for (const auto &[variable, var] : variables)
    if (outcome.Ok())
      outcome = DefineVariable(ncid, grid, *variable, *var, attributes);
  if (outcome.Ok() && attributes != NC_NOERR)
    outcome = {attributes, "variable attributes"};
  if (outcome.Ok())
    outcome = PutGlobalAttributes(ncid, layout);
  if (outcome.Ok())
    outcome = {nc_enddef(ncid), "definitions"};
  if (outcome.Ok())
    outcome = PutClasses(ncid, grid.classes, layout.deltaD, classVars, "diameter classes");
  if (outcome.Ok())
    outcome = PutClasses(ncid, grid.velocities, layout.velocityClassWidth, classVars + 4,
                         "velocity classes");
  if (outcome.Ok())
    outcome = PutFallVelocity(ncid, grid.classes, layout.deltaD, fallVelocityVar);
  return Check(outcome.status, outcome.what, error);
}

bool DsdNetcdfWriter::Append(const DsdProductRow &row, std::string *error) {
  auto fail = [&](const std::string &why) { return Fail(why, error); };
  if (!image.CheckOpen(error))
    return false;
  const std::size_t classes = std::size_t(classCount);
  if (!row.nd.empty() && row.nd.size() != classes)
    return fail("an interval has " + std::to_string(row.nd.size()) +
                " diameter classes instead of " + std::to_string(classCount));
  if ((!row.counts.empty() && row.counts.size() != classes) ||
      (!row.meanVelocity.empty() && row.meanVelocity.size() != classes) ||
      (!row.raw.empty() && row.raw.size() != classes * std::size_t(velocityClasses)))
    return fail("an interval's classes do not match the product's");
  if (!std::isfinite(row.start) || !std::isfinite(row.end))
    return fail("an interval without a time");
  times.push_back(row.start);
  bounds.push_back(row.start);
  bounds.push_back(row.end);
  sampleIntervals.push_back(Stored(row.end - row.start));
  if (row.nd.empty())
    nd.insert(nd.end(), classes, FILL);
  else
    for (double v : row.nd)
      nd.push_back(Stored(v));
  if (row.counts.empty())
    dropCounts.insert(dropCounts.end(), classes, 0);
  else
    dropCounts.insert(dropCounts.end(), row.counts.begin(), row.counts.end());
  if (row.raw.empty())
    raw.insert(raw.end(), classes * std::size_t(velocityClasses), 0);
  else
    raw.insert(raw.end(), row.raw.begin(), row.raw.end());
  if (row.meanVelocity.empty())
    averageVelocity.insert(averageVelocity.end(), classes, FILL);
  else
    for (double v : row.meanVelocity)
      averageVelocity.push_back(Stored(v));
  rate.push_back(Stored(row.rainRate));
  amount.push_back(Stored(row.amount));
  counts.push_back(row.count);
  removed.push_back(row.removed);
  complete.push_back(row.complete ? 1 : 0);
  if (moments) {
    const std::optional<double> *values[8] = {&row.nt, &row.lwc, &row.reflectivity, &row.dm,
                                              &row.d0, &row.nw,  &row.mu,           &row.lambda};
    for (int i = 0; i < 8; ++i)
      momentValues[i].push_back(Stored(*values[i]));
  }
  ++buffered;
  return buffered < BLOCK || Flush(error);
}

bool DsdNetcdfWriter::Flush(std::string *error) {
  if (buffered == 0)
    return true;
  const std::size_t start[3] = {written, 0, 0};
  const std::size_t rows[1] = {buffered};
  const std::size_t pairs[2] = {buffered, 2};
  const std::size_t grid[2] = {buffered, std::size_t(classCount)};
  const std::size_t cube[3] = {buffered, std::size_t(classCount), std::size_t(velocityClasses)};
  const int ncid = image.Id();
  if (!Check(nc_put_vara_double(ncid, timeVar, start, rows, times.data()), "time", error) ||
      !Check(nc_put_vara_double(ncid, timeBoundsVar, start, pairs, bounds.data()), "time_bnds",
             error) ||
      !Check(nc_put_vara_float(ncid, sampleIntervalVar, start, rows, sampleIntervals.data()),
             "sample_interval", error) ||
      !Check(nc_put_vara_float(ncid, seriesVars[NUMBER_CONCENTRATION], start, grid, nd.data()),
             SERIES[NUMBER_CONCENTRATION].name, error) ||
      !Check(nc_put_vara_int(ncid, seriesVars[COUNTS], start, grid, dropCounts.data()),
             SERIES[COUNTS].name, error) ||
      !Check(nc_put_vara_int(ncid, seriesVars[RAW], start, cube, raw.data()), SERIES[RAW].name,
             error) ||
      !Check(nc_put_vara_float(ncid, seriesVars[AVERAGE_VELOCITY], start, grid,
                               averageVelocity.data()),
             SERIES[AVERAGE_VELOCITY].name, error) ||
      !Check(nc_put_vara_int(ncid, countVar, start, rows, counts.data()), NUMBER_PARTICLES.name,
             error) ||
      !Check(nc_put_vara_int(ncid, removedVar, start, rows, removed.data()), NUMBER_REMOVED.name,
             error) ||
      !Check(nc_put_vara_float(ncid, figureVars[RATE], start, rows, rate.data()),
             FIGURES[RATE].name, error) ||
      !Check(nc_put_vara_float(ncid, figureVars[AMOUNT], start, rows, amount.data()),
             FIGURES[AMOUNT].name, error) ||
      !Check(nc_put_vara_schar(ncid, completeVar, start, rows, complete.data()),
             INTERVAL_COMPLETE.name, error))
    return false;
  if (moments)
    for (int i = 0; i < 8; ++i)
      if (!Check(nc_put_vara_float(ncid, momentVars[i], start, rows, momentValues[i].data()),
                 MOMENTS[i].name, error))
        return false;
  written += buffered;
  buffered = 0;
  ClearRows();
  return true;
}

void DsdNetcdfWriter::ClearRows() {
  times.clear();
  bounds.clear();
  sampleIntervals.clear();
  nd.clear();
  dropCounts.clear();
  raw.clear();
  averageVelocity.clear();
  rate.clear();
  amount.clear();
  counts.clear();
  removed.clear();
  complete.clear();
  for (auto &values : momentValues)
    values.clear();
}

bool DsdNetcdfWriter::Finish(std::string *error) {
  return image.CheckOpen(error) && Flush(error) && image.FinishFile(error);
}

bool DsdNetcdfWriter::FinishInMemory(std::vector<unsigned char> &bytes, std::string *error) {
  if (!image.CheckOpen(error) || !Flush(error) || !image.FinishInMemory(bytes, error))
    return false;
  Abandon();
  return true;
}

bool DsdNetcdfWriter::Check(int status, const std::string &what, std::string *error) {
  return status == NC_NOERR || Fail(what + ": " + nc_strerror(status), error);
}

bool DsdNetcdfWriter::Fail(const std::string &why, std::string *error) {
  image.Fail(why, error);
  Abandon();
  return false;
}

void DsdNetcdfWriter::Abandon() {
  image.Abandon();
  written = buffered = 0;
  ClearRows();
}
