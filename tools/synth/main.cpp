// pluvicam-synth: writes synthetic hydrometeor files for demos, tests and benchmarks.
#include "PluvicamVersion.h"
#include "synth/DayGenerator.h"
#include "synth/HydWriter.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>

namespace {

void AddDayOptions(CLI::App *command, synth::DayOptions &options, std::string &start) {
  command->add_option("--seed", options.seed, "random seed (same seed, same bytes)");
  command->add_option("--start", start, "start of the recording, HH:MM")->default_val("06:00");
  command->add_option("--hours", options.hours, "length of the recording in hours")
      ->default_val(4)
      ->check(CLI::Range(0.05, 24.0));
  command->add_option("--format", options.format, "data format version")
      ->default_val(4)
      ->check(CLI::Range(1, 4));
  command->add_option("--particles", options.particles,
                      "about this many particles (scales the concentrations)");
  command->add_flag("--snow", options.snow, "a snow day (.sno, format 4)");
}

int StartMinute(const std::string &text) {
  int h = 0, m = 0;
  char colon = 0;
  if (std::sscanf(text.c_str(), "%d%c%d", &h, &colon, &m) != 3 || colon != ':' || h < 0 || h > 23 ||
      m < 0 || m > 59)
    throw std::runtime_error("--start wants HH:MM, not " + text);
  return h * 60 + m;
}

void WriteTruth(const synth::DayTruth &truth, const std::string &path) {
  const std::string text = truth.Text();
  synth::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace

int main(int argc, char **argv) {
  try {
    CLI::App app{"Writes synthetic hydrometeor files"};
    app.set_version_flag("--version", std::string("pluvicam-synth ") + pluvicam::VERSION);
    app.require_subcommand(1);

    std::string outDir = ".";
    std::string name = "demo";
    auto *demo = app.add_subcommand("demo", "the demo day: a rain day and a short snow file");
    demo->add_option("--out", outDir, "output folder");
    demo->add_option("--name", name, "file name without extension");

    synth::DayOptions dayOptions;
    std::string dayStart = "06:00", truthPath;
    auto *day = app.add_subcommand("day", "a synthetic day: data, index, wind and tip files");
    day->add_option("--out", dayOptions.outDir, "output folder")->required();
    day->add_option("--name", dayOptions.name, "file name without extension")->required();
    day->add_option("--truth", truthPath, "also write what was drawn to this file");
    AddDayOptions(day, dayOptions, dayStart);

    synth::DayOptions truthOptions;
    std::string truthStart = "06:00", truthOut;
    auto *truth = app.add_subcommand("truth", "only what a day with these options draws");
    truth->add_option("--out", truthOut, "truth file")->required();
    AddDayOptions(truth, truthOptions, truthStart);

    CLI11_PARSE(app, argc, argv);
    if (*demo || *day)
      std::filesystem::create_directories(*demo ? outDir : dayOptions.outDir);
    if (*demo) {
      const synth::DayOptions rain = synth::DemoRainDay(outDir, name);
      const auto result = synth::GenerateDay(rain);
      synth::DayOptions snow = rain;
      snow.name = name + "_snow";
      snow.snow = true;
      snow.showerDay = false;
      snow.ident = snow.name + ".sno";
      snow.startMinute = 11 * 60;
      snow.hours = 0.5;
      const auto snowResult = synth::GenerateDay(snow);
      std::cout << "wrote " << result.dataPath << " (" << result.particles << " particles) and "
                << snowResult.dataPath << " (" << snowResult.particles << " particles)\n";
    } else if (*day) {
      dayOptions.startMinute = StartMinute(dayStart);
      // Processor time, so that the figure does not depend on what else the machine runs.
      const std::clock_t begin = std::clock();
      const auto result = synth::GenerateDay(dayOptions);
      const double seconds = double(std::clock() - begin) / CLOCKS_PER_SEC;
      if (!truthPath.empty())
        WriteTruth(result.truth, truthPath);
      std::printf("wrote %s: %lld particles, %.3f mm, %lld tips, %.2f s of processor time (%.0f "
                  "particles/s)\n",
                  result.dataPath.c_str(), static_cast<long long>(result.particles),
                  result.truth.Rain(), static_cast<long long>(result.truth.tips), seconds,
                  double(result.particles) / std::max(seconds, 1e-9));
    } else if (*truth) {
      truthOptions.startMinute = StartMinute(truthStart);
      truthOptions.writeFiles = false;
      WriteTruth(synth::GenerateDay(truthOptions).truth, truthOut);
    }
  } catch (const std::exception &e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
