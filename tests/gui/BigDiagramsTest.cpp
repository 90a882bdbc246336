// The enlarged velocity and oblateness diagrams in their frames: runs, Stop, the overlays, the
// rubber band and the calibration export.
#include "BigFrameTestSupport.h"
#include "CliRunner.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "statistics/CalibrationExport.h"
#include "statistics/DiagramCollection.h"
#include "statistics/HorizontalVelocityPlot.h"
#include "statistics/OblatenessPlot.h"
#include "statistics/VerticalVelocityPlot.h"
#include "synth/DayGenerator.h"
#include "views/BigFrameHost.h"
#include "views/CBigDSDView.h"
#include "views/CBigHVelView.h"
#include "views/CBigInfoView.h"
#include "views/CBigOblView.h"
#include "views/CBigVVelView.h"
#include "views/CDSDCtrlPanel.h"
#include "views/CHVelCtrlPanel.h"
#include "views/COblCtrlPanel.h"
#include "views/CSmallHVelView.h"
#include "views/CSmallOblView.h"
#include "views/CVVelCtrlPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

using namespace viewtest;

namespace {

const QColor BLACK(0, 0, 0);

QPushButton *ButtonOf(QWidget *panel, int id) {
  return panel->findChild<QPushButton *>(QString::number(id));
}

// The particles a diagram's run takes, read by a document of their own.
std::vector<HydRecord> AcceptedRecords(const std::string &path) {
  CPluvicamDoc d;
  FilterRecord f = FilterRecord::DocumentDefaults();
  f.endTime.hour = 24;
  d.SetFilterSettings(f);
  std::vector<HydRecord> records;
  if (d.OpenHydFile(path) != 1)
    return records;
  DiagramCollection collection(d, false);
  for (;;) {
    const auto outcome = collection.Next();
    if (outcome == DiagramCollection::Particle)
      records.push_back(*collection.Record());
    else if (outcome != DiagramCollection::Nothing)
      break;
  }
  return records;
}

void Click(QWidget *view, QEvent::Type type, QPoint at) {
  QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(view, &event);
}

} // namespace

class BigDiagramTest : public BigFrameTest {
protected:
  // A frame of `kind` with the real panes over the open document.
  template <class View, class Panel> void OpenFrame(BigKind kind, View *&view, Panel *&panel) {
    view = BigFrameTest::OpenFrame<View>(kind, {1000, 800});
    panel = qobject_cast<Panel *>(frame->Panel());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(panel, nullptr);
  }

  // Drops of 0.6 to 4.4 mm, falling and drifting as the sizes make them.
  void WriteVariedDay() {
    std::vector<synth::RainDrop> drops;
    for (int i = 0; i < 20; ++i) {
      const double d = 0.6 + 0.2 * i;
      drops.push_back(Drop(6 * 3600 + 1 + i, d, 9.65 - 10.3 * std::exp(-0.6 * d), 0.3 * (i % 7),
                           -0.2 * (i % 5)));
    }
    WriteDay(drops);
  }

  // A day busy enough that a run cannot end in one time slice.
  std::string WriteBusyDay() {
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = "busy";
    o.seed = 9;
    o.hours = 1;
    o.particles = 150000;
    return synth::GenerateDay(o).dataPath;
  }

  // The frame smaller and back, as a user drags its corner or restores it.
  void ResizeRoundTrip(const std::function<void()> &atSmallSize = [] {}) {
    frame->resize(640, 480);
    QApplication::processEvents();
    atSmallSize();
    frame->resize(1000, 800);
    QApplication::processEvents();
  }

  void OpenPath(const std::string &path) {
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.endTime.hour = 24;
    doc.SetFilterSettings(f);
    ASSERT_EQ(doc.OpenHydFile(path), 1);
  }
};

