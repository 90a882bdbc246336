// pluvicam-cli: the headless tool over the core.
#include <CLI/CLI.hpp>

int main(int argc, char **argv) {
  CLI::App app{"Headless Pluvicam"};
  CLI11_PARSE(app, argc, argv);
  return 0;
}
