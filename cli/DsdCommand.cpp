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

// Where the Runs go: CSV rows on standard output or the netCDF product.
class DsdOutput {
public:
  virtual ~DsdOutput() = default;
  // Once, with the first file's document. False with `error` set: nothing can be written.
  virtual bool Begin(CPluvicamDoc &doc, std::string &error) = 0;
  // One Run. False with `error` set: the output is lost and the command ends.
  virtual bool Add(CPluvicamDoc &doc, const DsdInterval &interval, std::string &error) = 0;
  virtual bool End(std::string &error) = 0;
};

class CsvOutput : public DsdOutput {
public:
  explicit CsvOutput(const DsdOptions &o) : o(o) {}
  bool Begin(CPluvicamDoc &doc, std::string &) override {
    const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
    removed = doc.GetFilter().velocityQc.On();
    out = diagramcsv::DsdHeader(dsd::GeometryFor(s.deltaD, o.scale), s.deltaD, o.moments,
                                removed);
    return true;
  }
  bool Add(CPluvicamDoc &doc, const DsdInterval &interval, std::string &) override {
    diagramcsv::AppendDsdRow(out, ++run, doc, interval, o.moments, removed);
    cli::FlushIfLarge(out);
    return true;
  }
  bool End(std::string &) override {
    cli::Flush(out);
    return true;
  }

private:
  const DsdOptions &o;
  std::string out;
  int run = 0; // numbered through the series
  bool removed = false;
};

// The product file, or its image in `memory` when that is given.
class NetcdfOutput : public DsdOutput {
public:
  NetcdfOutput(const DsdOptions &o, const DsdPlan &plan, DsdInMemory *memory)
      : o(o), plan(plan), memory(memory) {}
  bool Begin(CPluvicamDoc &doc, std::string &error) override {
    layout =
        MakeDsdProductLayout(doc, o.moments, UtcStamp(std::time(nullptr)) + " " + o.commandLine);
    for (const auto &[key, value] : plan.attributes)
      layout.attributes.emplace_back(key, value);
    return memory || writer.Create(o.netcdf, layout, plan.guard, &error);
  }
  bool Add(CPluvicamDoc &doc, const DsdInterval &interval, std::string &error) override {
    if (!memory)
      return writer.Append(MakeDsdProductRow(doc, interval, o.moments), &error);
    rows.push_back(MakeDsdProductRow(doc, interval, o.moments));
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

// The files of the series one after the other, Run after Run into one output.
class DsdSeriesCommand {
public:
  // With `memory` the product goes there and every message to `caller`, without progress.
  DsdSeriesCommand(const DsdOptions &o, const DsdPlan &plan, DsdInMemory *memory = nullptr,
                   UserMessages *caller = nullptr)
      : o(o), plan(plan), progress(memory == nullptr), messages(progress, caller) {
    if (o.netcdf.empty() && !memory)
      output = std::make_unique<CsvOutput>(o);
    else
      output = std::make_unique<NetcdfOutput>(o, plan, memory);
  }

  // The exit status.
  int Run() {
    // The files in the order of their first main header's time, each once; one that does not
    // open or overlaps another is reported and left out.
    const SeriesFiles series = SeriesFiles::Order(o.files, messages);
    files = series.files;
    status = series.complete ? 0 : EXIT_STOPPED;
    size_t opened = 0;
    for (size_t i = 0; i < files.size(); ++i) {
      auto doc = Open(files[i]);
      if (!doc) {
        status = EXIT_STOPPED;
        continue;
      }
      if (opened++ == 0 && !output->Begin(*doc, error)) {
        messages.Show(error);
        return EXIT_UNUSABLE;
      }
      if (!Read(*doc, i)) {
        messages.Show(error);
        return EXIT_STOPPED;
      }
    }
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
  std::unique_ptr<CPluvicamDoc> Open(const std::string &file) {
    auto doc = cli::OpenDocument(
        file, cli::DocumentSetup{.filter = plan.filter, .nameFileInFailure = true}, messages);
    if (!doc)
      return nullptr;
    doc->ResetIntegration(IntegrationKind::Dsd);
    plan.integration.ApplyTo(doc->GetIntegrationSettings(IntegrationKind::Dsd));
    doc->SetViewFactor(uint16_t(o.scale));
    return doc;
  }

  // The Runs of the series' file `index`. False when the output failed, with `error` set.
  bool Read(CPluvicamDoc &doc, size_t index) {
    DsdSeriesRun series(doc);
    series.onBadRecord = [&](int32_t pos, const std::string &message) {
      messages.Show(std::to_string(pos) + ": " + message);
    };
    bool outputFailed = false;
    series.onInterval = [&](const DsdInterval &interval) {
      outputFailed = outputFailed || !output->Add(doc, interval, error);
    };
    series.Start();
    while (series.Step(4096) && !outputFailed)
      progress.Update(index + 1, files.size(), series.Fraction(), particles + series.Particles());
    if (outputFailed)
      return false;
    if (series.GetStatus() == DsdSeriesRun::Failed) {
      messages.Show((files.size() > 1 ? files[index] + ": " : std::string()) +
                    std::to_string(series.Position()) + ": " + series.Message());
      status = EXIT_STOPPED;
    }
    particles += series.Particles();
    progress.Update(index + 1, files.size(), 1.0, particles, true);
    return true;
  }

  const DsdOptions &o;
  const DsdPlan &plan;
  ProgressLine progress;
  LineMessages messages;
  std::unique_ptr<DsdOutput> output;
  std::vector<std::string> files;
  int status = 0;
  int64_t particles = 0; // of the files read so far
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
