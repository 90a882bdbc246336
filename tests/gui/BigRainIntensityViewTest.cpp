// The enlarged rain rate diagram with its panel and record table, as a user drives them.
#include "ViewTestSupport.h"
#include "statistics/RainRateRun.h"
#include "statistics/TipCurve.h"
#include "statistics/TipFile.h"
#include "synth/DayGenerator.h"
#include "views/CBigInfoView.h"
#include "views/CBigRainIntensityView.h"
#include "views/CIntegrationDlg.h"
#include "views/CRainIntensityCtrlPanel.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <fstream>
#include <unistd.h>

using viewtest::ColourNear;
using viewtest::CountColour;
using viewtest::Messages;

namespace {

class BigRainTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir = std::filesystem::temp_directory_path() / ("pluvicam-bigrain-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = "day";
    o.seed = 5;
    o.hours = 1;
    day = new synth::DayResult(synth::GenerateDay(o));
  }
  static void TearDownTestSuite() {
    delete day;
    std::filesystem::remove_all(dir);
  }

  void SetUp() override {
    doc = std::make_unique<CPluvicamDoc>(&messages);
    FilterRecord filter = FilterRecord::DocumentDefaults();
    filter.startTime.hour = 6;
    filter.endTime.hour = 7;
    doc->SetFilterSettings(filter);
    ASSERT_EQ(doc->OpenHydFile((dir / "day.hyd").string()), 1);
    frame = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(frame.get());
    info = new CBigInfoView(doc.get(), frame.get());
    info->SetKind(BigKind::RainRate);
    panel = new CRainIntensityCtrlPanel(doc.get(), frame.get());
    view = new CBigRainIntensityView(doc.get(), frame.get());
    panel->Attach({view}, info);
    layout->addWidget(info, 1);
    layout->addWidget(panel);
    layout->addWidget(view, 4);
    frame->resize(900, 800);
    frame->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    frame.reset();
    doc.reset();
  }

  // The run in process, particle by particle, as the view should have done it.
  RainRateRun Expected(IntegrationMode mode, float rain, float time) {
    CPluvicamDoc other;
    FilterRecord filter;
    doc->GetFilterSettings(filter);
    other.SetFilterSettings(filter);
    EXPECT_EQ(other.OpenHydFile((dir / "day.hyd").string()), 1);
    RainRateRun run(mode, rain, time);
    int status = 0;
    while (CHydData *p = other.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status)) {
      if (status != CPluvicamDoc::statusAccepted)
        continue;
      const HydRecord &h = *p->GetHydHeader();
      run.Add(h.tim, h.mainHeader->lineFrequency, RainRateRun::RainOf(h.volume, h.area));
    }
    return run;
  }

  bool HasColour(QColor colour) const {
    const QImage &image = view->Image();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == colour)
          return true;
    return false;
  }

  QPushButton *Button(int id) const { return panel->findChild<QPushButton *>(QString::number(id)); }

  static std::filesystem::path dir;
  static synth::DayResult *day;
  Messages messages;
  std::unique_ptr<CPluvicamDoc> doc;
  std::unique_ptr<QWidget> frame;
  CBigInfoView *info = nullptr;
  CRainIntensityCtrlPanel *panel = nullptr;
  CBigRainIntensityView *view = nullptr;
};

std::filesystem::path BigRainTest::dir;
synth::DayResult *BigRainTest::day = nullptr;

} // namespace

