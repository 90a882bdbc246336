#pragma once
// The day the hand-made test files lie in, and the smallest drop the reader accepts.
#include "synth/HydWriter.h"

#include <cstdint>

namespace testday {

// Midnight of a day in 2026 (2026-06-01 UTC), so that main header times of day are easy to read.
constexpr int32_t DAY = 1780272000;
// The instrument's usual line rate.
constexpr double LINES_PER_SECOND = 34090.857142857145;

// Camera lines since midnight of a time of day in seconds.
inline double Tim(double seconds) { return seconds * LINES_PER_SECOND; }

using synth::AddTinyDrop;

} // namespace testday
