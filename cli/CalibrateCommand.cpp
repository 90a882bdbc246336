#include "CliCommon.h"
#include "CommandRegistry.h"
#include "DiagramRun.h"
#include "DocumentOptions.h"
#include "document/CPluvicamDoc.h"
#include "statistics/CalibrationExport.h"
#include "statistics/CalibrationSelection.h"
#include "statistics/OblatenessPlot.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

// `calibrate FILE --box ...`: the calibration file CORR_IN.DAT for rectangles given as a user
// would drag them in the oblateness scatter.
class CalibrateCommand {
public:
  CLI::App *Add(CLI::App &app);
  int Run() const;

private:
  std::string file;
  std::vector<std::string> boxes;
  int scale = 1;
  std::string out;
  DocumentOptions options;
};

namespace {

// "DIAM:DMIN:DMAX:OMIN:OMAX": five finite numbers.
bool ParseBox(const std::string &text, double (&v)[5]) {
  size_t pos = 0;
  for (int i = 0; i < 5; ++i) {
    const size_t end = i < 4 ? text.find(':', pos) : text.size();
    if (end == std::string::npos)
      return false;
    const std::string part = text.substr(pos, end - pos);
    if (part.empty())
      return false;
    char *stop = nullptr;
    errno = 0;
    v[i] = std::strtod(part.c_str(), &stop);
    if (errno != 0 || stop != part.c_str() + part.size() || !std::isfinite(v[i]))
      return false;
    pos = end + 1;
  }
  return true;
}

} // namespace

CLI::App *CalibrateCommand::Add(CLI::App &app) {
  auto *command = app.add_subcommand(
      "calibrate",
      "the calibration file CORR_IN.DAT: per standardised diameter the diameter, oblateness and "
      "fall velocity ranges and the number of the particles inside a rectangle of the oblateness "
      "scatter. Lines end in a line feed alone (\\n), not CR LF.");
  command->add_option("FILE", file, "hydrometeor file")->required();
  command->add_option("--box", boxes,
                      "DIAM:DMIN:DMAX:OMIN:OMAX: a rectangle from DMIN to DMAX mm and from OMIN "
                      "to OMAX H/W, assigned to the standardised diameter DIAM (0.5, 1, 1.5, 2, "
                      "3, 4, 5, 6, 7, 8 or 10 mm); a later box of a diameter replaces an earlier "
                      "one. Placed as the scatter places particles: x = trunc(D*1000/scale), "
                      "y = trunc(H/W*1000); the lower edges belong to the box, the upper not");
  command->add_option("--scale", scale, "the diagrams' scale factor: 1, 2 or 5 (default 1)")
      ->check(CLI::IsMember({1, 2, 5}));
  command->add_option("--out", out, "write CORR_IN.DAT here (default: standard output)");
  AddDocumentOptions(*command, options, false);
  return command;
}

int CalibrateCommand::Run() const {
  CalibrationSelection selection;
  const int u = OblatenessPlot::UnitsPerMm(scale);
  for (const std::string &text : boxes) {
    double v[5];
    if (!ParseBox(text, v)) {
      std::cerr << "--box: expected DIAM:DMIN:DMAX:OMIN:OMAX, got \"" << text << "\"\n";
      return cli::EXIT_UNUSABLE;
    }
    int index = -1;
    for (size_t i = 0; i < OblatenessPlot::STANDARD_DIAMETERS.size(); ++i)
      if (std::abs(v[0] - OblatenessPlot::STANDARD_DIAMETERS[i]) < 1e-9)
        index = int(i);
    if (index < 0) {
      std::cerr << "--box: " << v[0]
                << " mm is not a standardised diameter (0.5, 1, 1.5, 2, 3, 4, 5, 6, 7, 8, 10)\n";
      return cli::EXIT_UNUSABLE;
    }
    // Dragged from the upper left corner to the lower right one.
    const PlotPoint start{PlotUnits(v[1] * u), PlotUnits(v[4] * 1000)};
    const PlotPoint current{PlotUnits(v[2] * u), PlotUnits(v[3] * 1000)};
    selection.Set(index, start, current);
  }
  if (!selection.Any()) {
    std::cerr << "No Calibration-Data selected\n";
    return cli::EXIT_UNUSABLE;
  }

  OutputGuard guard;
  guard.AddDataFile(file);
  if (!out.empty()) {
    if (const std::string refusal = guard.Check(out); !refusal.empty()) {
      std::cerr << CalibrationExport::CREATE_FAILED << ": " << refusal << "\n";
      return cli::EXIT_UNUSABLE;
    }
  }
  cli::StderrMessages messages;
  auto doc = cli::OpenDocument(file, options, messages);
  if (!doc)
    return cli::EXIT_UNUSABLE;
  doc->SetViewFactor(uint16_t(scale));
  if (!CalibrationExport::Rewind(*doc))
    return cli::EXIT_STOPPED;
  CalibrationExport calibration(selection.Entries(), scale);
  DiagramCollection collection(*doc, false);
  const int status =
      diagramrun::Run(*doc, collection, [&](const HydRecord &record) { calibration.Add(record); });
  if (status != cli::EXIT_OK)
    return status;
  const std::string text = calibration.Text();
  if (out.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return cli::EXIT_OK;
  }
  std::string error;
  if (!CalibrationExport::WriteFile(out, text, guard, error)) {
    std::cerr << error << "\n";
    return cli::EXIT_STOPPED;
  }
  return cli::EXIT_OK;
}

void AddCalibrateCommand(CommandRegistry &registry) {
  // The command object holds the parsed options until it runs.
  auto command = std::make_shared<CalibrateCommand>();
  registry.Adopt(*command->Add(registry.App()), [command] { return command->Run(); });
}
