#pragma once
// Reading netCDF products back in the tests, through the same library a user's tools use.
#include "CliRunner.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cstdio>
#include <string>
#include <vector>

// The bytes of the file at `path`, to compare with the same product made in memory.
inline std::vector<unsigned char> FileBytes(const std::string &path) {
  std::vector<unsigned char> bytes;
  if (FILE *f = std::fopen(path.c_str(), "rb")) {
    unsigned char block[65536];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;)
      bytes.insert(bytes.end(), block, block + n);
    std::fclose(f);
  }
  return bytes;
}

class NcFile {
public:
  explicit NcFile(const std::string &path) { status = nc_open(path.c_str(), NC_NOWRITE, &id); }
  ~NcFile() {
    if (status == NC_NOERR)
      nc_close(id);
  }
  NcFile(const NcFile &) = delete;
  NcFile &operator=(const NcFile &) = delete;

  bool Ok() const { return status == NC_NOERR; }
  int Id() const { return id; }
  // A variable's id, -2 when there is none (NC_GLOBAL is -1).
  int Var(const std::string &name) const {
    int var = -2;
    return nc_inq_varid(id, name.c_str(), &var) == NC_NOERR ? var : -2;
  }
  bool HasVar(const std::string &name) const { return Var(name) >= 0; }
  // Length of a dimension, or -1 when there is none of that name.
  long long Dim(const std::string &name) const {
    int dim = -1;
    size_t length = 0;
    if (nc_inq_dimid(id, name.c_str(), &dim) != NC_NOERR ||
        nc_inq_dimlen(id, dim, &length) != NC_NOERR)
      return -1;
    return (long long)length;
  }
  bool Unlimited(const std::string &name) const {
    int dim = -1, count = 0, dims[NC_MAX_DIMS];
    if (nc_inq_dimid(id, name.c_str(), &dim) != NC_NOERR ||
        nc_inq_unlimdims(id, &count, dims) != NC_NOERR)
      return false;
    for (int i = 0; i < count; ++i)
      if (dims[i] == dim)
        return true;
    return false;
  }
  std::vector<std::string> DimsOf(const std::string &name) const {
    std::vector<std::string> names;
    int n = 0, dims[NC_MAX_VAR_DIMS];
    const int var = Var(name);
    if (var < 0 || nc_inq_varndims(id, var, &n) != NC_NOERR ||
        nc_inq_vardimid(id, var, dims) != NC_NOERR)
      return names;
    for (int i = 0; i < n; ++i) {
      char text[NC_MAX_NAME + 1] = {};
      nc_inq_dimname(id, dims[i], text);
      names.push_back(text);
    }
    return names;
  }
  // A text attribute; "<none>" when missing. An empty variable name means a global attribute.
  std::string Text(const std::string &var, const std::string &name) const {
    const int v = var.empty() ? NC_GLOBAL : Var(var);
    size_t length = 0;
    nc_type type = NC_NAT;
    if (v == -2 || nc_inq_att(id, v, name.c_str(), &type, &length) != NC_NOERR || type != NC_CHAR)
      return "<none>";
    std::string text(length, '\0');
    nc_get_att_text(id, v, name.c_str(), text.data());
    return text;
  }
  double Number(const std::string &var, const std::string &name) const {
    const int v = var.empty() ? NC_GLOBAL : Var(var);
    double value = -1234.5;
    nc_get_att_double(id, v, name.c_str(), &value);
    return value;
  }
  // A numeric attribute's values; empty when missing.
  std::vector<int> IntAtt(const std::string &var, const std::string &name) const {
    const int v = var.empty() ? NC_GLOBAL : Var(var);
    size_t length = 0;
    if (v == -2 || nc_inq_attlen(id, v, name.c_str(), &length) != NC_NOERR)
      return {};
    std::vector<int> values(length);
    if (nc_get_att_int(id, v, name.c_str(), values.data()) != NC_NOERR)
      return {};
    return values;
  }
  bool HasAtt(const std::string &var, const std::string &name) const {
    const int v = var.empty() ? NC_GLOBAL : Var(var);
    return nc_inq_attid(id, v, name.c_str(), nullptr) == NC_NOERR;
  }
  // The variables; a variable's attributes ("" for the global ones) in the file's order.
  std::vector<std::string> VarNames() const {
    std::vector<std::string> names;
    int count = 0;
    nc_inq_nvars(id, &count);
    for (int v = 0; v < count; ++v) {
      char text[NC_MAX_NAME + 1] = {};
      nc_inq_varname(id, v, text);
      names.push_back(text);
    }
    return names;
  }
  std::vector<std::string> AttNames(const std::string &var) const {
    std::vector<std::string> names;
    const int v = var.empty() ? NC_GLOBAL : Var(var);
    int count = 0;
    if (v == -2 || nc_inq_varnatts(id, v, &count) != NC_NOERR)
      return names;
    for (int i = 0; i < count; ++i) {
      char text[NC_MAX_NAME + 1] = {};
      nc_inq_attname(id, v, i, text);
      names.push_back(text);
    }
    return names;
  }
  // A variable's chunk sizes; empty when it is stored in one piece.
  std::vector<size_t> Chunks(const std::string &name) const {
    const int var = Var(name);
    int storage = NC_CONTIGUOUS, n = 0;
    size_t sizes[NC_MAX_VAR_DIMS] = {};
    if (var < 0 || nc_inq_varndims(id, var, &n) != NC_NOERR ||
        nc_inq_var_chunking(id, var, &storage, sizes) != NC_NOERR || storage != NC_CHUNKED)
      return {};
    return std::vector<size_t>(sizes, sizes + n);
  }
  // The deflate level, 0 when the variable is not compressed.
  int Deflate(const std::string &name) const {
    int shuffle = 0, deflate = 0, level = 0;
    if (nc_inq_var_deflate(id, Var(name), &shuffle, &deflate, &level) != NC_NOERR || !deflate)
      return 0;
    return level;
  }
  std::vector<double> Doubles(const std::string &name) const { return Values<double>(name); }
  std::vector<float> Floats(const std::string &name) const { return Values<float>(name); }
  std::vector<int> Ints(const std::string &name) const { return Values<int>(name); }

private:
  template <typename T> std::vector<T> Values(const std::string &name) const {
    std::vector<T> values;
    const int var = Var(name);
    int n = 0, dims[NC_MAX_VAR_DIMS];
    if (var < 0 || nc_inq_varndims(id, var, &n) != NC_NOERR ||
        nc_inq_vardimid(id, var, dims) != NC_NOERR)
      return values;
    size_t total = 1;
    for (int i = 0; i < n; ++i) {
      size_t length = 0;
      nc_inq_dimlen(id, dims[i], &length);
      total *= length;
    }
    values.resize(total);
    if (total == 0)
      return values;
    int s = NC_NOERR;
    if constexpr (std::is_same_v<T, double>)
      s = nc_get_var_double(id, var, values.data());
    else if constexpr (std::is_same_v<T, float>)
      s = nc_get_var_float(id, var, values.data());
    else
      s = nc_get_var_int(id, var, values.data());
    if (s != NC_NOERR)
      values.clear();
    return values;
  }

