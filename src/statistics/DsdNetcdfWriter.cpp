#include "DsdNetcdfWriter.h"
#include "PluvicamVersion.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr std::size_t BLOCK = 1024;            // rows held before they go to the file
constexpr std::size_t INITIAL_IMAGE = 1 << 20; // bytes of memory the file starts with

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
enum class Shape { Time, TimeBounds, Classes, ClassBounds, TimeByClass };

struct Variable {
  const char *name;
  nc_type type;
  Shape shape;
  std::vector<Attribute> attributes;
};

// The variables of every product, in the order they are defined.
const Variable TIME{"time",
                    NC_DOUBLE,
                    Shape::Time,
                    {Text("standard_name", "time"), Text("long_name", "start of the interval"),
                     Text("units", "seconds since 1970-01-01 00:00:00 UTC"),
                     Text("calendar", "standard"), Text("axis", "T"), Text("bounds", "time_bnds")}};
const Variable TIME_BOUNDS{"time_bnds", NC_DOUBLE, Shape::TimeBounds, {}};
const Variable DIAMETER{"diameter",
                        NC_DOUBLE,
                        Shape::Classes,
                        {Text("long_name", "drop diameter at the class centre"),
                         Text("units", "mm"), Text("bounds", "diameter_bnds")}};
const Variable DIAMETER_BOUNDS{"diameter_bnds", NC_DOUBLE, Shape::ClassBounds, {}};
const Variable DROP_NUMBER_CONCENTRATION{
    "drop_number_concentration",
    NC_FLOAT,
    Shape::TimeByClass,
    {Text("long_name", "number concentration of drops per unit diameter, N(D)"),
     Text("units", "m-3 mm-1"), Text("cell_methods", "time: mean"), FILL_VALUE}};
const Variable RAIN_RATE{"rain_rate",
                         NC_FLOAT,
                         Shape::Time,
                         {Text("standard_name", "rainfall_rate"),
                          Text("long_name", "rain rate of the interval"), Text("units", "mm h-1"),
                          Text("cell_methods", "time: mean"), FILL_VALUE}};
const Variable PRECIPITATION_AMOUNT{"precipitation_amount",
                                    NC_FLOAT,
                                    Shape::Time,
                                    {Text("standard_name", "thickness_of_rainfall_amount"),
                                     Text("long_name", "rain collected in the interval"),
                                     Text("units", "mm"), Text("cell_methods", "time: sum"),
                                     FILL_VALUE}};
const Variable NUMBER_PARTICLES{"number_particles",
                                NC_INT,
                                Shape::Time,
                                {Text("long_name", "number of particles in the interval"),
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
    {"lwc",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "liquid water content"), Text("units", "g m-3"), FILL_VALUE}},
    {"reflectivity",
     NC_FLOAT,
     Shape::Time,
     {Text("standard_name", "equivalent_reflectivity_factor"),
      Text("long_name", "radar reflectivity factor"), Text("units", "dBZ"), FILL_VALUE}},
    {"Dm",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "mass-weighted mean diameter"), Text("units", "mm"), FILL_VALUE}},
    {"D0",
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
    {"lambda",
     NC_FLOAT,
     Shape::Time,
     {Text("long_name", "slope parameter of the gamma distribution"), Text("units", "mm-1"),
      FILL_VALUE}},
};

// The dimensions of a product and the chunks its variables are stored in.
struct Grid {
  int time = -1, diameter = -1, nv = -1;
  std::size_t classes = 0;

