// pluvicam-cli rainrate: the enlarged rain rate diagram's run as CSV, the particles' segments
// first, then the gauge's.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "document/FilterSettings.h"
#include "statistics/DiagramCsv.h"
#include "statistics/IntervalReader.h"
#include "statistics/RainRateAxis.h"
#include "statistics/RainRateRun.h"
#include "statistics/TipCurve.h"
#include "statistics/TipFile.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

struct RainRateOptions {
  std::string file;
  std::string mode;     // "rain" or "time"; empty: the document's default
  std::string interval; // mm (rain) or s (time); empty: the document's default
  float tipSize = -1;   // mm per tip; below 0: the desktop's first-start value
  bool noGauge = false;
  DocumentOptions document;
};

// The integration dialog's limits and texts.
bool Settings(const RainRateOptions &o, IntegrationSettings &r, std::string &error) {
  if (o.mode == "rain")
    r.mode = IntegrationMode::Rain;
  else if (o.mode == "time")
    r.mode = IntegrationMode::Time;
  if (o.interval.empty())
    return true;
  char *end = nullptr;
  const double value = std::strtod(o.interval.c_str(), &end);
  if (end != o.interval.c_str() + o.interval.size() || !std::isfinite(value)) {
    error = "--interval: expected a number, got \"" + o.interval + "\"";
    return false;
  }
  const float v = float(value);
  if (r.mode == IntegrationMode::Rain) {
    if (v < 0.05f || v > 5.0f) {
      error = "Rain Integration Interval\nmust be between\n0.05 and 5 mm !!!";
      return false;
    }
    r.rainInterval = v;
  } else {
    if (v < 15.0f || v > 43200.0f) {
      error = "Time Integration Interval\nmust be between\n15 and 43200 sec !!!";
      return false;
    }
    r.timeInterval = v;
  }
  return true;
}

int RainRateCommand(const RainRateOptions &options) {
  const std::string &file = options.file;
  cli::StderrMessages messages;
  // The diagram's integration starts from the document's defaults; checked before any open.
  IntegrationSettings r;
  std::string error;
  cli::DocumentSetup setup;
  if (!Settings(options, r, error) || !options.document.BuildFilter(setup.filter, error)) {
    messages.Show(error);
    return cli::EXIT_UNUSABLE;
  }
  const FilterRecord &filter = setup.filter;
  const auto opened = cli::OpenDocument(file, setup, messages);
  if (!opened)
    return cli::EXIT_UNUSABLE;
  CPluvicamDoc &doc = *opened;

  RainRateAxis axis;
  axis.Layout(filter.startTime, filter.endTime);
  RainRateRun run(r.mode, r.rainInterval, r.timeInterval);
  int exitStatus = 0;
  // A record whose computation failed is passed over, as every other diagram does; an error
  // ends the run.
  IntervalReader reader(doc);
  for (bool reading = true; reading;) {
    switch (reader.Next()) {
    case IntervalReader::Particle: {
      const HydRecord &h = reader.Record();
      run.Add(h.tim, reader.LineFrequency(), RainRateRun::RainOf(h.volume, h.area));
      break;
    }
    case IntervalReader::Nothing:
      break;
    case IntervalReader::BadRecord:
      std::cerr << reader.Position() << ": " << reader.Message() << "\n";
      break;
    case IntervalReader::DataEnd:
      // An end inside a record is a truncated file, not the end of the data.
      if (reader.Truncated()) {
        std::cerr << reader.Message() << "\n";
        exitStatus = cli::EXIT_STOPPED;
      }
      reading = false;
      break;
    case IntervalReader::Failure:
      std::cerr << reader.Message() << "\n";
      exitStatus = cli::EXIT_STOPPED;
      reading = false;
      break;
    }
  }

  std::string out = diagramcsv::RAIN_RATE_COLUMNS;
  for (const RateSegment &s : run.Segments())
    diagramcsv::AppendRainRateRow(out, "particles", s);
  float gauge = -1.0f;
  if (!options.noGauge) {
    TipFileResult tips;
    std::string message;
    if (!ReadTipFile(TipFilePath(file), tips, &message)) {
      std::cerr << message << "\n";
    } else {
      if (const std::string skipped = BadTipLinesNote(tips); !skipped.empty())
        std::cerr << skipped << "\n";
      const float tipSize =
          options.tipSize >= 0 ? options.tipSize : FilterSettings::STORED_TIP_SIZE;
      const TipCurve curve = ComputeTipCurve(tips.tips, axis, tipSize, filter.startTime.Seconds(),
                                             filter.endTime.Seconds());
      for (const RateSegment &s : curve.segments)
        diagramcsv::AppendRainRateRow(out, "gauge", s);
      if (curve.found)
        gauge = curve.gaugeTotal;
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  char totals[96];
  if (gauge != -1.0f)
    std::snprintf(totals, sizeof totals, "rain: %.4f mm  gauge: %.4f mm\n", double(run.Total()),
                  double(gauge));
  else
    std::snprintf(totals, sizeof totals, "rain: %.4f mm  gauge: none\n", double(run.Total()));
  std::cerr << totals;
  return exitStatus;
}

} // namespace

void AddRainRateCommand(CommandRegistry &registry) {
  auto o = std::make_shared<RainRateOptions>();
  CLI::App &command = registry.Add(
      "rainrate", "rain rate versus time as the enlarged diagram draws it, and the gauge's",
      [o] { return RainRateCommand(*o); });
  command.add_option("FILE", o->file, "hydrometeor file")->required();
  command.add_option("--mode", o->mode, "rain: a point per rain amount; time: fixed intervals")
      ->check(CLI::IsMember({"rain", "time"}));
  command.add_option("--interval", o->interval,
                     "rain amount per point in mm (0.05-5) or interval in s (15-43200)");
  command
      .add_option("--tip-size", o->tipSize,
                  "rain per gauge tip, mm (default 0.2, as the desktop starts)")
      ->check(CLI::Validator(
          [](std::string &text) {
            // nan, inf and 1e39 (inf as a float) would pass a positive-number check.
            double value = 0;
            const char *end = text.data() + text.size();
            const auto [stop, ec] = std::from_chars(text.data(), end, value);
            const bool usable = ec == std::errc() && stop == end && value > 0 && value <= 10;
            return usable ? std::string() : "must be a number of mm above 0 and at most 10";
          },
          "MM in (0, 10]"));
  command.add_flag("--no-gauge", o->noGauge, "leave the tip file alone");
  AddDocumentOptions(command, o->document, false);
}
