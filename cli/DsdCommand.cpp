// pluvicam-cli dsd: the enlarged drop size distribution, Run after Run to the end of the data,
// one CSV row per Run, or one netCDF file; several files form one series in the order of their
// first main header's time.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "DocumentOptions.h"

#include "ParticleCsv.h"
#include "SeriesFiles.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DsdIntegration.h"
#include "statistics/DsdMoments.h"
#include "statistics/DsdNetcdfWriter.h"
#include "statistics/DsdProduct.h"
#include "statistics/DsdSeriesRun.h"
#include "statistics/ParallelFiles.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using cli::EXIT_STOPPED;
using cli::EXIT_UNUSABLE;

struct DsdOptions {
  std::vector<std::string> files;
  std::string netcdf;             // the product file; CSV on standard output when empty
  std::vector<std::string> attrs; // KEY=VALUE global attributes of the product
  std::string commandLine;        // for the product's history
  std::string mode = "time";      // time, rain, objects, full
  std::string interval;           // s, mm or particles by mode; the document's default when empty
  std::string deltaD;             // mm, one of the class widths of the panel
  int scale = 1;
  bool moments = false;
  int jobs = 1; // files read at the same time
  DocumentOptions document;
};

// The integration the options ask for, over the document's defaults; parsed once for the series.
struct IntegrationChoice {
  IntegrationMode mode = IntegrationMode::Time;
  std::optional<float> deltaD;
  std::optional<double> interval; // s, mm or particles by mode

  void ApplyTo(IntegrationSettings &s) const {
    s.mode = mode;
    if (deltaD)
      s.deltaD = *deltaD;
    if (!interval)
      return;
    if (mode == IntegrationMode::Rain)
      s.rainInterval = float(*interval);
    else if (mode == IntegrationMode::Time)
      s.timeInterval = float(*interval);
    else
      s.dropCount = int32_t(*interval);
  }
};

// The options' integration with the limits of the integration dialog. False with `error` set.
bool ParseIntegration(const DsdOptions &o, IntegrationChoice &choice, std::string &error) {
  static const std::pair<const char *, IntegrationMode> modes[] = {
      {"full", IntegrationMode::FullTimeRange},
      {"rain", IntegrationMode::Rain},
      {"objects", IntegrationMode::Objects},
      {"time", IntegrationMode::Time}};
  for (const auto &[name, mode] : modes)
    if (o.mode == name)
      choice.mode = mode;

  if (!o.deltaD.empty()) {
    double d = 0;
    const float widths[] = {0.05f, 0.1f, 0.15f, 0.2f, 0.25f};
    bool known = false;
    if (ParseNumber(o.deltaD, d))
      for (float w : widths)
        known = known || float(d) == w;
    if (!known) {
      error = "--delta-d: expected 0.05, 0.1, 0.15, 0.2 or 0.25 mm, got \"" + o.deltaD + "\"";
      return false;
    }
    choice.deltaD = float(d);
  }

  if (o.interval.empty())
    return true;
  double v = 0;
  if (!ParseNumber(o.interval, v)) {
    error = "--interval: expected a number, got \"" + o.interval + "\"";
    return false;
  }
  switch (choice.mode) {
  case IntegrationMode::FullTimeRange:
    error = "--interval: the full time range has no interval";
    return false;
  case IntegrationMode::Rain:
    if (float(v) < 0.05f || float(v) > 5.0f) {
      error = "--interval: Rain Integration Interval must be between 0.05 and 5 mm";
      return false;
    }
    break;
  case IntegrationMode::Time:
    if (float(v) < 15.0f || float(v) > 43200.0f) {
      error = "--interval: Time Integration Interval must be between 15 and 43200 sec";
      return false;
    }
    break;
  default:
    if (v != std::trunc(v) || v < 1 || v > 999999) {
      error = "--interval: NrDrops must be a whole number between 1 and 999999";
      return false;
    }
  }
  choice.interval = v;
  return true;
}

void AppendCell(std::string &out, double value) {
  char text[40];
  std::snprintf(text, sizeof text, ",%.9g", value);
  out += text;
}

