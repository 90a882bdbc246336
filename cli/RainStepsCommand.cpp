// pluvicam-cli rainsteps: the rain-rate intervals of 0.1 mm, as the main window runs.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "ParticleCsv.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

struct RainStepsArguments {
  std::string file;
  bool keepGoing = false;
  DocumentOptions document;
};

int RainSteps(const std::string &file, const DocumentOptions &options, bool keepGoing) {
  cli::StderrMessages messages;
  auto doc = cli::OpenDocument(file, options, messages);
  if (!doc)
    return cli::EXIT_UNUSABLE;
  double rain = 0;
  const int status = cli::RunDocument(*doc, keepGoing, [&](HydRecord &record) {
    if (record.area > 0)
      rain += double(record.volume / record.area);
  });
  std::string out = "startTim,endTim,duration,complete,startTime,endTime\n";
  const auto &list = doc->GetRateList();
  for (auto entry = list.rbegin(); entry != list.rend(); ++entry) {
    csv::AppendTime(out, entry->startTim);
    out += ',';
    // An open interval has no end yet.
    if (entry->complete)
      csv::AppendTime(out, entry->endTim);
    out += ',';
    csv::AppendFloat(out, entry->duration);
    out += ',';
    csv::AppendInt(out, entry->complete ? 1 : 0);
    out += ',';
    out += cli::TimeText(*doc, entry->startTim);
    out += ',';
    if (entry->complete)
      out += cli::TimeText(*doc, entry->endTim);
    out += '\n';
  }
  char total[64];
  std::snprintf(total, sizeof total, "total rain: %.9g mm\n", rain);
  out += total;
  cli::Flush(out);
  return status;
}

} // namespace

void AddRainStepsCommand(CommandRegistry &registry) {
  auto a = std::make_shared<RainStepsArguments>();
  CLI::App &command =
      registry.Add("rainsteps", "the rain-rate intervals of 0.1 mm, as the main window runs",
                   [a] { return RainSteps(a->file, a->document, a->keepGoing); });
  command.add_option("FILE", a->file, "hydrometeor file")->required();
  command.add_flag("--keep-going", a->keepGoing, "go on after a particle whose computation failed");
  AddDocumentOptions(command, a->document, false);
}
