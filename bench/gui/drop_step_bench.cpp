// Step + of the drop view over a long stretch of particles that the filter passes over: the
// panel reads them in time slices between which the window takes its events.
#include "../SyntheticDay.h"
#include "document/CPluvicamDoc.h"
#include "synth/DayGenerator.h"
#include "synth/HydWriter.h"
#include "views/CParticleCtrlPanel.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int PARTICLES = 100000;
constexpr int32_t DAY = 1780272000;

// One-line drops, a few a second from 06:00 on.
std::string RejectedDay() {
  static const std::string path = [] {
    const std::string base = (BenchFolder() / "one_line_drops").string();
    synth::HydWriter writer(4);
    const MainHeader header = synth::TypicalMainHeader(DAY + 6 * 3600);
    writer.AddMainHeader(header);
    for (int p = 0; p < PARTICLES; ++p)
      synth::AddTinyDrop(writer, (6 * 3600 + p * 0.1) * header.lineFrequency);
    writer.Write(base + ".hyd", base + ".hd");
    return base + ".hyd";
  }();
  return path;
}

// A synthetic day of about as many drops of natural sizes and shapes.
std::string NaturalDay() {
  static const std::string path = SyntheticDay("drop_step_day", PARTICLES, 1);
  return path;
}

void StepOver(benchmark::State &state, const std::string &path) {
  CPluvicamDoc doc;
  FilterRecord filter = FilterRecord::DocumentDefaults();
  filter.endTime.hour = 24;
  filter.diamMin = 40; // nothing passes: Step + runs to the end of the file
  doc.SetFilterSettings(filter);
  std::string message;
  if (!doc.OpenHydFile(path, &message)) {
    state.SkipWithError(message.c_str());
    return;
  }
  CParticleCtrlPanel panel(&doc, nullptr);
  for (auto _ : state) {
    state.PauseTiming();
    doc.ResetData();
    state.ResumeTiming();
    panel.OnStepPlus();
    if (doc.GetStatus() != CPluvicamDoc::statusEndOfFile)
      state.SkipWithError("the step did not reach the end of the file");
  }
}

void StepOverRejected(benchmark::State &state) {
  StepOver(state, RejectedDay());
  state.SetItemsProcessed(state.iterations() * PARTICLES);
}
BENCHMARK(StepOverRejected)->Unit(benchmark::kMillisecond)->UseRealTime();

void StepOverRejectedNaturalDay(benchmark::State &state) { StepOver(state, NaturalDay()); }
BENCHMARK(StepOverRejectedNaturalDay)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