void AppendOptional(std::string &out, const std::optional<double> &value) {
  if (value)
    AppendCell(out, *value);
  else
    out += ',';
}

std::string Header(const dsd::ClassGeometry &g, float deltaD, bool moments) {
  std::string out = "run,startTim,endTim,startTime,endTime,elapsed,collectedRain,count,"
                    "rainInterval,timeInterval,dropCount,result,ndMax,complete";
  for (int k = 0; k < g.count; ++k) {
    char text[32];
    std::snprintf(text, sizeof text, ",nd_%.2f", k * double(deltaD));
    out += text;
  }
  if (moments)
    out += ",Nt,W,Z,Dm,D0,Nw,mu,lambda";
  out += '\n';
  return out;
}

// A row without its run number, which counts through the whole series.
void AppendRow(std::string &out, CPluvicamDoc &doc, const DsdInterval &r, bool moments) {
  const IntegrationState &st = *doc.GetIntegrationState();
  const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  char text[128];
  std::snprintf(text, sizeof text, "%.17g,%.17g,", st.startTim, st.endTim);
  out += text;
  out += cli::TimeText(doc, st.startTim);
  out += ',';
  out += cli::TimeText(doc, st.endTim);
  if (r.normalised)
    AppendCell(out, r.seconds);
  else
    out += ',';
  AppendCell(out, r.rain);
  out += ',' + std::to_string(r.count);
  AppendCell(out, s.rainInterval);
  AppendCell(out, s.timeInterval);
  out += ',' + std::to_string(s.dropCount);
  AppendCell(out, s.result);
  if (r.normalised)
    AppendCell(out, r.ndMax);
  else
    out += ',';
  out += r.end == DsdInterval::Complete ? ",1" : ",0";
  for (int k = 0; k < r.geometry.count; ++k) {
    if (r.normalised)
      AppendCell(out, r.classes[size_t(k)]);
    else
      out += ',';
  }
  if (moments) {
    const DsdMoments m =
        r.normalised ? DsdMoments::Of(r.classes.data(), r.geometry.count, r.deltaD) : DsdMoments{};
    for (const auto *v : {&m.nt, &m.w, &m.z, &m.dm, &m.d0, &m.nw, &m.mu, &m.lambda})
      AppendOptional(out, *v);
  }
  out += '\n';
}

void AddDsdOptions(CLI::App &command, DsdOptions &o) {
  CLI::App *cmd = &command;
  cmd->add_option("FILE", o.files,
                  "hydrometeor files, taken in the order of their first main header's time")
      ->required();
  cmd->add_option("--mode", o.mode, "integration by time, rain, objects, or the full window")
      ->check(CLI::IsMember({"time", "rain", "objects", "full"}));
  cmd->add_option("--interval", o.interval,
                  "seconds (time, default 60), mm of rain (rain, default 0.05) or particles "
                  "(objects, default 500)");
  cmd->add_option("--delta-d", o.deltaD, "class width in mm: 0.05, 0.1, 0.15, 0.2, 0.25 (default)");
  cmd->add_option("--scale", o.scale, "diameter axis of 10, 20 or 50 mm: scale 1, 2 or 5")
      ->check(CLI::IsMember({1, 2, 5}));
  cmd->add_flag("--moments", o.moments, "append Nt, W, Z, Dm, D0, Nw, mu and lambda");
  cmd->add_option("--netcdf", o.netcdf,
                  "write the series as a CF netCDF-4 file instead of CSV on standard output");
  cmd->add_option("--attr", o.attrs,
                  "KEY=VALUE: a global attribute of the netCDF file "
                  "(repeatable; institution, title, ...)");
  cmd->add_option("--jobs", o.jobs, "files read at the same time (default: the number of cores)")
      ->default_val(ParallelFiles<int>::DefaultJobs())
      ->check(CLI::Range(1, 1024));
  AddDocumentOptions(*cmd, o.document, false);
}

