#include "ExportCommand.h"
#include "CliCommon.h"
#include "CommandRegistry.h"

#include "data/RecordFraming.h"
#include "document/CHydDataHandler.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/ParticleText.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

int Fail(int32_t position, const std::string &message) {
  std::cerr << position << ": " << message << "\n";
  return cli::EXIT_STOPPED;
}

} // namespace

int RunExport(const ExportOptions &options) {
  cli::StderrMessages messages;
  const auto opened = cli::OpenDocument(options.file, cli::DocumentSetup{}, messages);
  if (!opened)
    return cli::EXIT_UNUSABLE;
  CPluvicamDoc &doc = *opened;
  std::string message;
  const std::string textPath = ParticleTextPath(options.file);
  if (options.append) {
    if (const std::string refusal = doc.GetOutputGuard().Check(textPath); !refusal.empty()) {
      std::cerr << "Could not open textfile because: " << refusal << "\n";
      return cli::EXIT_UNUSABLE;
    }
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
  CHydData *particle = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status, &message);
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
  if (!AppendParticleText(textPath, block, doc.GetOutputGuard(), &message))
    return Fail(pos, message);
  return 0;
}

void AddExportCommand(CommandRegistry &registry) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App &command = registry.Add(
      "export", "the drop view's text block of one particle (Ascii), to stdout or the .txt file",
      [options] { return RunExport(*options); });
  command.add_option("FILE", options->file, "hydrometeor file")->required();
  command.add_option("POS", options->position, "position of the particle record (startPos)")
      ->required();
  command
      .add_option("--correction", options->correction,
                  "apply the symmetric correction's shear (on) or only measure it (off, default)")
      ->check(CLI::IsMember({"on", "off"}));
  command.add_flag("--append", options->append,
                   "append the block to the .txt file beside FILE instead of printing it");
}
