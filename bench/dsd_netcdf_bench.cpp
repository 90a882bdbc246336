// A million-particle day to the netCDF product with the integral quantities, minute by minute,
// as `pluvicam-cli dsd DAY --moments --netcdf OUT.nc` does it.
#include "SyntheticDay.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DsdNetcdfWriter.h"
#include "statistics/DsdProduct.h"
#include "statistics/DsdSeriesRun.h"

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

void DayToNetcdf(benchmark::State &state) {
  const std::string out = MillionParticleDay() + ".nc";
  int64_t particles = 0, intervals = 0;
  for (auto _ : state) {
    CPluvicamDoc doc;
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.endTime.hour = 24;
    doc.SetFilterSettings(f);
    doc.ResetIntegration(IntegrationKind::Dsd);
    if (!doc.OpenHydFile(MillionParticleDay())) {
      state.SkipWithError("no day");
      return;
    }
    DsdNetcdfWriter writer;
    std::string error;
    if (!writer.Create(out, MakeDsdProductLayout(doc, true, "benchmark"), doc.GetOutputGuard(),
                       &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    DsdSeriesRun series(doc);
    series.onInterval = [&](const DsdInterval &r) {
      writer.Append(MakeDsdProductRow(doc, r, true), &error);
    };
    series.RunToEnd();
    writer.Finish(&error);
    particles += series.Particles();
    intervals += int64_t(writer.Rows());
  }
  std::remove(out.c_str());
  state.counters["particles/s"] =
      benchmark::Counter(double(particles), benchmark::Counter::kIsRate);
  state.counters["intervals"] =
      benchmark::Counter(double(intervals), benchmark::Counter::kAvgIterations);
}
BENCHMARK(DayToNetcdf)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
