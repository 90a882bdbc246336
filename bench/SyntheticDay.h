#pragma once
// Synthetic days for the benchmarks, each written once per process into a folder of its own
// that is removed when the process ends.
#include "document/CPluvicamDoc.h"
#include "synth/DayGenerator.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline std::filesystem::path BenchFolder() {
  // Never destroyed, so that the removal at exit still finds it.
  static const std::filesystem::path *dir = [] {
    const char *tmp = std::getenv("TMPDIR");
    auto *d = new std::filesystem::path(std::filesystem::path(tmp ? tmp : "/tmp") /
                                        ("pluvicam_bench_" + std::to_string(getpid())));
    std::filesystem::create_directories(*d);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(BenchFolder(), ignored);
    });
    return d;
  }();
  return *dir;
}

// A rain day of about `particles` particles from `seed`; the path of its data file.
inline std::string SyntheticDay(const std::string &name, int64_t particles, uint64_t seed) {
  synth::DayOptions o;
  o.outDir = BenchFolder().string();
  o.name = name;
  o.seed = seed;
  o.particles = particles;
  return synth::GenerateDay(o).dataPath;
}

// The drop size distribution benchmarks' day of about a million particles.
inline std::string MillionParticleDay() {
  static const std::string path = SyntheticDay("big", 1000000, 3);
  return path;
}

// Opens the million-particle day in `doc` for one drop size distribution Run over the whole day.
inline bool OpenForWholeDayDsd(CPluvicamDoc &doc) {
  FilterRecord f = FilterRecord::DocumentDefaults();
  f.endTime.hour = 24;
  doc.SetFilterSettings(f);
  if (!doc.OpenHydFile(MillionParticleDay()))
    return false;
  doc.ResetIntegration(IntegrationKind::Dsd);
  doc.GetIntegrationSettings(IntegrationKind::Dsd).mode = IntegrationMode::FullTimeRange;
  return true;
}
