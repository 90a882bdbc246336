#include "CliCommon.h"
#include "CommandRegistry.h"
#include "DiagramRun.h"
#include "DocumentOptions.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/DiagramCsv.h"
#include "statistics/OblatenessHistogram.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

// `shape FILE`: the oblateness distribution N(H/W) of the time window, as the enlarged
// oblateness diagram counts it.
class ShapeCommand {
public:
  CLI::App *Add(CLI::App &app);
  int Run() const;

private:
  std::string file;
  DocumentOptions options;
};

CLI::App *ShapeCommand::Add(CLI::App &app) {
  auto *command = app.add_subcommand(
      "shape", "the oblateness distribution N(H/W): CSV bin,lower,upper,count for the 200 bins "
               "of 0.01, then on standard error the diagram's maximum and centre lines");
  command->add_option("FILE", file, "hydrometeor file")->required();
  AddDocumentOptions(*command, options, false);
  return command;
}

int ShapeCommand::Run() const {
  cli::StderrMessages messages;
  auto doc = cli::OpenDocument(file, options, messages);
  if (!doc)
    return cli::EXIT_UNUSABLE;
  OblatenessHistogram histogram;
  DiagramCollection collection(*doc);
  const int status = diagramrun::Run(
      *doc, collection, [&](const HydRecord &record) { histogram.Add(record.oblateness); });
  const std::string out = diagramcsv::ShapeTable(histogram);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  const auto texts = OblatenessHistogram::StatisticsTexts(histogram.Summarise());
  if (!texts.maximum.empty())
    std::cerr << texts.maximum << "\n" << texts.maxAt << "\n" << texts.center << "\n";
  return status;
}

void AddShapeCommand(CommandRegistry &registry) {
  // The command object holds the parsed options until it runs.
  auto command = std::make_shared<ShapeCommand>();
  registry.Adopt(*command->Add(registry.App()), [command] { return command->Run(); });
}
