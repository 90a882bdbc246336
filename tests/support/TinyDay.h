#pragma once
// The day the hand-made test files lie in, the smallest drop the reader accepts, and drops of a
// given camera image.
#include "document/FilterRecord.h"
#include "synth/DropOutline.h"
#include "synth/HydWriter.h"
#include "synth/RainEncoder.h"

#include <cstdint>

namespace testday {

// Midnight of a day in 2026 (2026-06-01 UTC), so that main header times of day are easy to read.
constexpr int32_t DAY = 1780272000;
// The instrument's usual line rate.
constexpr double LINES_PER_SECOND = 34090.857142857145;

// Camera lines since midnight of a time of day in seconds.
inline double Tim(double seconds) { return seconds * LINES_PER_SECOND; }

using synth::AddTinyDrop;

// Both cameras' image of a round drop `diameterMm` across at 0.18 mm per pixel and 0.2 mm per
// line.
inline synth::RainImage RoundDropImage(double diameterMm) {
  const synth::DropEdges edges = synth::RasteriseDrop(synth::DropShape{diameterMm}, 0.18, 0.2);
  return {edges.left, edges.right, edges.left, edges.right};
}

// A drop showing `image` at camera line `tim`, at the scales of RoundDropImage; `eqDiam` in
// 1/100 mm. Returns the record's position.
inline int32_t AddImageDrop(synth::HydWriter &writer, double tim, const synth::RainImage &image,
                            uint16_t eqDiam) {
  const synth::EncodedRain encoded = synth::EncodeRain(image);
  PixHeader h;
  h.tim = tim;
  h.eqDiam = eqDiam;
  h.lineCountA = int16_t(image.leftA.size());
  h.lineDiffB = int16_t(image.leftB.size() - image.leftA.size());
  h.absv = 200;
  h.offsetA = encoded.offsetA;
  h.offsetB = encoded.offsetB;
  h.pixScaleA = h.pixScaleB = 1800;
  h.pixScaleH = 2000;
  return writer.AddPixRecord(h, encoded.data, encoded.bits);
}

// A record whose widths are 0 at camera line `tim`: its computation fails, the stream stays framed.
inline int32_t AddFailingRecord(synth::HydWriter &writer, double tim) {
  PixHeader flat;
  flat.tim = tim;
  flat.lineCountA = 1;
  flat.absv = 200;
  flat.pixScaleA = flat.pixScaleB = flat.pixScaleH = 1800;
  return writer.AddPixRecord(flat, {0x00, 0x00}, 1);
}

// The document's filter with a window over the whole day: every particle passes.
inline FilterRecord WholeDayFilter() {
  FilterRecord all = FilterRecord::DocumentDefaults();
  all.endTime.hour = 24;
  return all;
}

} // namespace testday
