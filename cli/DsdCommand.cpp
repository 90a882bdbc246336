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

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
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
  DocumentOptions document;
};

// Sets the document's `dsdIntegration` from the options, with the limits of the integration
// dialog. False with `error` set.
bool ApplySettings(const DsdOptions &o, IntegrationSettings &s, std::string &error) {
  if (o.mode == "full")
    s.mode = IntegrationMode::FullTimeRange;
  else if (o.mode == "rain")
    s.mode = IntegrationMode::Rain;
  else if (o.mode == "objects")
    s.mode = IntegrationMode::Objects;
  else
    s.mode = IntegrationMode::Time;

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
    s.deltaD = float(d);
  }

  if (o.interval.empty())
    return true;
  double v = 0;
  if (!ParseNumber(o.interval, v)) {
    error = "--interval: expected a number, got \"" + o.interval + "\"";
    return false;
  }
  switch (s.mode) {
  case IntegrationMode::FullTimeRange:
    error = "--interval: the full time range has no interval";
    return false;
  case IntegrationMode::Rain:
    if (float(v) < 0.05f || float(v) > 5.0f) {
      error = "--interval: Rain Integration Interval must be between 0.05 and 5 mm";
      return false;
    }
    s.rainInterval = float(v);
    return true;
  case IntegrationMode::Time:
    if (float(v) < 15.0f || float(v) > 43200.0f) {
      error = "--interval: Time Integration Interval must be between 15 and 43200 sec";
      return false;
    }
    s.timeInterval = float(v);
    return true;
  default:
    if (v != std::trunc(v) || v < 1 || v > 999999) {
      error = "--interval: NrDrops must be a whole number between 1 and 999999";
      return false;
    }
    s.dropCount = int32_t(v);
    return true;
  }
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

void AppendRow(std::string &out, int run, CPluvicamDoc &doc, const DsdInterval &r, bool moments) {
  const IntegrationState &st = *doc.GetIntegrationState();
  const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  char text[128];
  std::snprintf(text, sizeof text, "%d,%.17g,%.17g,", run, st.startTim, st.endTim);
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
  AddDocumentOptions(*cmd, o.document, false);
}

// A document on one file with the command's window, filter and integration settings.
std::unique_ptr<CPluvicamDoc> OpenDocument(const DsdOptions &o, const FilterRecord &filter,
                                           UserMessages &messages, const std::string &file,
                                           std::string &error) {
  auto doc = std::make_unique<CPluvicamDoc>(&messages);
  doc->SetFilterSettings(filter);
  doc->ResetIntegration(IntegrationKind::Dsd);
  if (!ApplySettings(o, doc->GetIntegrationSettings(IntegrationKind::Dsd), error))
    return nullptr;
  if (!doc->OpenHydFile(file, &error, true))
    return nullptr;
  doc->SetViewFactor(uint16_t(o.scale));
  return doc;
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

int RunDsdCommand(const DsdOptions &o) {
  FilterRecord filter;
  std::string error;
  if (!o.document.BuildFilter(filter, error)) {
    std::cerr << error << "\n";
    return EXIT_UNUSABLE;
  }
  // Without an end the window is the whole day as the settings give it.
  if (o.document.to.empty()) {
    filter.endTime = TimeOfDay{};
    filter.endTime.hour = 23;
    filter.endTime.minute = 59;
    filter.endTime.second = 59;
  }
  {
    IntegrationSettings check;
    if (!ApplySettings(o, check, error)) {
      std::cerr << error << "\n";
      return EXIT_UNUSABLE;
    }
  }
  std::vector<std::pair<std::string, std::string>> attrs;
  for (const std::string &a : o.attrs) {
    const size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0) {
      std::cerr << "--attr: expected KEY=VALUE, got \"" << a << "\"\n";
      return EXIT_UNUSABLE;
    }
    if (DsdNetcdfWriter::IsReservedAttribute(a.substr(0, eq))) {
      std::cerr << "--attr: " << a.substr(0, eq) << " is the product's own and cannot be set\n";
      return EXIT_UNUSABLE;
    }
    attrs.emplace_back(a.substr(0, eq), a.substr(eq + 1));
  }
  if (o.netcdf.empty() && !attrs.empty()) {
    std::cerr << "--attr needs --netcdf\n";
    return EXIT_UNUSABLE;
  }
  // Every file named is kept safe, also one that will not open.
  OutputGuard guard;
  for (const std::string &file : o.files)
    guard.AddDataFile(file);
  if (!o.netcdf.empty()) {
    if (const std::string refusal = guard.Check(o.netcdf); !refusal.empty()) {
      std::cerr << "Could not write " << o.netcdf << ": " << refusal << "\n";
      return EXIT_UNUSABLE;
    }
  }

  ProgressLine progress;
  LineMessages messages(progress);
  int status = 0;

  // The files in the order of their first main header's time, each once; one that does not
  // open or overlaps another is reported and left out.
  const SeriesFiles ordered = SeriesFiles::Order(o.files, messages);
  if (!ordered.complete)
    status = EXIT_STOPPED;
  const std::vector<std::string> &inputs = ordered.files;

  DsdNetcdfWriter writer;
  std::string out;
  bool started = false;
  int run = 0;
  size_t opened = 0;
  int64_t before = 0; // particles of the files already read
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string &file = inputs[i];
    auto doc = OpenDocument(o, filter, messages, file, error);
    if (!doc) {
      messages.Show(std::string(file).append(": ").append(error));
      status = EXIT_STOPPED;
      continue;
    }
    ++opened;
    if (!started) {
      started = true;
      if (!o.netcdf.empty()) {
        DsdProductLayout layout = MakeDsdProductLayout(
            *doc, o.moments, UtcStamp(std::time(nullptr)) + " " + o.commandLine);
        for (const auto &[key, value] : attrs)
          layout.attributes.emplace_back(key, value);
        if (!writer.Create(o.netcdf, layout, guard, &error)) {
          messages.Show(error);
          return EXIT_UNUSABLE;
        }
      } else {
        const IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::Dsd);
        out = Header(dsd::GeometryFor(s.deltaD, o.scale), s.deltaD, o.moments);
      }
    }

    DsdSeriesRun series(*doc);
    series.onBadRecord = [&](int32_t pos, const std::string &message) {
      messages.Show(std::to_string(pos) + ": " + message);
    };
    bool writeFailed = false;
    series.onInterval = [&](const DsdInterval &r) {
      ++run;
      if (!o.netcdf.empty()) {
        if (!writeFailed && !writer.Append(MakeDsdProductRow(*doc, r, o.moments), &error))
          writeFailed = true;
        return;
      }
      AppendRow(out, run, *doc, r, o.moments);
      if (out.size() > (1 << 16)) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
      }
    };
    series.Start();
    while (series.Step(4096) && !writeFailed)
      progress.Update(i + 1, inputs.size(), series.Fraction(), before + series.Particles());
    if (writeFailed) {
      messages.Show(error);
      return EXIT_STOPPED;
    }
    if (series.GetStatus() == DsdSeriesRun::Failed) {
      messages.Show((inputs.size() > 1 ? file + ": " : std::string()) +
                    std::to_string(series.Position()) + ": " + series.Message());
      status = EXIT_STOPPED;
    }
    before += series.Particles();
    progress.Update(i + 1, inputs.size(), 1.0, before, true);
  }
  progress.Clear();
  if (opened == 0)
    return EXIT_UNUSABLE;
  if (!o.netcdf.empty()) {
    if (!writer.Finish(&error)) {
      std::cerr << error << "\n";
      return EXIT_STOPPED;
    }
  } else {
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  return status;
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
