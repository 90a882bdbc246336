// A Run of each enlarged velocity and oblateness diagram through a day of about a million
// particles, in its frame and without a display, and the calibration export over the same day.
#include "../SyntheticDay.h"
#include "document/CPluvicamDoc.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "synth/DayGenerator.h"
#include "views/BigPanel.h"
#include "views/CBigOblView.h"
#include "views/CBigVVelView.h"
#include "views/CHVelCtrlPanel.h"
#include "views/COblCtrlPanel.h"
#include "views/CVVelCtrlPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int PARTICLES = 1000000;

std::string Day() {
  static const std::string path = SyntheticDay("big_diagram", PARTICLES, 1);
  return path;
}

struct Frame {
  CPluvicamDoc doc;
  std::unique_ptr<CBigFrame> frame;

  explicit Frame(BigKind kind) {
    FilterRecord filter = FilterRecord::DocumentDefaults();
    filter.endTime.hour = 24;
    doc.SetFilterSettings(filter);
    if (doc.OpenHydFile(Day()) != 1)
      return;
    frame = std::make_unique<CBigFrame>(kind, &doc, CreateBigPane);
    frame->resize(1400, 900);
    frame->show();
    QApplication::processEvents();
  }
};

template <class Panel> void RunDiagram(benchmark::State &state, BigKind kind, bool distribution) {
  Frame f(kind);
  auto *panel = f.frame ? qobject_cast<Panel *>(f.frame->Panel()) : nullptr;
  if (!panel) {
    state.SkipWithError("no frame");
    return;
  }
  if constexpr (std::is_same_v<Panel, COblCtrlPanel>)
    if (distribution)
      panel->OnToggleMode();
  for (auto _ : state)
    panel->OnRun(); // returns when the run has reached the end of the day
  state.counters["particles"] = f.doc.GetIntegrationState()->count;
}

void VerticalVelocityRun(benchmark::State &state) {
  RunDiagram<CVVelCtrlPanel>(state, BigKind::VVel, false);
}
void HorizontalVelocityRun(benchmark::State &state) {
  RunDiagram<CHVelCtrlPanel>(state, BigKind::HVel, false);
}
void OblatenessScatterRun(benchmark::State &state) {
  RunDiagram<COblCtrlPanel>(state, BigKind::Obl, false);
}
void OblatenessDistributionRun(benchmark::State &state) {
  RunDiagram<COblCtrlPanel>(state, BigKind::Obl, true);
}

void CalibrationExport(benchmark::State &state) {
  Frame f(BigKind::Obl);
  auto *view = f.frame ? qobject_cast<CBigOblView *>(f.frame->Diagram()) : nullptr;
  if (!view) {
    state.SkipWithError("no frame");
    return;
  }
  const std::string out = Day() + ".CORR_IN.DAT";
  CBigOblView::Dialogs dialogs;
  int next = 0;
  dialogs.chooseDiameter = [&](double) { return next; };
  dialogs.askYesNo = [](const QString &) { return true; };
  dialogs.askSavePath = [&](const QString &) { return QString::fromStdString(out); };
  view->SetDialogs(dialogs);
  // A rectangle around each of the first five standardised diameters.
  for (const double d : {0.5, 1.0, 1.5, 2.0, 3.0}) {
    const QPoint a = view->DevicePixel({d * 1000 - 100, 1300}),
                 b = view->DevicePixel({d * 1000 + 100, 700});
    QMouseEvent press(QEvent::MouseButtonPress, a, view->mapToGlobal(QPointF(a)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, b, view->mapToGlobal(QPointF(b)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QApplication::sendEvent(view, &release);
    ++next;
  }
  std::string error;
  for (auto _ : state)
    if (!view->SaveCalibData(error))
      state.SkipWithError(error.c_str());
  std::filesystem::remove(out);
}

void Mouse(QWidget *view, QEvent::Type type, QPoint at) {
  QMouseEvent event(type, at, view->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(view, &event);
}

// From a dot of the velocity diagram to its drop and back: the click that selects it (the
// nearest of the day's dots, the particle read for the record table), the double click that
// opens the drop view at it (contours, frame), and Main back to the diagram.
void DotToDropRoundTrip(benchmark::State &state) {
  Frame f(BigKind::VVel);
  auto *view = f.frame ? qobject_cast<CBigVVelView *>(f.frame->Diagram()) : nullptr;
  if (!view) {
    state.SkipWithError("no frame");
    return;
  }
  f.frame->Panel()->OnRun();
  const DiagramDot &dot = view->Dots().All()[view->Dots().Size() / 2];
  const QPoint at = view->DevicePixel(QPointF(dot.at.x, dot.at.y));
  for (auto _ : state) {
    Mouse(view, QEvent::MouseButtonPress, at);
    Mouse(view, QEvent::MouseButtonRelease, at);
    Mouse(view, QEvent::MouseButtonDblClick, at);
    CBigFrame *drop = f.frame->Nested();
    if (!drop) {
      state.SkipWithError("the drop view did not open");
      return;
    }
    QApplication::processEvents();
    drop->Panel()->OnMain();
    QApplication::processEvents();
  }
  state.counters["dots"] = double(view->Dots().Size());
}

BENCHMARK(DotToDropRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(VerticalVelocityRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(HorizontalVelocityRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(OblatenessScatterRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(OblatenessDistributionRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(CalibrationExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
