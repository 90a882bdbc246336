#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

// The subcommands of pluvicam-cli. A subcommand is a file defining one `Add...Command` function
// that adds its options here together with what runs it; main.cpp lists those functions.
class CommandRegistry {
public:
  explicit CommandRegistry(CLI::App &app) : app(app) {}

  // Adds a subcommand; `run` is called when it was chosen and returns the exit status. Keep the
  // options' storage in what `run` captures: it must outlive the parse.
  CLI::App &Add(const std::string &name, const std::string &description, std::function<int()> run);

  // Registers a subcommand made on App() elsewhere, with what runs it.
  void Adopt(CLI::App &command, std::function<int()> run);
  CLI::App &App() { return app; }

  // Parses the command line and runs the chosen subcommand; its exit status, 0 for --help, or
  // cli::EXIT_UNUSABLE for bad arguments.
  int ParseAndRun(int argc, const char *const *argv);

  // The command line as given, words joined by spaces; for the history of written products.
  const std::string &CommandLine() const { return commandLine; }

private:
  CLI::App &app;
  std::string commandLine;
  std::vector<std::pair<CLI::App *, std::function<int()>>> commands;
};
