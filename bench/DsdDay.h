#pragma once
// A synthetic rain day of about a million particles, written once per process, for the drop size
// distribution benchmarks.
#include "synth/DayGenerator.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline std::string MillionParticleDay() {
  static const std::string path = [] {
    const char *tmp = std::getenv("TMPDIR");
    const std::filesystem::path dir =
        std::filesystem::path(tmp ? tmp : "/tmp") / ("pluvicam_dsd_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = "big";
    o.seed = 3;
    o.particles = 1000000;
    const synth::DayResult day = synth::GenerateDay(o);
    std::atexit([] {
      const char *t = std::getenv("TMPDIR");
      std::filesystem::remove_all(std::filesystem::path(t ? t : "/tmp") /
                                  ("pluvicam_dsd_" + std::to_string(getpid())));
    });
    return day.dataPath;
  }();
  return path;
}