TEST_F(BigRainTest, RunByRainDrawsTheRunsSegmentsAndTheTotal) {
  EXPECT_EQ(view->Axis().AxisStart(), 6 * 3600);
  EXPECT_EQ(view->Axis().AxisEnd(), 7 * 3600);
  EXPECT_FALSE(HasColour(QColor(192, 0, 0)));
  Button(CRainIntensityCtrlPanel::IDC_RUN)->click();
  // The press returns when the run is over, and the panel is idle again.
  EXPECT_TRUE(panel->IsIdle());
  EXPECT_EQ(Button(CRainIntensityCtrlPanel::IDC_RUN)->text(), "Run");
  EXPECT_TRUE(Button(CRainIntensityCtrlPanel::IDC_TIP)->isEnabled());
  EXPECT_FALSE(view->Computing());

  const RainRateRun expected = Expected(IntegrationMode::Rain, 0.05f, 15.0f);
  ASSERT_GT(expected.Segments().size(), 3u);
  ASSERT_EQ(view->Segments().size(), expected.Segments().size());
  for (size_t i = 0; i < expected.Segments().size(); ++i) {
    EXPECT_EQ(view->Segments()[i].startSec, expected.Segments()[i].startSec);
    EXPECT_EQ(view->Segments()[i].y, expected.Segments()[i].y);
  }
  EXPECT_EQ(view->RatePoints().size(), 2 * expected.Segments().size());
  const IntegrationSettings &r = doc->GetIntegrationSettings(IntegrationKind::RainRate);
  EXPECT_FLOAT_EQ(r.result, expected.Total());
  const IntegrationState &state = *doc->GetIntegrationState();
  EXPECT_EQ(state.valid, 1);
  EXPECT_EQ(state.startTim, expected.FirstTim());
  EXPECT_EQ(state.endTim, expected.LastTim());
  char nimbal[64];
  std::snprintf(nimbal, sizeof nimbal, "Nimbal: %.2f mm", double(r.result));
  EXPECT_EQ(info->TextAt(200, 171), nimbal);
  EXPECT_EQ(info->TextAt(210, 133), "Rain (0.05 mm)");
  EXPECT_TRUE(HasColour(QColor(192, 0, 0)));
  // A second Run starts over at the window's start and gives the same curve.
  Button(CRainIntensityCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(view->Segments().size(), expected.Segments().size());
}

TEST_F(BigRainTest, RunByTimeAndStopHalfway) {
  IntegrationSettings &r = doc->GetIntegrationSettings(IntegrationKind::RainRate);
  r.mode = IntegrationMode::Time;
  r.timeInterval = 60;
  panel->OnRun();
  const RainRateRun expected = Expected(IntegrationMode::Time, 0.05f, 60.0f);
  ASSERT_EQ(view->Segments().size(), expected.Segments().size());
  EXPECT_EQ(info->TextAt(210, 133), "Time (60 sec)");

  // Stop pressed while the run goes: it ends early, idle, with the curve so far.
  QTimer::singleShot(0, panel, [this] { panel->OnRun(); });
  panel->OnRun();
  EXPECT_TRUE(panel->IsIdle());
  EXPECT_LT(view->Segments().size(), expected.Segments().size());
  EXPECT_TRUE(view->IsIdle());

  // Run pressed again while the stopped run still finishes: ignored, the panel stays idle.
  QTimer::singleShot(0, panel, [this] {
    panel->OnRun();
    panel->OnRun();
  });
  panel->OnRun();
  EXPECT_TRUE(panel->IsIdle());
  EXPECT_EQ(Button(CRainIntensityCtrlPanel::IDC_RUN)->text(), "Run");
}

TEST_F(BigRainTest, TipShowsTheGaugeAndItsTotal) {
  panel->OnRun();
  Button(CRainIntensityCtrlPanel::IDC_TIP)->click();
  ASSERT_TRUE(messages.texts.empty()) << messages.texts.front();
  ASSERT_TRUE(view->TipShown());
  EXPECT_FALSE(view->TipList().empty());
  const TipCurve &curve = view->GetTipCurve();
  ASSERT_TRUE(curve.found);
  EXPECT_FLOAT_EQ(view->GaugeTotal(), float(curve.tipCount * double(0.1f)));
  EXPECT_FLOAT_EQ(doc->GetIntegrationSettings(IntegrationKind::RainRate).gaugeTotal,
                  view->GaugeTotal());
  char tip[32];
  std::snprintf(tip, sizeof tip, "Tip: %.1f mm", double(view->GaugeTotal()));
  EXPECT_EQ(info->TextAt(550, 171), tip);
  EXPECT_TRUE(HasColour(QColor(0, 0, 192)));

  // The settings' tip size scales the gauge.
  view->SetTipSizeSource([] { return 0.2f; });
  view->Reset();
  EXPECT_FLOAT_EQ(view->GaugeTotal(), float(curve.tipCount * 0.2));

  panel->OnTip();
  EXPECT_FALSE(view->TipShown());
  EXPECT_EQ(doc->GetIntegrationSettings(IntegrationKind::RainRate).gaugeTotal, -1.0f);
  EXPECT_EQ(info->TextAt(550, 171), "");
  EXPECT_FALSE(HasColour(QColor(0, 0, 192)));
}

TEST_F(BigRainTest, MissingTipFileIsAMessageAndTheNextTipTriesAgain) {
  const auto tip = dir / "day.tip", away = dir / "day.tip.away";
  std::filesystem::rename(tip, away);
  panel->OnTip();
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "no tip-file available");
  EXPECT_FALSE(view->TipShown());
  std::filesystem::rename(away, tip);
  panel->OnTip();
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_TRUE(view->TipShown());
}

