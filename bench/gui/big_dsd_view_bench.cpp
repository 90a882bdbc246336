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
  if (!OpenForWholeDayDsd(doc)) {
    state.SkipWithError("no day");
    return;
  }
  QWidget window;
  auto *view =
      static_cast<CBigDSDView *>(CreateBigPane(BigPane::View, BigKind::Dsd, 0, &doc, &window));
  window.resize(1400, 700);
  view->resize(1400, 700);
  window.show();
  for (auto _ : state)
    view->Start();
  state.counters["particles"] = double(view->LastInterval().count);
}
BENCHMARK(BigViewFullTimeRangeRun)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
