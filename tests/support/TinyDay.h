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

// One line per camera with 4-bit values 1, 2, 3, 4: A edges 1..2, B edges 3..4 plus offsets.
// Returns the record's position.
inline int32_t AddTinyDrop(synth::HydWriter &writer, double tim, int dropType = 0) {
  PixHeader h;
  h.tim = tim;
  h.eqDiam = 100;
  h.lineCountA = writer.Format() == 1 ? 0 : 1;
  h.lineDiffB = 0;
  h.absv = 200;
  h.offsetA = 100;
  h.offsetB = 200;
  h.pixScaleH = 1500;
  h.pixScaleA = writer.Format() == 1 ? 180 : 1800;
  h.pixScaleB = h.pixScaleA;
  return writer.AddPixRecord(h, {0x21, 0x43, 0x65, 0x87}, 4, dropType);
}

} // namespace testday