// The progress line on a terminal: file i of n, percent of the file, particles per second.
class ProgressLine {
public:
  ProgressLine() : shown(isatty(STDERR_FILENO) == 1) {}
  void Update(size_t file, size_t files, double fraction, int64_t particles, bool force = false) {
    if (!shown)
      return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last < std::chrono::milliseconds(200))
      return;
    last = now;
    const double seconds = std::chrono::duration<double>(now - begin).count();
    std::fprintf(stderr, "\rfile %zu of %zu, %3.0f %%, %.0f particles/s\033[K", file, files,
                 100 * fraction, seconds > 0 ? double(particles) / seconds : 0.0);
    std::fflush(stderr);
    dirty = true;
  }
  // Clears the line before a message or at the end.
  void Clear() {
    if (shown && dirty)
      std::fputs("\r\033[K", stderr);
    dirty = false;
  }

private:
  bool shown;
  bool dirty = false;
  std::chrono::steady_clock::time_point begin = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last{};
};

class LineMessages : public UserMessages {
public:
  explicit LineMessages(ProgressLine &progress) : progress(progress) {}
  void Show(const std::string &text) override {
    progress.Clear();
    std::cerr << text << "\n";
  }

private:
  ProgressLine &progress;
};

// What the options make of the command, checked before any file is read.
struct DsdPlan {
  FilterRecord filter;
  IntegrationChoice integration;
  std::vector<std::pair<std::string, std::string>> attributes; // of the netCDF product
  OutputGuard guard; // every file named, also one that will not open
};

// The time window and filter; without an end the window is the whole day as the settings give
// it.
bool PlanWindow(const DsdOptions &o, FilterRecord &filter, std::string &error) {
  if (!o.document.BuildFilter(filter, error))
    return false;
  if (o.document.to.empty()) {
    filter.endTime = TimeOfDay{};
    filter.endTime.hour = 23;
    filter.endTime.minute = 59;
    filter.endTime.second = 59;
  }
  return true;
}

bool PlanAttributes(const DsdOptions &o, DsdPlan &plan, std::string &error) {
  for (const std::string &a : o.attrs) {
    const size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0) {
      error = "--attr: expected KEY=VALUE, got \"" + a + "\"";
      return false;
    }
    if (DsdNetcdfWriter::IsReservedAttribute(a.substr(0, eq))) {
      error = "--attr: " + a.substr(0, eq) + " is the product's own and cannot be set";
      return false;
    }
    plan.attributes.emplace_back(a.substr(0, eq), a.substr(eq + 1));
  }
  if (o.netcdf.empty() && !plan.attributes.empty()) {
    error = "--attr needs --netcdf";
    return false;
  }
  return true;
}

bool PlanOutput(const DsdOptions &o, DsdPlan &plan, std::string &error) {
  for (const std::string &file : o.files)
    plan.guard.AddDataFile(file);
  if (o.netcdf.empty())
    return true;
  if (const std::string refusal = plan.guard.Check(o.netcdf); !refusal.empty()) {
    error = "Could not write " + o.netcdf + ": " + refusal;
    return false;
  }
  return true;
}

// What one file of the series gives the output, made on whichever thread read the file.
struct FileRuns {
  bool opened = false;
  bool failed = false;   // the series ended in a failure, reported among the messages
  int64_t particles = 0; // taken into intervals
  std::string csvHeader;
  std::vector<std::string> csvRows; // without the run number
  std::optional<DsdProductLayout> layout;
  std::vector<DsdProductRow> rows;
  // Each message with the number of rows made before it; -1 before the output could begin.
  std::vector<std::pair<long, std::string>> messages;

  size_t RowCount() const { return layout ? rows.size() : csvRows.size(); }
};

// Keeps a file's messages until its rows reach the output, so that they come in the order of
// a serial run.
class FileMessages : public UserMessages {
public:
  FileMessages(FileRuns &runs, bool &began) : runs(runs), began(began) {}
  void Show(const std::string &text) override {
    runs.messages.emplace_back(began ? long(runs.RowCount()) : -1L, text);
  }

private:
  FileRuns &runs;
  const bool &began;
};

