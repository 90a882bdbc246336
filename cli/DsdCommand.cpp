// pluvicam-cli dsd: the enlarged drop size distribution, Run after Run to the end of the data,
// one CSV row per Run, or one netCDF file; several files form one series in the order of their
// first main header's time.
#include "DsdCommand.h"

#include "CliCommon.h"
#include "CommandRegistry.h"
#include "DocumentOptions.h"

#include "ParticleCsv.h"
#include "ProgressLine.h"
#include "SeriesFiles.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DiagramCsv.h"
#include "statistics/DsdIntegration.h"
#include "statistics/DsdNetcdfWriter.h"
#include "statistics/DsdProduct.h"
#include "statistics/DsdSeriesRun.h"
#include "statistics/ParallelFiles.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
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
  AddJobsOption(*cmd, o.jobs);
  AddDocumentOptions(*cmd, o.document, false);
}

// Standard error below the progress line, or the caller's messages when it has its own.
class LineMessages : public UserMessages {
public:
  LineMessages(ProgressLine &progress, UserMessages *caller) : progress(progress), caller(caller) {}
  void Show(const std::string &text) override {
    if (caller)
      return caller->Show(text);
    progress.Clear();
    std::cerr << text << "\n";
  }

private:
  ProgressLine &progress;
  UserMessages *caller;
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

// The product file, or its image in `memory` when that is given. The netCDF library is not safe
// for threads: only the thread that hands out results writes, and an image in memory is made
// under the caller's lock at the end.
class NetcdfOutput : public DsdOutput {
public:
  NetcdfOutput(const DsdOptions &o, const DsdPlan &plan, DsdInMemory *memory)
      : o(o), plan(plan), memory(memory) {}
  bool Begin(const FileRuns &first, std::string &error) override {
    layout = *first.layout;
    for (const auto &[key, value] : plan.attributes)
      layout.attributes.emplace_back(key, value);
    return memory || writer.Create(o.netcdf, layout, plan.guard, &error);
  }
  bool Add(const FileRuns &file, size_t k, std::string &error) override {
    if (!memory)
      return writer.Append(file.rows[k], &error);
    rows.push_back(file.rows[k]);
    return true;
  }
  bool End(std::string &error) override {
    if (!memory)
      return writer.Finish(&error);
    bool written = false;
    memory->exclusive([&] {
      written = writer.CreateInMemory(layout, &error);
      for (std::size_t i = 0; written && i < rows.size(); ++i)
        written = writer.Append(rows[i], &error);
      written = written && writer.FinishInMemory(memory->product, &error);
      // The library's state goes with the lock.
      writer.Abandon();
    });
    return written;
  }

private:
  const DsdOptions &o;
  const DsdPlan &plan;
  DsdInMemory *memory;
  DsdProductLayout layout;
  std::vector<DsdProductRow> rows; // of a product in memory, until the end
  DsdNetcdfWriter writer;
};

// The files of the series, each read by its own document (on `--jobs` threads), their Runs
// into one output in the series' order. Every file ends its own last interval: an interval
// never spans two files, however many threads read them.
class DsdSeriesCommand {
  // A file read on the calling thread hands its Runs on in batches of this many.
  static constexpr size_t HAND_OVER_ROWS = 256;

public:
  // With `memory` the product goes there and every message to `caller`, without progress.
  DsdSeriesCommand(const DsdOptions &o, const DsdPlan &plan, DsdInMemory *memory = nullptr,
                   UserMessages *caller = nullptr)
      : o(o), plan(plan), product(!o.netcdf.empty() || memory), progress(memory == nullptr),
        messages(progress, caller) {
    if (product)
      output = std::make_unique<NetcdfOutput>(o, plan, memory);
    else
      output = std::make_unique<CsvOutput>();
  }

