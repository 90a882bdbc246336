#include "ExportCommand.h"

#include "data/CHydDataHandler.h"
#include "data/RecordFraming.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/ParticleText.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <limits>

namespace {

class StderrMessages : public UserMessages {
public:
  void Show(const std::string &text) override { std::cerr << text << "\n"; }
};

// The whole day and no limits: any particle the user can point at.
FilterRecord AnyParticle() {
  FilterRecord filter;
  filter.endTime.hour = 24;
  filter.diamMin = filter.velMin = filter.oblMin = -std::numeric_limits<float>::max();
  filter.diamMax = filter.velMax = filter.oblMax = std::numeric_limits<float>::max();
  filter.minPixA = filter.minPixB = std::numeric_limits<int16_t>::min();
  filter.maxPixA = filter.maxPixB = std::numeric_limits<int16_t>::max();
  return filter;
}

int Fail(int32_t position, const std::string &message) {
  std::cerr << position << ": " << message << "\n";
  return 1;
}

} // namespace

CLI::App *AddExportCommand(CLI::App &app, ExportOptions &options) {
  auto *cmd = app.add_subcommand(
      "export", "the drop view's text block of one particle (Ascii), to stdout or the .txt file");
  cmd->add_option("FILE", options.file, "hydrometeor file")->required();
  cmd->add_option("POS", options.position, "position of the particle record (startPos)")
      ->required();
  cmd->add_option("--correction", options.correction,
                  "apply the symmetric correction's shear (on) or only measure it (off, default)")
      ->check(CLI::IsMember({"on", "off"}));
  cmd->add_flag("--append", options.append,
                "append the block to the .txt file beside FILE instead of printing it");
  return cmd;
}

int RunExport(const ExportOptions &options) {
  StderrMessages messages;
  CPluvicamDoc doc(&messages);
  doc.SetFilterSettings(AnyParticle());
  std::string message;
  if (!doc.OpenHydFile(options.file, &message, true)) {
    std::cerr << message << "\n";
    return 2;
  }
  const int32_t pos = options.position;
  CHydDataHandler &handler = *doc.GetHandler();
  // Positioning on anything but a record start would decode garbage.
  if (IsParticleRecordStart(handler.GetHydFile(), pos, &message) != 1)
    return Fail(pos, message);
  CHydException exc;
  if (handler.SetHydFilePosition(pos, &exc) < 0)
    return Fail(pos, exc.message);
  int status = 0;
  CHydData *particle = doc.ReadHydData(0, &status, &message);
  if (!particle || particle->GetHydHeader()->startPos != pos)
    return Fail(pos, message.empty() ? "not the start of a particle record" : message);
  if (doc.IsSno())
    return Fail(pos, "This function is not available for sno-data.");
  BuildDropContours(doc, options.correction == "on", &message);

  std::string block;
  if (!BuildParticleText(doc, &block, &message))
    return Fail(pos, message);
  if (!options.append) {
    std::fwrite(block.data(), 1, block.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (!AppendParticleText(ParticleTextPath(options.file), block, &message))
    return Fail(pos, message);
  return 0;
}
