#include "particle/CContour.h"
#include "synth/DropOutline.h"

#include <benchmark/benchmark.h>

namespace {

// A drop of about `lines` scan lines, slightly tilted and sheared, at the instrument's usual
// scales (0.15 mm per pixel and per line).
synth::DropEdges Drop(int lines) {
  const double scale = 0.15;
  return synth::RasteriseDrop({lines * scale / 0.8, 0.8, 0.3, 5, 0.1}, scale, scale);
}

void RawContour(benchmark::State &state) {
  const synth::DropEdges e = Drop(int(state.range(0)));
  for (auto _ : state) {
    CContour c;
    benchmark::DoNotOptimize(c.Create(e.left, e.right, e.lines, 0.15, 0.15, e.minPos));
  }
  state.counters["lines"] = e.lines;
}

void SmoothContour(benchmark::State &state) {
  const synth::DropEdges e = Drop(int(state.range(0)));
  for (auto _ : state) {
    CContour c;
    benchmark::DoNotOptimize(c.CreateSmooth(e.left, e.right, e.lines, 0.15, 0.15, e.minPos));
  }
  state.counters["lines"] = e.lines;
}

// The correction changes the contour in place, so every round starts from a fresh copy.
template <bool Smooth> void Correction(benchmark::State &state) {
  const synth::DropEdges e = Drop(int(state.range(0)));
  CContour built;
  if (Smooth)
    built.CreateSmooth(e.left, e.right, e.lines, 0.15, 0.15, e.minPos);
  else
    built.Create(e.left, e.right, e.lines, 0.15, 0.15, e.minPos);
  HydRecord record;
  record.scaleHeight = 0.15f;
  for (auto _ : state) {
    state.PauseTiming();
    CContour c = built;
    state.ResumeTiming();
    benchmark::DoNotOptimize(c.SymmetricCorrection(&record, 34090.857, Camera::A, 1));
  }
  state.counters["points"] = built.GetCount();
}

} // namespace

BENCHMARK(RawContour)->Arg(10)->Arg(30)->Arg(60)->Unit(benchmark::kMicrosecond);
BENCHMARK(SmoothContour)->Arg(10)->Arg(30)->Arg(60)->Unit(benchmark::kMicrosecond);
BENCHMARK(Correction<true>)
    ->Name("CorrectionOfSmoothContour")
    ->Arg(10)
    ->Arg(30)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Correction<false>)
    ->Name("CorrectionOfRawContour")
    ->Arg(10)
    ->Arg(30)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
