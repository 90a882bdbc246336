#include "DsdNetcdfWriter.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <strings.h>

#ifndef PLUVICAM_VERSION
#define PLUVICAM_VERSION "unknown"
#endif

namespace {

constexpr std::size_t BLOCK = 1024;            // rows held before they go to the file
constexpr std::size_t INITIAL_IMAGE = 1 << 20; // bytes of memory the file starts with

struct MomentVariable {
  const char *name;
  const char *units;
  const char *longName;
  const char *standardName; // null where the conventions have none
};

// In the order of the moment fields of DsdProductRow.
constexpr MomentVariable MOMENTS[8] = {
    {"Nt", "m-3", "total drop number concentration", nullptr},
    {"lwc", "g m-3", "liquid water content", nullptr},
    {"reflectivity", "dBZ", "radar reflectivity factor", "equivalent_reflectivity_factor"},
    {"Dm", "mm", "mass-weighted mean diameter", nullptr},
    {"D0", "mm", "median volume diameter", nullptr},
    {"Nw", "mm-1 m-3", "normalized intercept parameter", nullptr},
    {"mu", "1", "shape parameter of the gamma distribution", nullptr},
    {"lambda", "mm-1", "slope parameter of the gamma distribution", nullptr},
};

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
  auto text = [&](int var, const char *name, const std::string &value) {
    return nc_put_att_text(ncid, var, name, value.size(), value.c_str());
  };
  auto fill = [&](int var) {
    return nc_put_att_float(ncid, var, "_FillValue", NC_FLOAT, 1, &FILL);
  };

  int dTime = -1, dDiameter = -1, dNv = -1;
  if (!Check(nc_def_dim(ncid, "time", NC_UNLIMITED, &dTime), "time dimension", error) ||
      !Check(nc_def_dim(ncid, "diameter", std::size_t(classCount), &dDiameter),
             "diameter dimension", error) ||
      !Check(nc_def_dim(ncid, "nv", 2, &dNv), "nv dimension", error))
    return false;

  // Chunks of about half a megabyte along time; the default chunk of an unlimited dimension
  // would make a call per row.
  const std::size_t rowChunk = 1024;
  const std::size_t ndChunk = std::max<std::size_t>(1, 131072 / std::size_t(classCount));

  auto series = [&](const char *name, nc_type type, int &var, const char *what) {
    const int dims[1] = {dTime};
    const std::size_t chunk[1] = {rowChunk};
    return Check(nc_def_var(ncid, name, type, 1, dims, &var), what, error) &&
           Check(nc_def_var_chunking(ncid, var, NC_CHUNKED, chunk), what, error);
  };

  // Attribute calls are checked together; the first failure is the one reported.
  int status = NC_NOERR;
  auto note = [&](int s) {
    if (status == NC_NOERR)
      status = s;
  };
  // Coordinates.
  if (!series("time", NC_DOUBLE, timeVar, "time"))
    return false;
  note(text(timeVar, "standard_name", "time"));
  note(text(timeVar, "long_name", "start of the interval"));
  note(text(timeVar, "units", "seconds since 1970-01-01 00:00:00 UTC"));
  note(text(timeVar, "calendar", "standard"));
  note(text(timeVar, "axis", "T"));
  note(text(timeVar, "bounds", "time_bnds"));
  {
    const int dims[2] = {dTime, dNv};
    const std::size_t chunk[2] = {rowChunk, 2};
    if (!Check(nc_def_var(ncid, "time_bnds", NC_DOUBLE, 2, dims, &timeBoundsVar), "time_bnds",
               error) ||
        !Check(nc_def_var_chunking(ncid, timeBoundsVar, NC_CHUNKED, chunk), "time_bnds", error))
      return false;
  }
  int diameterVar = -1, diameterBoundsVar = -1;
  {
    const int dims[2] = {dDiameter, dNv};
    if (!Check(nc_def_var(ncid, "diameter", NC_DOUBLE, 1, dims, &diameterVar), "diameter", error) ||
        !Check(nc_def_var(ncid, "diameter_bnds", NC_DOUBLE, 2, dims, &diameterBoundsVar),
               "diameter_bnds", error))
      return false;
  }
  note(text(diameterVar, "long_name", "drop diameter at the class centre"));
  note(text(diameterVar, "units", "mm"));
  note(text(diameterVar, "bounds", "diameter_bnds"));