// Where the Runs go: CSV rows on standard output or the netCDF product.
class DsdOutput {
public:
  virtual ~DsdOutput() = default;
  // Once, with the first file that opened. False with `error` set: nothing can be written.
  virtual bool Begin(const FileRuns &first, std::string &error) = 0;
  // Row `k` of a file. False with `error` set: the output is lost and the command ends.
  virtual bool Add(const FileRuns &file, size_t k, std::string &error) = 0;
  virtual bool End(std::string &error) = 0;
};

class CsvOutput : public DsdOutput {
public:
  bool Begin(const FileRuns &first, std::string &) override {
    out = first.csvHeader;
    return true;
  }
  bool Add(const FileRuns &file, size_t k, std::string &) override {
    out += std::to_string(++run) + ',' + file.csvRows[k];
    cli::FlushIfLarge(out);
    return true;
  }
  bool End(std::string &) override {
    cli::Flush(out);
    return true;
  }

private:
  std::string out;
  int run = 0; // numbered through the series
};

// The netCDF library is not safe for threads: only the thread that hands out results writes.
class NetcdfOutput : public DsdOutput {
public:
  NetcdfOutput(const DsdOptions &o, const DsdPlan &plan) : o(o), plan(plan) {}
  bool Begin(const FileRuns &first, std::string &error) override {
    DsdProductLayout layout = *first.layout;
    for (const auto &[key, value] : plan.attributes)
      layout.attributes.emplace_back(key, value);
    return writer.Create(o.netcdf, layout, plan.guard, &error);
  }
  bool Add(const FileRuns &file, size_t k, std::string &error) override {
    return writer.Append(file.rows[k], &error);
  }
  bool End(std::string &error) override { return writer.Finish(&error); }

private:
  const DsdOptions &o;
  const DsdPlan &plan;
  DsdNetcdfWriter writer;
};

// The files of the series, each read by its own document (on `--jobs` threads), their Runs
// into one output in the series' order. Every file ends its own last interval: an interval
// never spans two files, however many threads read them.
class DsdSeriesCommand {
public:
  DsdSeriesCommand(const DsdOptions &o, const DsdPlan &plan) : o(o), plan(plan) {
    if (o.netcdf.empty())
      output = std::make_unique<CsvOutput>();
    else
      output = std::make_unique<NetcdfOutput>(o, plan);
  }

  // The exit status.
  int Run() {
    // The files in the order of their first main header's time, each once; one that does not
    // open or overlaps another is reported and left out.
    const SeriesFiles series = SeriesFiles::Order(o.files, messages);
    files = series.files;
    status = series.complete ? 0 : EXIT_STOPPED;
    history = UtcStamp(std::time(nullptr)) + " " + o.commandLine;
    // One job reads on this thread and may show its progress inside a file.
    const bool live = o.jobs <= 1 || files.size() <= 1;
    size_t opened = 0;
    int result = -1;
    ParallelFiles<FileRuns>::Run(
        files.size(), o.jobs, [&](size_t i) { return ReadFile(i, live); },
        [&](size_t i, FileRuns &runs) {
          result = Merge(i, runs, opened);
          return result < 0;
        });
    if (result >= 0)
      return result;
    progress.Clear();
    if (opened == 0)
      return EXIT_UNUSABLE;
    if (!output->End(error)) {
      std::cerr << error << "\n";
      return EXIT_STOPPED;
    }
    return status;
  }

private:
  // A document on one file of the series with the command's window, filter and integration.
  std::unique_ptr<CPluvicamDoc> Open(const std::string &file, UserMessages &fileMessages) {
    auto doc = cli::OpenDocument(
        file, cli::DocumentSetup{.filter = plan.filter, .nameFileInFailure = true}, fileMessages);
    if (!doc)
      return nullptr;
    doc->ResetIntegration(IntegrationKind::Dsd);
    plan.integration.ApplyTo(doc->GetIntegrationSettings(IntegrationKind::Dsd));
    doc->SetViewFactor(uint16_t(o.scale));
    return doc;
  }

