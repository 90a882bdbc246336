// What an enlarged diagram has collected survives a new size and, for the oblateness, a change
// of mode: the picture comes back as it was, until the next Run.
#include "ViewTestSupport.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "statistics/OblatenessPlot.h"
#include "statistics/VerticalVelocityPlot.h"
#include "views/CBigDSDView.h"
#include "views/CBigOblView.h"
#include "views/CBigVVelView.h"
#include "views/COblCtrlPanel.h"

#include <QApplication>
#include <functional>
#include <memory>

using namespace viewtest;

namespace {
const QColor BLACK(0, 0, 0), GREEN(0, 192, 0);
} // namespace

class KeptResults : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    std::vector<synth::RainDrop> drops;
    for (int i = 0; i < 20; ++i) {
      const double d = 0.6 + 0.2 * i;
      drops.push_back(Drop(6 * 3600 + 1 + i, d, 9.65 - 10.3 * std::exp(-0.6 * d), 0.3 * (i % 7),
                           -0.2 * (i % 5)));
    }
    WriteDay(drops);
    Open();
    int status = 0;
    while (CHydData *p = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status))
      if (status == CPluvicamDoc::statusAccepted)
        records.push_back(*p->GetHydHeader());
    ASSERT_EQ(records.size(), 20u);
    doc.ResetData();
  }
  void TearDown() override {
    frame.reset();
    ViewTest::TearDown();
  }

  template <class View> View *OpenFrame(BigKind kind) {
    frame = std::make_unique<CBigFrame>(kind, &doc, nullptr, CreateBigPane);
    frame->resize(1000, 800);
    frame->show();
    QApplication::processEvents();
    return dynamic_cast<View *>(frame->GetViews().at(0));
  }
  // The frame smaller and back, as a user drags its corner or restores it.
  void ResizeRoundTrip(std::function<void()> atSmallSize = {}) {
    frame->resize(640, 480);
    QApplication::processEvents();
    if (atSmallSize)
      atSmallSize();
    frame->resize(1000, 800);
    QApplication::processEvents();
  }
  static QImage Shown(QWidget *view) { return view->grab().toImage(); }

  std::vector<HydRecord> records;
  std::unique_ptr<CBigFrame> frame;
};

TEST_F(KeptResults, VelocityDotsComeBackAfterAResize) {
  auto *view = OpenFrame<CBigVVelView>(BigKind::VVel);
  ASSERT_NE(view, nullptr);
  view->OnRunMessage();
  view->OnToggle();
  const QImage before = Shown(view);
  ResizeRoundTrip([&] {
    for (const HydRecord &r : records) {
      const PlotPoint dot = VerticalVelocityPlot::Dot(r.diameter, r.velocity, 1);
      EXPECT_TRUE(ColourNear(view->Image(), view->DevicePixel(QPointF(dot.x, dot.y)), BLACK, 0));
    }
  });
  EXPECT_EQ(Shown(view), before);
  // A new Run starts the picture again: the dots of one run, not of two.
  view->OnRunMessage();
  EXPECT_EQ(view->Dots().Size(), 0u) << "the document stood at the end of the data";
}

TEST_F(KeptResults, OblatenessKeepsDotsAndDistributionThroughResizeAndMode) {
  auto *view = OpenFrame<CBigOblView>(BigKind::Obl);
  ASSERT_NE(view, nullptr);
  view->OnRunMessage();
  const QImage scatter = Shown(view);
  ResizeRoundTrip();
  EXPECT_EQ(Shown(view), scatter);

  // The same run seen as N(H/W), and back.
  view->OnToggleMode();
  OblatenessHistogram expected;
  for (const HydRecord &r : records)
    expected.Add(r.oblateness);
  for (int b = 0; b < OblatenessHistogram::BINS; ++b)
    EXPECT_EQ(view->Histogram().Count(b), expected.Count(b)) << b;
  const int maxBin = expected.Summarise().maxBin;
  const QImage distribution = Shown(view);
  EXPECT_TRUE(ColourNear(distribution, view->DevicePixel({10.0 * maxBin + 5, 9900}), GREEN, 1));
  ResizeRoundTrip();
  EXPECT_EQ(Shown(view), distribution);
  view->OnToggleMode();
  EXPECT_EQ(Shown(view), scatter);

  // A new Run clears both.
  doc.ResetData();
  view->OnRunMessage();
  EXPECT_EQ(view->Dots().Size(), records.size());
  int counted = 0;
  for (int b = 0; b < OblatenessHistogram::BINS; ++b)
    counted += int(view->Histogram().Count(b));
  EXPECT_EQ(counted, int(records.size()));
}

TEST_F(KeptResults, DropSizeBarsAndModelsComeBackAfterAResize) {
  auto *view = OpenFrame<CBigDSDView>(BigKind::Dsd);
  ASSERT_NE(view, nullptr);
  doc.ResetIntegration(1);
  doc.GetIntegrationSettings(1)->mode = FullTimeRange;
  view->OnRun();
  ASSERT_FALSE(view->Bars().empty());
  view->OnToggle();
  ASSERT_TRUE(view->IsCompOn());
  const QImage before = Shown(view);
  ResizeRoundTrip();
  EXPECT_EQ(Shown(view), before);
}
