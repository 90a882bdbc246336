// pluvicam-synth: writes synthetic hydrometeor files for demos, tests and benchmarks.
#include "synth/HydWriter.h"

#include <CLI/CLI.hpp>
#include <iostream>

int main(int argc, char **argv) {
  CLI::App app{"Writes synthetic hydrometeor files"};
  app.require_subcommand(1);

  std::string outDir = ".";
  std::string name = "demo";
  auto *demo = app.add_subcommand("demo", "a small demo file with its index");
  demo->add_option("--out", outDir, "output folder");
  demo->add_option("--name", name, "file name without extension");

  CLI11_PARSE(app, argc, argv);
  try {
    if (*demo) {
      synth::HydWriter writer(4);
      const int32_t day = 1780272000; // 2026-06-01 00:00 UTC
      writer.MarkMinute(1);
      writer.AddMainHeader(synth::TypicalMainHeader(day + 6 * 3600));
      writer.AddQuartHeader();
      const std::string base = outDir + "/" + name;
      writer.Write(base + ".hyd", base + ".hd");
      std::cout << "wrote " << base << ".hyd\n";
    }
  } catch (const std::exception &e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
