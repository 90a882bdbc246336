// The extension behind the Python package pluvicam: the command line's readers and option checks
// for Python callers. The package's Python half builds the argument lists and the pandas and
// xarray objects.
#include "CliCommon.h"
#include "DocumentOptions.h"
#include "DsdCommand.h"
#include "FileSummary.h"
#include "ParticleArrays.h"
#include "PluvicamVersion.h"
#include "SeriesFiles.h"

#include <CLI/CLI.hpp>
#include <hdf5.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

// A read that stopped on bad data; a subclass of ValueError in Python.
struct DataError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Raises the OSError that fits a file that did not open.
[[noreturn]] void RaiseOpenFailure(int code, const std::string &path, const std::string &message) {
  PyObject *type = PyExc_OSError;
  if (code == CHydException::fileNotFound || !std::filesystem::exists(path))
    type = PyExc_FileNotFoundError;
  else if (code == CHydException::accessDenied)
    type = PyExc_PermissionError;
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

// HDF5 prints its error stack on every thread but the one that set the netCDF library up, also
// for the lookups the library expects to fail; the library reports real errors itself.
void QuietHdf5Errors() { H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); }

// The window and filter options of the command line, checked as it checks them.
DocumentOptions ParseDocumentOptions(const std::vector<std::string> &arguments) {
  DocumentOptions options;
  CLI::App app{"pluvicam"};
  AddDocumentOptions(app, options, false);
  try {
    app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
  } catch (const CLI::ParseError &e) {
    throw std::invalid_argument(e.what());
  }
  FilterRecord filter;
  if (std::string error; !options.BuildFilter(filter, error))
    throw std::invalid_argument(error);
  return options;
}

std::string Trimmed(const std::string &text) {
  return text.empty() || text.back() != '\n' ? text : text.substr(0, text.size() - 1);
}

// The particles of `path` as `pluvicam-cli particles` gives them: every particle the reader
// delivers, or with window or filter options those the main window accepts. Returns the
// columns and the messages of a read that went to its end, or that `keepGoing` lets end early.
py::tuple ReadParticles(const std::string &path, const std::vector<std::string> &arguments,
                        bool keepGoing) {
  const DocumentOptions options = ParseDocumentOptions(arguments);
  ParticleArrays arrays;
  std::ostringstream errors;
  int status = 0;
  std::optional<CHydException> openFailure;
  {
    py::gil_scoped_release released;
    if (options.Any()) {
      cli::StreamMessages messages(errors);
      auto doc = cli::OpenDocument(path, options, messages);
      if (!doc) {
        openFailure = CHydException(CHydException::fileNotOpened, Trimmed(errors.str()));
      } else {
        const bool isSnow = doc->IsSno();
        status = cli::RunDocument(
            *doc, keepGoing, [&](const HydRecord &r) { arrays.Add(r, isSnow); }, errors);
      }
    } else {
      CHydDataHandler handler;
      CHydException e;
      if (!handler.Open(path, CInputFile::modeRead, &e)) {
        openFailure = e;
      } else {
        if (!handler.OpenNotice().empty())
          errors << path << ": " << handler.OpenNotice() << "\n";
        long long failures = 0;
        status = cli::Walk(
            handler, keepGoing, failures,
            [&](CHydData &p, int32_t) { arrays.Add(*p.GetHydHeader(), p.IsSnow()); }, errors);
        if (arrays.Size() == 0 && failures == 0)
          cli::ReportNoParticles(handler, path, errors);
      }
    }
  }
  if (openFailure)
    RaiseOpenFailure(openFailure->code, path, openFailure->message);
  if (status != 0 && !keepGoing)
    throw DataError(Trimmed(errors.str()));
  return py::make_tuple(arrays.ToDict(), ParticleArrays::Units(), Trimmed(errors.str()));
}