TEST_F(BigRainTest, ScaleDefaultAndIdle) {
  EXPECT_EQ(view->Axis().RateMax(), 50);
  Button(CRainIntensityCtrlPanel::IDC_SCALE_UP)->click();
  EXPECT_EQ(view->Axis().RateMax(), 100);
  for (int i = 0; i < 6; ++i)
    panel->OnScaleDown();
  EXPECT_EQ(view->Axis().RateMax(), 5);

  panel->OnRun();
  ASSERT_FALSE(view->RatePoints().empty());
  IntegrationSettings &r = doc->GetIntegrationSettings(IntegrationKind::RainRate);
  r.mode = IntegrationMode::Time;
  r.rainInterval = 1;
  Button(CRainIntensityCtrlPanel::IDC_DEFAULT)->click();
  EXPECT_TRUE(view->RatePoints().empty());
  EXPECT_EQ(r.mode, IntegrationMode::Rain);
  EXPECT_FLOAT_EQ(r.rainInterval, 0.05f);
  EXPECT_EQ(r.result, 0);
  EXPECT_TRUE(view->IsIdle());

  // The integration dialog of this panel offers only Rain and Time.
  CIntegrationDlg &dialog = panel->Dialog();
  dialog.SetAllModesAllowed(false);
  dialog.SetMode(IntegrationMode::Objects);
  dialog.OnInitDialog();
  EXPECT_FALSE(
      dialog.findChild<QWidget *>(ControlId(CIntegrationDlg::IDC_OBJECTS_CHECK))->isEnabled());
  EXPECT_FALSE(
      dialog.findChild<QWidget *>(ControlId(CIntegrationDlg::IDC_FULL_CHECK))->isEnabled());
  // Its messages reach the user through the document.
  dialog.SetMode(IntegrationMode::Rain);
  dialog.SetRain(6);
  dialog.OnInitDialog();
  EXPECT_FALSE(dialog.OnOK());
  ASSERT_FALSE(messages.texts.empty());
  EXPECT_EQ(messages.texts.back(), "Rain Integration Interval\nmust be between\n0.05 and 5 mm !!!");
}

TEST_F(BigRainTest, CurvesAboveTheScaleStayInThePlotAndMarkTheTopEdge) {
  for (int i = 0; i < 6; ++i)
    panel->OnScaleDown();
  ASSERT_EQ(view->Axis().RateMax(), 5);
  const QColor rate(192, 0, 0), gauge(0, 0, 192);
  const int Y = view->Axis().Y();
  const int topEdge = view->DeviceOf(view->Axis().AxisStart(), Y / 10.0).y();
  // Above the marks, up to the title, no curve may show.
  auto colourAboveMarks = [&](const QImage &image, QColor colour) {
    return CountColour(image, QRect(0, 0, image.width(), topEdge - 8), colour);
  };
  auto markAt = [&](const QImage &image, const RateSegment &s, QColor colour) {
    const int x = view->DeviceOf((s.startSec + s.endSec) / 2, 0).x();
    return ColourNear(image, QPoint(x, topEdge - 3), colour, 1);
  };

  panel->OnRun();
  const auto above = std::find_if(view->Segments().begin(), view->Segments().end(),
                                  [&](const RateSegment &s) { return s.y > Y; });
  ASSERT_NE(above, view->Segments().end()) << "the day rains harder than 5 mm/h";
  EXPECT_EQ(colourAboveMarks(view->Image(), rate), 0);
  EXPECT_TRUE(markAt(view->Image(), *above, rate));

  Button(CRainIntensityCtrlPanel::IDC_TIP)->click();
  ASSERT_TRUE(view->TipShown());
  const auto &tips = view->GetTipCurve().segments;
  const auto gaugeAbove =
      std::find_if(tips.begin(), tips.end(), [&](const RateSegment &s) { return s.y > Y; });
  ASSERT_NE(gaugeAbove, tips.end()) << "the gauge too";
  EXPECT_EQ(colourAboveMarks(view->Image(), gauge), 0) << "the gauge's curve runs into the title";
  EXPECT_TRUE(markAt(view->Image(), *gaugeAbove, gauge));
}