  // The Runs of the series' file `index`, made ready for the output; the document is closed
  // before they are handed on.
  FileRuns ReadFile(size_t index, bool live) {
    FileRuns runs;
    bool began = false;
    FileMessages fileMessages(runs, began);
    auto doc = Open(files[index], fileMessages);
    if (!doc)
      return runs;
    runs.opened = true;
    const IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::Dsd);
    if (o.netcdf.empty())
      runs.csvHeader = Header(dsd::GeometryFor(s.deltaD, o.scale), s.deltaD, o.moments);
    else
      runs.layout = MakeDsdProductLayout(*doc, o.moments, history);
    began = true;

    DsdSeriesRun series(*doc);
    series.onBadRecord = [&](int32_t pos, const std::string &message) {
      fileMessages.Show(std::to_string(pos) + ": " + message);
    };
    series.onInterval = [&](const DsdInterval &interval) {
      if (runs.layout) {
        runs.rows.push_back(MakeDsdProductRow(*doc, interval, o.moments));
      } else {
        runs.csvRows.emplace_back();
        AppendRow(runs.csvRows.back(), *doc, interval, o.moments);
      }
    };
    series.Start();
    while (series.Step(4096))
      if (live)
        progress.Update(index + 1, files.size(), series.Fraction(), particles + series.Particles());
    if (series.GetStatus() == DsdSeriesRun::Failed) {
      fileMessages.Show((files.size() > 1 ? files[index] + ": " : std::string()) +
                        std::to_string(series.Position()) + ": " + series.Message());
      runs.failed = true;
    }
    runs.particles = series.Particles();
    return runs;
  }

  // Hands file `index`'s Runs and messages to the output as a serial run would have; -1 to go
  // on, otherwise the command's exit status.
  int Merge(size_t index, const FileRuns &runs, size_t &opened) {
    size_t m = 0;
    auto showUpTo = [&](long rows) {
      for (; m < runs.messages.size() && runs.messages[m].first <= rows; ++m)
        messages.Show(runs.messages[m].second);
    };
    showUpTo(-1);
    if (!runs.opened) {
      status = EXIT_STOPPED;
      return -1;
    }
    if (opened++ == 0 && !output->Begin(runs, error)) {
      messages.Show(error);
      return EXIT_UNUSABLE;
    }
    for (size_t k = 0; k < runs.RowCount(); ++k) {
      showUpTo(long(k));
      if (!output->Add(runs, k, error)) {
        messages.Show(error);
        return EXIT_STOPPED;
      }
    }
    showUpTo(long(runs.RowCount()));
    if (runs.failed)
      status = EXIT_STOPPED;
    particles += runs.particles;
    progress.Update(index + 1, files.size(), 1.0, particles, true);
    return -1;
  }

  const DsdOptions &o;
  const DsdPlan &plan;
  ProgressLine progress;
  LineMessages messages{progress};
  std::unique_ptr<DsdOutput> output;
  std::vector<std::string> files;
  std::string history; // of the product, one for the whole series
  int status = 0;
  int64_t particles = 0; // of the files handed to the output so far
  std::string error;
};

int RunDsdCommand(const DsdOptions &o) {
  DsdPlan plan;
  std::string error;
  if (!PlanWindow(o, plan.filter, error) || !ParseIntegration(o, plan.integration, error) ||
      !PlanAttributes(o, plan, error) || !PlanOutput(o, plan, error)) {
    std::cerr << error << "\n";
    return EXIT_UNUSABLE;
  }
  return DsdSeriesCommand(o, plan).Run();
}

} // namespace

void AddDsdCommand(CommandRegistry &registry) {
  auto options = std::make_shared<DsdOptions>();
  CLI::App &cmd = registry.Add(
      "dsd", "the drop size distribution N(D), one CSV row per Run of the enlarged diagram",
      [options, &registry] {
        options->commandLine = registry.CommandLine();
        return RunDsdCommand(*options);
      });
  AddDsdOptions(cmd, *options);
}