  int id = -1;
  int status = NC_EBADID;
};

// Opens `path` with xarray, decoding the conventions, and fails on any warning. Skips when no
// Python with xarray was found when the build was configured.
inline void ExpectXarrayOpensCleanly(const std::string &path, const std::string &checks = "") {
#ifdef PLUVICAM_PYTHON_XARRAY
  const std::string script =
      "import warnings, netCDF4, xarray as xr\n"
      "# Importing the binding may warn about its build; only what the file causes counts.\n"
      "warnings.simplefilter('error')\n"
      "ds = xr.open_dataset('" +
      path +
      "', decode_cf=True)\n"
      "ds.load()\n"
      "assert str(ds.time.dtype).startswith('datetime64'), ds.time.dtype\n" +
      checks + "print('ok')\n";
  const std::string scriptPath = path + ".py";
  FILE *f = std::fopen(scriptPath.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs(script.c_str(), f);
  std::fclose(f);
  int status = 0;
  const std::string out =
      CaptureOutput(std::string(PLUVICAM_PYTHON_XARRAY) + " " + scriptPath + " 2>&1", status);
  std::remove(scriptPath.c_str());
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out, "ok\n");
#else
  (void)path;
  (void)checks;
  GTEST_SKIP() << "no Python with xarray";
#endif
}