TEST_F(BigDiagramTest, VerticalVelocityRunPlotsEveryParticleAtTheScale) {
  WriteVariedDay();
  Open();
  const auto records = AcceptedRecords(Path("day1.hyd"));
  ASSERT_EQ(records.size(), 20u);
  CBigVVelView *view = nullptr;
  CVVelCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::VVel, view, panel);
  doc.SetViewFactor(2);

  // While the run goes, only Run (as Stop) is usable.
  std::vector<bool> enabledWhileRunning;
  QObject::connect(panel, &CVVelCtrlPanel::RunStateChanged, [&](bool running) {
    if (running)
      for (int id : {CVVelCtrlPanel::IDC_COMP, CVVelCtrlPanel::IDC_MAIN, CVVelCtrlPanel::IDC_HELP,
                     CVVelCtrlPanel::IDC_RUN})
        enabledWhileRunning.push_back(ButtonOf(panel, id)->isEnabled());
  });
  ButtonOf(panel, CVVelCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(enabledWhileRunning, (std::vector<bool>{false, false, false, true}));
  EXPECT_TRUE(panel->IsStopped()) << "the end of the data stops the run";
  EXPECT_FALSE(view->IsComputing());
  EXPECT_EQ(ButtonOf(panel, CVVelCtrlPanel::IDC_RUN)->text(), "Run");
  EXPECT_TRUE(ButtonOf(panel, CVVelCtrlPanel::IDC_COMP)->isEnabled());

  const IntegrationState &state = *doc.GetIntegrationState();
  EXPECT_EQ(state.count, 20);
  EXPECT_EQ(state.valid, 1);
  EXPECT_DOUBLE_EQ(state.startTim, records.front().tim);
  EXPECT_DOUBLE_EQ(state.endTim, records.back().tim);
  CBigInfoView *info = frame->RecordTable();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->TextAt(195, 95), "20") << "the record table's object count";

  for (const HydRecord &r : records) {
    const PlotPoint dot = VerticalVelocityPlot::Dot(r.diameter, r.velocity, 2);
    EXPECT_LT(dot.x, 2500) << "placed at 500 units per mm";
    EXPECT_TRUE(ColourNear(view->Image(), view->DevicePixel(QPointF(dot.x, dot.y)), BLACK, 0))
        << r.diameter << " mm, " << r.velocity << " m/s";
  }

  // Comp draws on the screen over the picture, not into it.
  const QImage before = view->grab().toImage();
  ButtonOf(panel, CVVelCtrlPanel::IDC_COMP)->click();
  EXPECT_TRUE(view->IsCompOn());
  const QImage after = view->grab().toImage();
  const double d = 3.0;
  const QPoint onFormula = view->DevicePixel(
      QPointF(500 * d, std::trunc(500 * VerticalVelocityPlot::FormulaVelocity(d))));
  EXPECT_FALSE(ColourNear(before, onFormula, QColor(192, 0, 0), 2));
  EXPECT_TRUE(ColourNear(after, onFormula, QColor(192, 0, 0), 2));
  const QPoint onMeasured = view->DevicePixel(QPointF(500 * 2.0, 500 * 6.49));
  EXPECT_TRUE(ColourNear(after, onMeasured, QColor(255, 255, 0), 2));
  EXPECT_FALSE(ColourNear(view->Image(), onMeasured, QColor(255, 255, 0), 2));

  // A new Run starts from the window start again; the dots are drawn anew.
  ButtonOf(panel, CVVelCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(doc.GetIntegrationState()->count, 20);
}

TEST_F(BigDiagramTest, StopKeepsTheDotsDrawnSoFar) {
  const std::string path = WriteBusyDay();
  OpenPath(path);
  CBigVVelView *view = nullptr;
  CVVelCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::VVel, view, panel);
  // Stop once the run has drawn something and lets the window messages through.
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (doc.GetIntegrationState()->count > 0) {
      watcher.stop();
      panel->OnRun();
    }
  });
  QObject::connect(panel, &CVVelCtrlPanel::RunStateChanged, [&](bool running) {
    if (running)
      watcher.start();
  });
  panel->OnRun();
  EXPECT_TRUE(panel->IsStopped());
  const int32_t count = doc.GetIntegrationState()->count;
  EXPECT_GT(count, 0);
  EXPECT_LT(size_t(count), AcceptedRecords(path).size()) << "stopped before the end";
  const QRect plot(view->DevicePixel({50, 11500}), view->DevicePixel({9950, 50}));
  EXPECT_GT(CountColour(view->Image(), plot, BLACK), 100) << "dots stay in the picture";
  EXPECT_GT(CountColour(view->grab().toImage(), plot, BLACK), 100) << "and on the screen";
  EXPECT_TRUE(view->IsIdle());
}

