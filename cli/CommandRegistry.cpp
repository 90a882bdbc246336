#include "CommandRegistry.h"
#include "CliCommon.h"

#include <CLI/CLI.hpp>

CLI::App &CommandRegistry::Add(const std::string &name, const std::string &description,
                               std::function<int()> run) {
  CLI::App *command = app.add_subcommand(name, description);
  commands.emplace_back(command, std::move(run));
  return *command;
}

void CommandRegistry::Adopt(CLI::App &command, std::function<int()> run) {
  commands.emplace_back(&command, std::move(run));
}

int CommandRegistry::ParseAndRun(int argc, const char *const *argv) {
  app.require_subcommand(1);
  for (int i = 0; i < argc; ++i)
    commandLine += (i ? " " : "") + std::string(argv[i]);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : cli::EXIT_UNUSABLE;
  }
  for (const auto &[command, run] : commands)
    if (*command)
      return run();
  return cli::EXIT_UNUSABLE;
}