  // Data.
  {
    const int dims[2] = {dTime, dDiameter};
    const std::size_t chunk[2] = {ndChunk, std::size_t(classCount)};
    if (!Check(nc_def_var(ncid, "drop_number_concentration", NC_FLOAT, 2, dims, &ndVar),
               "drop_number_concentration", error) ||
        !Check(nc_def_var_chunking(ncid, ndVar, NC_CHUNKED, chunk), "drop_number_concentration",
               error) ||
        // Most classes of a day are empty: light compression shrinks the file many times over.
        !Check(nc_def_var_deflate(ncid, ndVar, 1, 1, 1), "drop_number_concentration", error))
      return false;
  }
  note(text(ndVar, "long_name", "number concentration of drops per unit diameter, N(D)"));
  note(text(ndVar, "units", "m-3 mm-1"));
  note(text(ndVar, "cell_methods", "time: mean"));
  note(fill(ndVar));

  if (!series("rain_rate", NC_FLOAT, rateVar, "rain_rate") ||
      !series("precipitation_amount", NC_FLOAT, amountVar, "precipitation_amount") ||
      !series("number_particles", NC_INT, countVar, "number_particles") ||
      !series("interval_complete", NC_BYTE, completeVar, "interval_complete"))
    return false;
  note(text(rateVar, "standard_name", "rainfall_rate"));
  note(text(rateVar, "long_name", "rain rate of the interval"));
  note(text(rateVar, "units", "mm h-1"));
  note(text(rateVar, "cell_methods", "time: mean"));
  note(fill(rateVar));
  note(text(amountVar, "standard_name", "thickness_of_rainfall_amount"));
  note(text(amountVar, "long_name", "rain collected in the interval"));
  note(text(amountVar, "units", "mm"));
  note(text(amountVar, "cell_methods", "time: sum"));
  note(fill(amountVar));
  note(text(countVar, "long_name", "number of particles in the interval"));
  note(text(countVar, "units", "1"));
  note(text(countVar, "cell_methods", "time: sum"));
  {
    const signed char flags[2] = {0, 1};
    note(text(completeVar, "long_name", "the interval closed before the data ended"));
    note(nc_put_att_schar(ncid, completeVar, "flag_values", NC_BYTE, 2, flags));
    note(text(completeVar, "flag_meanings", "partial complete"));
  }

  if (moments) {
    for (int i = 0; i < 8; ++i) {
      const MomentVariable &m = MOMENTS[i];
      if (!series(m.name, NC_FLOAT, momentVars[i], m.name))
        return false;
      if (m.standardName)
        note(text(momentVars[i], "standard_name", m.standardName));
      note(text(momentVars[i], "long_name", m.longName));
      note(text(momentVars[i], "units", m.units));
      note(fill(momentVars[i]));
    }
  }
  if (!Check(status, "variable attributes", error))
    return false;

  // Global attributes: the conventions first, then the caller's in order.
  if (!Check(text(NC_GLOBAL, "Conventions", "CF-1.8"), "Conventions", error) ||
      !Check(text(NC_GLOBAL, "pluvicam_version", PLUVICAM_VERSION), "pluvicam_version", error))
    return false;
  for (const auto &[name, value] : layout.attributes) {
    if (IsReservedAttribute(name)) {
      if (error)
        *error = "Could not write " + target + ": the global attribute \"" + name +
                 "\" is the product's own";
      Abandon();
      return false;
    }
    int s = NC_NOERR;
    if (const auto *t = std::get_if<std::string>(&value))
      s = text(NC_GLOBAL, name.c_str(), *t);
    else
      s = nc_put_att_double(ncid, NC_GLOBAL, name.c_str(), NC_DOUBLE, 1, &std::get<double>(value));
    const std::string what = "global attribute \"" + name + "\"";
    if (!Check(s, what.c_str(), error))
      return false;
  }

  if (!Check(nc_enddef(ncid), "definitions", error))
    return false;

  std::vector<double> centres(static_cast<std::size_t>(classCount));
  std::vector<double> edges(2 * centres.size());
  for (int k = 0; k < classCount; ++k) {
    centres[std::size_t(k)] = (k + 0.5) * layout.deltaD;
    edges[2 * std::size_t(k)] = k * layout.deltaD;
    edges[2 * std::size_t(k) + 1] = (k + 1) * layout.deltaD;
  }
  return Check(nc_put_var_double(ncid, diameterVar, centres.data()), "diameter", error) &&
         Check(nc_put_var_double(ncid, diameterBoundsVar, edges.data()), "diameter_bnds", error);
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