  // The exit status.
  int Run() {
    // The files in the order of their first main header's time, each once; one that does not
    // open or overlaps another is reported and left out.
    const SeriesFiles series = SeriesFiles::Order(o.files, messages);
    files = series.files;
    status = series.complete ? 0 : EXIT_STOPPED;
    history = UtcStamp(std::time(nullptr)) + " " + o.commandLine;
    // One job reads on this thread: it shows its progress inside a file and hands its Runs on
    // as they come, so that a long file is not held in memory and the product is begun at once.
    const bool live = o.jobs <= 1 || files.size() <= 1;
    ParallelFiles<FileRuns>::Run(
        files.size(), live ? 1 : o.jobs, [&](size_t i) { return ReadFile(i, live); },
        [&](size_t i, FileRuns &runs) {
          if (result < 0)
            result = Merge(i, runs, true);
          return result < 0;
        });
    if (result >= 0)
      return result;
    progress.Clear();
    if (opened == 0)
      return EXIT_UNUSABLE;
    if (!output->End(error)) {
      messages.Show(error);
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
    // With the velocity check on, the CSV counts what it removed.
    const bool removed = doc->GetFilter().velocityQc.On();
    if (product)
      runs.layout = MakeDsdProductLayout(*doc, o.moments, history);
    else
      runs.csvHeader =
          diagramcsv::DsdHeader(dsd::GeometryFor(s.deltaD, o.scale), s.deltaD, o.moments, removed);
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
        diagramcsv::AppendDsdRowValues(runs.csvRows.back(), *doc, interval, o.moments, removed);
      }
      if (live && runs.RowCount() >= HAND_OVER_ROWS && result < 0)
        result = Merge(index, runs, false);
    };
    series.Start();
    while (series.Step(4096) && result < 0)
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
  // on, otherwise the command's exit status. Before the `last` hand-over of a file the rows
  // handed on and the messages shown are dropped and the file goes on reading.
  int Merge(size_t index, FileRuns &runs, bool last) {
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
    const size_t rows = runs.RowCount();
    for (size_t k = 0; k < rows; ++k) {
      showUpTo(long(k));
      if (!output->Add(runs, k, error)) {
        messages.Show(error);
        return EXIT_STOPPED;
      }
    }
    if (!last) {
      runs.messages.erase(runs.messages.begin(), runs.messages.begin() + long(m));
      for (auto &message : runs.messages)
        message.first -= long(rows);
      runs.rows.clear();
      runs.csvRows.clear();
      return -1;
    }
    showUpTo(long(rows));
    if (runs.failed)
      status = EXIT_STOPPED;
    particles += runs.particles;
    progress.Update(index + 1, files.size(), 1.0, particles, true);
    return -1;
  }

  const DsdOptions &o;
  const DsdPlan &plan;
  const bool product; // netCDF, to a file or into memory; CSV otherwise
  ProgressLine progress;
  LineMessages messages;
  std::unique_ptr<DsdOutput> output;
  std::vector<std::string> files;
  std::string history; // of the product, one for the whole series
  size_t opened = 0;   // hand-overs to the output, the first of which begins it
  int result = -1;     // the exit status once a hand-over has ended the command
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

int RunDsdInMemory(const std::vector<std::string> &arguments, const std::string &history,
                   DsdInMemory &target, UserMessages &messages) {
  DsdOptions o;
  CLI::App command{"dsd"};
  AddDsdOptions(command, o);
  try {
    command.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
  } catch (const CLI::ParseError &e) {
    throw std::invalid_argument(e.what());
  }
  if (!o.netcdf.empty())
    throw std::invalid_argument("--netcdf: the product stays in memory here");
  o.commandLine = history;
  DsdPlan plan;
  std::string error;
  if (!PlanWindow(o, plan.filter, error) || !ParseIntegration(o, plan.integration, error) ||
      !PlanAttributes(o, plan, error) || !PlanOutput(o, plan, error))
    throw std::invalid_argument(error);
  return DsdSeriesCommand(o, plan, &target, &messages).Run();
}

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