TEST_F(BigDiagramTest, HorizontalVelocityDotsAndTheSnowRefusal) {
  WriteVariedDay();
  Open();
  const auto records = AcceptedRecords(Path("day1.hyd"));
  CBigHVelView *view = nullptr;
  CHVelCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::HVel, view, panel);
  panel->OnRun();
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_EQ(doc.GetIntegrationState()->count, 20);
  int right = 0, below = 0;
  for (const HydRecord &r : records) {
    const PlotPoint dot = HorizontalVelocityPlot::Dot(r.hVelA, r.hVelB);
    right += dot.x > 0;
    below += dot.y > 0;
    EXPECT_TRUE(
        ColourNear(view->Image(), view->DevicePixel(QPointF(dot.x, dot.y)), QColor(255, 255, 0), 0))
        << r.hVelA << ", " << r.hVelB;
  }
  EXPECT_GT(right, 0);
  // x and y at one scale: the 10 m/s ring is as wide as it is high.
  const QPoint centre = view->DevicePixel({0, 0});
  const QPoint east = view->DevicePixel({1000, 0}), north = view->DevicePixel({0, 1000});
  EXPECT_NEAR(east.x() - centre.x(), centre.y() - north.y(), 1);
  EXPECT_LT(north.y(), centre.y()) << "y grows upwards";

  // A resize keeps the dots.
  frame->resize(900, 700);
  QApplication::processEvents();
  for (const HydRecord &r : records) {
    const PlotPoint dot = HorizontalVelocityPlot::Dot(r.hVelA, r.hVelB);
    EXPECT_TRUE(ColourNear(view->Image(), view->DevicePixel(QPointF(dot.x, dot.y)),
                           QColor(255, 255, 0), 0));
  }
}

namespace {
// A main window for small views: records which enlarged diagram they ask for.
class OpenerWindow : public QWidget, public BigFrameOpener {
public:
  void OpenBigFrame(const QString &titleWord, BigKind kind) override {
    opened.push_back({titleWord, kind});
  }
  std::vector<std::pair<QString, BigKind>> opened;
};
} // namespace

TEST_F(BigDiagramTest, SmallViewsOpenTheirEnlargedDiagramsButNotHorizontalForSnow) {
  WriteVariedDay();
  Open();
  OpenerWindow window;
  auto *hvel = new CSmallHVelView(&doc, &window);
  auto *obl = new CSmallOblView(&doc, &window);
  hvel->resize(200, 200);
  obl->resize(200, 200);
  for (QWidget *v : {static_cast<QWidget *>(hvel), static_cast<QWidget *>(obl)})
    Click(v, QEvent::MouseButtonDblClick, {50, 50});
  ASSERT_EQ(window.opened.size(), 2u);
  EXPECT_EQ(window.opened[0], std::make_pair(QString("Horizontal Velocity"), BigKind::HVel));
  EXPECT_EQ(window.opened[1], std::make_pair(QString("Oblateness vs Diameter"), BigKind::Obl));

  synth::DayOptions o;
  o.outDir = dir.string();
  o.name = "snow";
  o.hours = 0.1;
  o.snow = true;
  const std::string snow = synth::GenerateDay(o).dataPath;
  doc.CloseHydFile();
  ASSERT_EQ(doc.OpenHydFile(snow), 1);
  ASSERT_TRUE(doc.IsSno());
  messages.texts.clear();
  Click(hvel, QEvent::MouseButtonDblClick, {50, 50});
  EXPECT_EQ(window.opened.size(), 2u);
  EXPECT_EQ(messages.texts,
            std::vector<std::string>{"This diagram is not available for snow data!"});
}

