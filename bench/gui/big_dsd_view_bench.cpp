// The enlarged drop size distribution's Run over the whole window of a million-particle day,
// offscreen, with its event pumping between slices: wall time, as the user waits for it.
#include "../SyntheticDay.h"
#include "document/CPluvicamDoc.h"
#include "shell/BigPaneFactory.h"
#include "views/CBigDSDView.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void BigViewFullTimeRangeRun(benchmark::State &state) {
  CPluvicamDoc doc;
  FilterRecord f = FilterRecord::DocumentDefaults();
  f.endTime.hour = 24;
  doc.SetFilterSettings(f);
  if (!doc.OpenHydFile(MillionParticleDay())) {
    state.SkipWithError("no day");
    return;
  }
  doc.ResetIntegration(1);
  doc.GetIntegrationSettings(1)->mode = FullTimeRange;
  QWidget window;
  auto *view =
      static_cast<CBigDSDView *>(CreateBigPane(BigPane::View, BigKind::Dsd, 0, &doc, &window));
  window.resize(1400, 700);
  view->resize(1400, 700);
  window.show();
  for (auto _ : state)
    view->OnRun();
  state.counters["particles"] = double(view->LastInterval().count);
}
BENCHMARK(BigViewFullTimeRangeRun)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
