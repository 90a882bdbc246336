// pluvicam-cli classify: writes a particle's class into the file.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "data/RecordFraming.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

struct ClassifyArguments {
  std::string file;
  int32_t position = 0;
  int dropType = 0;
};

const char *ClassName(int dropType) {
  static const char *const names[] = {"not class.", "rain",   "melting", "snow",
                                      "hail",       "manual", "invalid"};
  return dropType >= 0 && dropType <= 6 ? names[dropType] : "?";
}

int Classify(const std::string &file, int32_t position, int dropType) {
  cli::StderrMessages messages;
  // The one command that writes into the data file.
  auto doc =
      cli::OpenDocument(file, cli::DocumentSetup{.access = cli::FileAccess::WriteClass}, messages);
  if (!doc)
    return cli::EXIT_UNUSABLE;
  // A position inside a record may parse as a particle too; only a record start is one.
  std::string framing;
  if (IsParticleRecordStart(doc->GetHandler()->GetHydFile(), position, &framing) != 1) {
    std::cerr << "POS is not the start of a particle record: " << position << "\n";
    return cli::EXIT_STOPPED;
  }
  CHydException e;
  if (doc->GetHandler()->SetHydFilePosition(position, &e) < 0) {
    std::cerr << e.message << "\n";
    return cli::EXIT_STOPPED;
  }
  int status = 0;
  std::string message;
  CHydData *particle = doc->ReadHydData(CPluvicamDoc::ReadDirection::Next, &status, &message);
  // Only a particle record starting exactly at POS is the one asked for; never write elsewhere.
  if (!particle || particle->GetHydHeader()->startPos != position) {
    std::cerr << (message.empty() ? "no particle record begins at " + std::to_string(position)
                                  : message)
              << "\n";
    return cli::EXIT_STOPPED;
  }
  if (status != CPluvicamDoc::statusAccepted) {
    std::cerr << "the particle at " << position
              << " lies outside the valid pixels; its class is not written\n";
    return cli::EXIT_STOPPED;
  }
  // The class replaced is the file's at the moment of the write: another program may have
  // classified the particle since it was read here.
  int oldClass = 0;
  if (!doc->SetNewParticleClass(dropType, &message, &oldClass)) {
    std::cerr << message << "\n";
    return cli::EXIT_STOPPED;
  }
  const int newClass = particle->GetHydHeader()->dropType;
  std::printf("old class: %d (%s)\nnew class: %d (%s)\n", oldClass, ClassName(oldClass), newClass,
              ClassName(newClass));
  return 0;
}

} // namespace

void AddClassifyCommand(CommandRegistry &registry) {
  auto a = std::make_shared<ClassifyArguments>();
  CLI::App &command = registry.Add("classify", "write a particle's class into the file",
                                   [a] { return Classify(a->file, a->position, a->dropType); });
  command.add_option("FILE", a->file, "hydrometeor file")->required();
  command.add_option("POS", a->position, "position of the particle record (startPos)")->required();
  command
      .add_option("CLASS", a->dropType,
                  "0 not class., 1 rain, 2 melting, 3 snow, 4 hail, "
                  "5 manual, 6 invalid")
      ->required();
}