TEST_F(BigDiagramTest, OblatenessScatterDistributionAndPanelStates) {
  WriteVariedDay();
  Open();
  const auto records = AcceptedRecords(Path("day1.hyd"));
  CBigOblView *view = nullptr;
  COblCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::Obl, view, panel);
  doc.SetViewFactor(5);
  panel->OnRun();
  for (const HydRecord &r : records) {
    const PlotPoint dot = OblatenessPlot::Dot(r.diameter, r.oblateness, 5);
    EXPECT_TRUE(ColourNear(view->Image(), view->DevicePixel(QPointF(dot.x, dot.y)), BLACK, 0));
  }
  // Models and marks lie on the screen only.
  ButtonOf(panel, COblCtrlPanel::IDC_COMP)->click();
  ButtonOf(panel, COblCtrlPanel::IDC_GRID)->click();
  const QImage shown = view->grab().toImage();
  const QPoint mark = view->DevicePixel({600 + 30, 1000}); // on the 3 mm cross's arm at scale 5
  EXPECT_TRUE(ColourNear(shown, mark, QColor(255, 255, 0), 1));
  EXPECT_FALSE(ColourNear(view->Image(), mark, QColor(255, 255, 0), 1));
  const QPoint pb = view->DevicePixel({200 * 8.0, 1000 * (1.03 - 0.062 * 8)});
  EXPECT_TRUE(ColourNear(shown, pb, QColor(0, 0, 192), 2));
  EXPECT_EQ(CBigOblView::LEGEND_RO.count(QChar(0xB2)), 1);
  EXPECT_EQ(CBigOblView::LEGEND_PB.count(QChar(0xB2)), 0);

  // N (H/W): Comp, Grid and Calibrate go; the run bins instead of plotting.
  ButtonOf(panel, COblCtrlPanel::IDC_DISTRIBUTION)->click();
  EXPECT_TRUE(view->IsDistribution());
  for (int id : {COblCtrlPanel::IDC_COMP, COblCtrlPanel::IDC_GRID, COblCtrlPanel::IDC_CALIBRATE})
    EXPECT_FALSE(ButtonOf(panel, id)->isEnabled()) << id;
  EXPECT_TRUE(ButtonOf(panel, COblCtrlPanel::IDC_HELP)->isEnabled());
  view->OnToggleComp(); // ignored outside the scatter
  EXPECT_TRUE(view->IsCompOn());
  panel->OnRun();
  OblatenessHistogram expected;
  for (const HydRecord &r : records)
    expected.Add(r.oblateness);
  for (int b = 0; b < OblatenessHistogram::BINS; ++b)
    EXPECT_EQ(view->Histogram().Count(b), expected.Count(b)) << b;
  const auto s = expected.Summarise();
  const QPoint top = view->DevicePixel({10.0 * s.maxBin + 5, 9900});
  EXPECT_TRUE(ColourNear(view->grab().toImage(), top, QColor(0, 192, 0), 1)) << "the highest bar";
  EXPECT_FALSE(ColourNear(view->Image(), top, QColor(0, 192, 0), 1));

  ButtonOf(panel, COblCtrlPanel::IDC_DISTRIBUTION)->click();
  EXPECT_FALSE(view->IsDistribution());
  EXPECT_TRUE(ButtonOf(panel, COblCtrlPanel::IDC_CALIBRATE)->isEnabled());
}