py::dict MainHeaderDict(const MainHeader &h) {
  py::dict d;
  d["time"] = h.time;
  d["ident"] = std::string(h.ident, strnlen(h.ident, MainHeader::IDENT_LENGTH));
  d["line_frequency"] = h.lineFrequency;
  d["scale_a"] = h.scaleA;
  d["scale_b"] = h.scaleB;
  d["plane_distances"] = py::make_tuple(h.planeDistance1, h.planeDistance2, h.planeDistance3);
  return d;
}

// What `pluvicam-cli info` prints, as a dict, and the messages of the walk.
py::tuple Info(const std::string &path) {
  FileSummary s;
  CHydException failure;
  std::ostringstream errors;
  bool opened = false;
  {
    py::gil_scoped_release released;
    opened = FileSummary::Of(path, s, failure, errors);
  }
  if (!opened)
    RaiseOpenFailure(failure.code, path, failure.message);
  py::dict d;
  d["file"] = s.file;
  d["kind"] = s.snow ? "snow" : "rain";
  d["format"] = s.format;
  d["length"] = s.length;
  d["indexed_minutes"] = s.indexedMinutes;
  py::list headers;
  for (const MainHeader &h : s.mainHeaders)
    headers.append(MainHeaderDict(h));
  d["main_headers"] = headers;
  d["particles"] = s.particles;
  d["failures"] = s.failures;
  d["rain_mm"] = s.rain;
  d["complete"] = s.status == 0;
  return py::make_tuple(d, Trimmed(errors.str()));
}

// The dsd command's netCDF product in memory: (bytes, messages, exit status). The image is
// written while `netcdfLock` is held, the lock through which the caller's other threads use
// the netCDF library.
py::tuple Dsd(const std::vector<std::string> &paths, const std::vector<std::string> &options,
              const std::string &history, py::object netcdfLock) {
  std::vector<std::string> arguments = options;
  // Every path a file, also one that starts with a dash.
  arguments.push_back("--");
  arguments.insert(arguments.end(), paths.begin(), paths.end());
  DsdInMemory target;
  target.exclusive = [&](const std::function<void()> &work) {
    py::gil_scoped_acquire held;
    netcdfLock.attr("acquire")();
    try {
      py::gil_scoped_release released;
      QuietHdf5Errors();
      work();
    } catch (...) {
      netcdfLock.attr("release")();
      throw;
    }
    netcdfLock.attr("release")();
  };
  std::ostringstream errors;
  cli::StreamMessages messages(errors);
  int status = 0;
  {
    py::gil_scoped_release released;
    status = RunDsdInMemory(arguments, history, target, messages);
  }
  const std::vector<unsigned char> &product = target.product;
  return py::make_tuple(py::bytes(reinterpret_cast<const char *>(product.data()), product.size()),
                        Trimmed(errors.str()), status);
}

// The files of a series in the order the dsd command reads them: (files, messages, complete).
py::tuple SeriesOrder(const std::vector<std::string> &paths) {
  std::ostringstream errors;
  cli::StreamMessages messages(errors);
  SeriesFiles series;
  {
    py::gil_scoped_release released;
    series = SeriesFiles::Order(paths, messages);
  }
  return py::make_tuple(series.files, Trimmed(errors.str()), series.complete);
}

} // namespace

PYBIND11_MODULE(_pluvicam, m) {
  m.doc() = "Pluvicam's readers and products; use the package pluvicam.";
  m.attr("__version__") = pluvicam::VERSION;
  py::register_exception<DataError>(m, "DataError", PyExc_ValueError);
  m.def("read_particles", &ReadParticles, py::arg("path"), py::arg("arguments"),
        py::arg("keep_going"));
  m.def("info", &Info, py::arg("path"));
  m.def("dsd", &Dsd, py::arg("paths"), py::arg("options"), py::arg("history"),
        py::arg("netcdf_lock"));
  m.def("series_order", &SeriesOrder, py::arg("paths"));
  m.def("quiet_hdf5_errors", &QuietHdf5Errors);
}
