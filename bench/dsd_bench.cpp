// One Run of the drop size distribution over the whole window of a million-particle day, as
// `pluvicam-cli dsd --mode full` does it: the document's read loop and the class sums.
#include "SyntheticDay.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DsdIntegration.h"

#include <benchmark/benchmark.h>

namespace {

void FullTimeRangeRun(benchmark::State &state) {
  CPluvicamDoc doc;
  if (!OpenForWholeDayDsd(doc)) {
    state.SkipWithError("no day");
    return;
  }
  DsdIntegration integration(doc);
  int64_t particles = 0;
  for (auto _ : state) {
    const DsdInterval &r = integration.RunToEnd();
    particles += r.count;
    benchmark::DoNotOptimize(r.ndMax);
  }
  state.counters["particles/s"] =
      benchmark::Counter(double(particles), benchmark::Counter::kIsRate);
}
BENCHMARK(FullTimeRangeRun)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