  // Chunks of about half a megabyte along time; the default chunk of an unlimited dimension
  // would make a call per row.
  static constexpr std::size_t ROW_CHUNK = 1024;
  std::size_t ClassRowChunk() const { return std::max<std::size_t>(1, 131072 / classes); }
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
  if (int s = nc_def_dim(ncid, "diameter", grid.classes, &grid.diameter); s != NC_NOERR)
    return {s, "diameter dimension"};
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
  int dims[2] = {grid.time, grid.nv};
  std::size_t chunk[2] = {Grid::ROW_CHUNK, 2};
  int rank = 2;
  bool chunked = true;
  switch (v.shape) {
  case Shape::Time:
    rank = 1;
    break;
  case Shape::TimeBounds:
    break;
  case Shape::Classes:
  case Shape::ClassBounds:
    dims[0] = grid.diameter;
    rank = v.shape == Shape::Classes ? 1 : 2;
    chunked = false;
    break;
  case Shape::TimeByClass:
    dims[1] = grid.diameter;
    chunk[0] = grid.ClassRowChunk();
    chunk[1] = grid.classes;
    break;
  }
  int s = nc_def_var(ncid, v.name, v.type, rank, dims, &var);
  if (s == NC_NOERR && chunked)
    s = nc_def_var_chunking(ncid, var, NC_CHUNKED, chunk);
  // Most classes of a day are empty: light compression shrinks the file many times over.
  if (s == NC_NOERR && v.shape == Shape::TimeByClass)
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

// The centres and edges of the diameter classes.
Outcome PutClasses(int ncid, const Grid &grid, double deltaD, int centreVar, int boundsVar) {
  std::vector<double> centres(grid.classes);
  std::vector<double> edges(2 * grid.classes);
  for (std::size_t k = 0; k < grid.classes; ++k) {
    centres[k] = (double(k) + 0.5) * deltaD;
    edges[2 * k] = double(k) * deltaD;
    edges[2 * k + 1] = double(k + 1) * deltaD;
  }
  if (int s = nc_put_var_double(ncid, centreVar, centres.data()); s != NC_NOERR)
    return {s, "diameter"};
  if (int s = nc_put_var_double(ncid, boundsVar, edges.data()); s != NC_NOERR)
    return {s, "diameter_bnds"};
  return {};
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

bool DsdNetcdfWriter::Check(int status, const char *what, std::string *error) {
  if (status == NC_NOERR)
    return true;
  if (error)
    *error = "Could not write " + target + ": " + what + ": " + nc_strerror(status);
  Abandon();
  return false;
}

bool DsdNetcdfWriter::Create(const std::string &path, const DsdProductLayout &layout,
                             const OutputGuard &outputGuard, std::string *error) {
  Abandon();
  target = path;
  guard = outputGuard;
  auto fail = [&](const std::string &why) {
    if (error)
      *error = "Could not write " + path + ": " + why;
    Abandon();
    return false;
  };
  if (layout.classCount <= 0 || !(layout.deltaD > 0) || !std::isfinite(layout.deltaD))
    return fail("no diameter classes");
  if (const std::string refusal = guard.Check(path); !refusal.empty())
    return fail(refusal);
  // The temporary file now, so that a place where nothing can be written is known before the
  // whole series has been read.
  std::string why;
  if (!partial.Create(path, &why))
    return fail(why);
  int id = -1;
  const int status = nc_create_mem(path.c_str(), NC_NETCDF4, INITIAL_IMAGE, &id);
  if (status != NC_NOERR)
    return fail(nc_strerror(status));
  ncid = id;
  classCount = layout.classCount;
  moments = layout.moments;
  written = buffered = 0;
  return Define(layout, error);
}

bool DsdNetcdfWriter::Define(const DsdProductLayout &layout, std::string *error) {
  for (const auto &attribute : layout.attributes) {
    if (IsReservedAttribute(attribute.first)) {
      if (error)
        *error = "Could not write " + target + ": the global attribute \"" + attribute.first +
                 "\" is the product's own";
      Abandon();
      return false;
    }
  }
  Grid grid;
  grid.classes = std::size_t(classCount);
  int diameterVar = -1, diameterBoundsVar = -1;
  std::vector<std::pair<const Variable *, int *>> variables = {
      {&TIME, &timeVar},
      {&TIME_BOUNDS, &timeBoundsVar},
      {&DIAMETER, &diameterVar},
      {&DIAMETER_BOUNDS, &diameterBoundsVar},
      {&DROP_NUMBER_CONCENTRATION, &ndVar},
      {&RAIN_RATE, &rateVar},
      {&PRECIPITATION_AMOUNT, &amountVar},
      {&NUMBER_PARTICLES, &countVar},
      {&INTERVAL_COMPLETE, &completeVar}};
  if (moments)
    for (int i = 0; i < 8; ++i)
      variables.emplace_back(&MOMENTS[i], &momentVars[i]);

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
    outcome = PutClasses(ncid, grid, layout.deltaD, diameterVar, diameterBoundsVar);
  return Check(outcome.status, outcome.what.c_str(), error);
}

bool DsdNetcdfWriter::Append(const DsdProductRow &row, std::string *error) {
  if (!IsOpen()) {
    if (error)
      *error = "Could not write " + target + ": the file is not open";
    return false;
  }
  if (!row.nd.empty() && row.nd.size() != std::size_t(classCount)) {
    if (error)
      *error = "Could not write " + target + ": an interval has " + std::to_string(row.nd.size()) +
               " diameter classes instead of " + std::to_string(classCount);
    Abandon();
    return false;
  }
  if (!std::isfinite(row.start) || !std::isfinite(row.end)) {
    if (error)
      *error = "Could not write " + target + ": an interval without a time";
    Abandon();
    return false;
  }
  times.push_back(row.start);
  bounds.push_back(row.start);
  bounds.push_back(row.end);
  if (row.nd.empty())
    nd.insert(nd.end(), std::size_t(classCount), FILL);
  else
    for (double v : row.nd)
      nd.push_back(Stored(v));
  rate.push_back(Stored(row.rainRate));
  amount.push_back(Stored(row.amount));
  counts.push_back(row.count);
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
  const std::size_t start[2] = {written, 0};
  const std::size_t rows[1] = {buffered};
  const std::size_t pairs[2] = {buffered, 2};
  const std::size_t grid[2] = {buffered, std::size_t(classCount)};
  if (!Check(nc_put_vara_double(ncid, timeVar, start, rows, times.data()), "time", error) ||
      !Check(nc_put_vara_double(ncid, timeBoundsVar, start, pairs, bounds.data()), "time_bnds",
             error) ||
      !Check(nc_put_vara_float(ncid, ndVar, start, grid, nd.data()), "drop_number_concentration",
             error) ||
      !Check(nc_put_vara_float(ncid, rateVar, start, rows, rate.data()), "rain_rate", error) ||
      !Check(nc_put_vara_float(ncid, amountVar, start, rows, amount.data()), "precipitation_amount",
             error) ||
      !Check(nc_put_vara_int(ncid, countVar, start, rows, counts.data()), "number_particles",
             error) ||
      !Check(nc_put_vara_schar(ncid, completeVar, start, rows, complete.data()),
             "interval_complete", error))
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
  nd.clear();
  rate.clear();
  amount.clear();
  counts.clear();
  complete.clear();
  for (auto &values : momentValues)
    values.clear();
}

bool DsdNetcdfWriter::Finish(std::string *error) {
  if (!IsOpen()) {
    if (error)
      *error = "Could not write " + target + ": the file is not open";
    return false;
  }
  if (!Flush(error))
    return false;
  auto fail = [&](const std::string &why) {
    if (error)
      *error = "Could not write " + target + ": " + why;
    Abandon();
    return false;
  };
  NC_memio image{};
  const int status = nc_close_memio(ncid, &image);
  ncid = -1;
  if (status != NC_NOERR)
    return fail(nc_strerror(status));
  std::string why;
  const bool written = partial.Write(image.memory, image.size, &why);
  std::free(image.memory);
  if (!written)
    return fail(why);
  // The reading took its time: the target may have become something else meanwhile.
  if (const std::string refusal = guard.Check(target); !refusal.empty())
    return fail(refusal);
  if (!partial.Commit(&why))
    return fail(why);
  return true;
}

void DsdNetcdfWriter::Abandon() {
  if (ncid >= 0)
    nc_abort(ncid);
  ncid = -1;
  partial.Discard();
  written = buffered = 0;
  ClearRows();
}
