// pluvicam-cli: the headless tool over the core.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "PluvicamVersion.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

// The subcommands, in the order of the help text. Each NAME is a file NAMECommand.cpp defining
// `void AddNAMECommand(CommandRegistry &)`: a new subcommand is that file and one line here.
#define PLUVICAM_CLI_COMMANDS(X)                                                                   \
  X(Info)                                                                                          \
  X(Particles)                                                                                     \
  X(RainSteps)                                                                                     \
  X(RainRate)                                                                                      \
  X(Classify)                                                                                      \
  X(Export)                                                                                        \
  X(Dsd)                                                                                           \
  X(Scan)                                                                                          \
  X(Calibrate)                                                                                     \
  X(Shape)

#define PLUVICAM_DECLARE_COMMAND(NAME) void Add##NAME##Command(CommandRegistry &registry);
PLUVICAM_CLI_COMMANDS(PLUVICAM_DECLARE_COMMAND)

int main(int argc, char **argv) {
  try {
    CLI::App app{"Headless Pluvicam: reads hydrometeor files (.hyd, .pix, .sno)"};
    app.set_version_flag("--version", std::string("pluvicam-cli ") + pluvicam::VERSION);
    CommandRegistry registry(app);
#define PLUVICAM_ADD_COMMAND(NAME) Add##NAME##Command(registry);
    PLUVICAM_CLI_COMMANDS(PLUVICAM_ADD_COMMAND)
    return registry.ParseAndRun(argc, argv);
  } catch (const std::exception &e) {
    // Out of memory or a failing system call that the commands do not report themselves.
    std::fprintf(stderr, "pluvicam-cli: %s\n", e.what());
    return cli::EXIT_UNUSABLE;
  }
}