TEST_F(BigDiagramTest, RubberBandCalibrationAndExport) {
  WriteVariedDay();
  Open();
  const auto records = AcceptedRecords(Path("day1.hyd"));
  CBigOblView *view = nullptr;
  COblCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::Obl, view, panel);
  std::vector<double> offered;
  std::vector<QString> questions;
  QString savePath = QString::fromStdString(Path("CORR_IN.DAT"));
  CBigOblView::Dialogs dialogs;
  dialogs.chooseDiameter = [&](double d) {
    offered.push_back(d);
    return 4; // 3 mm
  };
  dialogs.askYesNo = [&](const QString &q) {
    questions.push_back(q);
    return true;
  };
  QString offeredPath;
  dialogs.askSavePath = [&](const QString &initial) {
    offeredPath = initial;
    return savePath;
  };
  view->SetDialogs(dialogs);

  panel->OnCalibrate();
  EXPECT_EQ(messages.texts, std::vector<std::string>{"No Calibration-Data selected"});
  EXPECT_TRUE(questions.empty());

  // Dragged from lower right to upper left, around the drops of 0.6 to 3.0 mm.
  const QPoint from = view->DevicePixel({3050, 500}), to = view->DevicePixel({550, 1400});
  Click(view, QEvent::MouseButtonPress, from);
  Click(view, QEvent::MouseMove, (from + to) / 2);
  Click(view, QEvent::MouseMove, to);
  Click(view, QEvent::MouseButtonRelease, to);
  ASSERT_EQ(offered.size(), 1u);
  const CalibEntry &e = view->Selection().Entries()[4];
  EXPECT_EQ(e.diameter, 3.0f);
  EXPECT_NEAR(e.left, 3050, 20) << "the drag start is left/top, as dragged";
  EXPECT_NEAR(e.top, 500, 5);
  EXPECT_NEAR(e.right, 550, 20);
  EXPECT_NEAR(e.bottom, 1400, 5);
  EXPECT_NEAR(offered[0], (e.left + e.right) / 2000.0, 1e-9);

  // After a run the document stands at the end of the data; the export still reads it all.
  panel->OnRun();
  messages.texts.clear();
  panel->OnCalibrate();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(
      questions[0].startsWith("Following Data will be processed\n\nDiameter: 3.0\tFrom: ("));
  EXPECT_TRUE(questions[0].endsWith("\n Write data to CORR_IN.dat?"));
  EXPECT_EQ(offeredPath, QString::fromStdString(Path("CORR_IN.DAT"))) << "beside the data";
  EXPECT_EQ(messages.texts,
            std::vector<std::string>{"Calibration data written to " + Path("CORR_IN.DAT")});
  messages.texts.clear();
  CalibrationExport expected(view->Selection().Entries(), 1);
  for (const HydRecord &r : records)
    expected.Add(r);
  EXPECT_GE(expected.RangeOf(4).count, 10);
  EXPECT_EQ(ReadWholeFile(Path("CORR_IN.DAT")), expected.Text());
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_FALSE(view->IsBusy());

  // A target that cannot be created: the message, nothing written, the frame usable again.
  savePath = QString::fromStdString(Path("missing/CORR_IN.DAT"));
  panel->OnCalibrate();
  EXPECT_EQ(messages.texts,
            std::vector<std::string>{"Create CORR_IN.DAT failed: " + Path("missing/CORR_IN.DAT") +
                                     ": No such file or directory"});
  EXPECT_TRUE(frame->isEnabled());
  // The data file and its index as the target: refused before the pass, both unchanged.
  for (const char *input : {"day1.hyd", "day1.hd"}) {
    const std::string before = ReadWholeFile(Path(input));
    messages.texts.clear();
    savePath = QString::fromStdString(Path(input));
    panel->OnCalibrate();
    ASSERT_EQ(messages.texts.size(), 1u) << input;
    EXPECT_EQ(messages.texts[0].rfind("Create CORR_IN.DAT failed: " + Path(input) + " is the ", 0),
              0u)
        << messages.texts[0];
    EXPECT_NE(messages.texts[0].find(Path("day1.hyd") + " that this run reads"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(Path(input)), before) << input;
  }
  // Cancel in the save dialog: no message, nothing written.
  savePath.clear();
  std::filesystem::remove(Path("CORR_IN.DAT"));
  std::string error;
  EXPECT_TRUE(view->SaveCalibData(error));
  EXPECT_EQ(error, "");
  EXPECT_FALSE(std::filesystem::exists(Path("CORR_IN.DAT")));
}

TEST_F(BigDiagramTest, AnInterruptedExportWritesNothing) {
  OpenPath(WriteBusyDay());
  CBigOblView *view = nullptr;
  COblCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::Obl, view, panel);
  CBigOblView::Dialogs dialogs;
  dialogs.chooseDiameter = [](double) { return 1; };
  dialogs.askYesNo = [](const QString &) { return true; };
  dialogs.askSavePath = [&](const QString &) { return QString::fromStdString(Path("C.DAT")); };
  view->SetDialogs(dialogs);
  const QPoint from = view->DevicePixel({500, 1500}), to = view->DevicePixel({1500, 500});
  Click(view, QEvent::MouseButtonPress, from);
  Click(view, QEvent::MouseButtonRelease, to);
  ASSERT_TRUE(view->Selection().Any());

  // The frame closing asks whether the view is idle, which ends the pass.
  bool asked = false;
  QTimer closing;
  closing.setInterval(0);
  QObject::connect(&closing, &QTimer::timeout, [&] {
    if (view->IsBusy()) {
      closing.stop();
      asked = true;
      EXPECT_FALSE(view->IsIdle());
    }
  });
  closing.start();
  panel->OnCalibrate();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(std::filesystem::exists(Path("C.DAT")));
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Nothing was written to " + Path("C.DAT") +
                                                     ": the reading was stopped before the end "
                                                     "of the data"});
  EXPECT_TRUE(view->IsIdle());
  EXPECT_TRUE(frame->isEnabled());
}

