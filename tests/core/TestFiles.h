#pragma once
// Temporary folders and small hand-made particles for the core tests.
#include "TempDirTest.h"
#include "TinyDay.h"
#include "synth/DayGenerator.h"

#include <cstdint>
#include <filesystem>

namespace testdata {

using namespace testday;

// A synthetic day "NAME.hyd" in `dir`, the generator's own choices but for these.
inline synth::DayOptions DayIn(const std::filesystem::path &dir, const char *name, uint64_t seed,
                               double hours) {
  synth::DayOptions o;
  o.outDir = dir.string();
  o.name = name;
  o.seed = seed;
  o.hours = hours;
  return o;
}

} // namespace testdata