// What a run collected survives a new size and the oblateness mode, until the next Run.
TEST_F(BigDiagramTest, ResultsComeBackAfterAResizeRoundTrip) {
  WriteVariedDay();
  Open();
  const auto records = AcceptedRecords(Path("day1.hyd"));
  CBigVVelView *vvel = nullptr;
  CVVelCtrlPanel *vvelPanel = nullptr;
  OpenFrame(BigKind::VVel, vvel, vvelPanel);
  vvel->Start();
  vvel->OnToggle();
  QImage before = vvel->grab().toImage();
  ResizeRoundTrip([&] {
    for (const HydRecord &r : records) {
      const PlotPoint dot = VerticalVelocityPlot::Dot(r.diameter, r.velocity, 1);
      EXPECT_TRUE(ColourNear(vvel->Image(), vvel->DevicePixel(QPointF(dot.x, dot.y)), BLACK, 0));
    }
  });
  EXPECT_EQ(vvel->grab().toImage(), before);
  vvel->Start();
  EXPECT_EQ(vvel->Dots().Size(), 0u) << "a new Run starts again; the data had ended";

  doc.ResetData();
  doc.ResetIntegration(IntegrationKind::Dsd);
  doc.GetIntegrationSettings(IntegrationKind::Dsd).mode = IntegrationMode::FullTimeRange;
  CBigDSDView *dsd = nullptr;
  CDSDCtrlPanel *dsdPanel = nullptr;
  OpenFrame(BigKind::Dsd, dsd, dsdPanel);
  dsd->Start();
  ASSERT_FALSE(dsd->Bars().empty());
  dsd->OnToggle();
  ASSERT_TRUE(dsd->IsCompOn());
  before = dsd->grab().toImage();
  ResizeRoundTrip();
  EXPECT_EQ(dsd->grab().toImage(), before) << "bars and model curves";
}

TEST_F(BigDiagramTest, OblatenessKeepsDotsAndDistributionThroughResizeAndMode) {
  WriteVariedDay();
  Open();
  const auto records = AcceptedRecords(Path("day1.hyd"));
  CBigOblView *view = nullptr;
  COblCtrlPanel *panel = nullptr;
  OpenFrame(BigKind::Obl, view, panel);
  view->Start();
  const QImage scatter = view->grab().toImage();
  ResizeRoundTrip();
  EXPECT_EQ(view->grab().toImage(), scatter);

  // The same run seen as N(H/W), and back.
  view->OnToggleMode();
  OblatenessHistogram expected;
  for (const HydRecord &r : records)
    expected.Add(r.oblateness);
  for (int b = 0; b < OblatenessHistogram::BINS; ++b)
    EXPECT_EQ(view->Histogram().Count(b), expected.Count(b)) << b;
  const QImage distribution = view->grab().toImage();
  const QPoint top = view->DevicePixel({10.0 * expected.Summarise().maxBin + 5, 9900});
  EXPECT_TRUE(ColourNear(distribution, top, QColor(0, 192, 0), 1));
  ResizeRoundTrip();
  EXPECT_EQ(view->grab().toImage(), distribution);
  view->OnToggleMode();
  EXPECT_EQ(view->grab().toImage(), scatter);

  // A new Run clears both.
  doc.ResetData();
  view->Start();
  EXPECT_EQ(view->Dots().Size(), records.size());
  EXPECT_EQ(view->Histogram().Count(expected.Summarise().maxBin),
            expected.Count(expected.Summarise().maxBin));
}
