// Exploring a day in the enlarged diagrams with the mouse: zoom and back, a dot to its drop and
// back, a span of the rain rate as the time window or a distribution, values under the cursor.
#include "BigFrameTestSupport.h"
#include "CliRunner.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "statistics/VerticalVelocityPlot.h"
#include "views/BigPanel.h"
#include "views/CBigDSDView.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"
#include "views/CBigRainIntensityView.h"
#include "views/CBigVVelView.h"
#include "views/CParticleCtrlPanel.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace viewtest;

namespace {
// Drops seven seconds apart from 06:00:01, each size falling at its terminal speed.
constexpr int DROPS = 30;
double ArrivalOf(int i) { return 6 * 3600 + 1 + 7 * i; }
} // namespace

class ExploreDiagramsTest : public BigFrameTest {
protected:
  void SetUp() override {
    BigFrameTest::SetUp();
    std::vector<synth::RainDrop> drops;
    for (int i = 0; i < DROPS; ++i) {
      const double d = 0.5 + 0.15 * i;
      drops.push_back(Drop(ArrivalOf(i), d, 9.65 - 10.3 * std::exp(-0.6 * d)));
    }
    WriteDay(drops);
    // Five minutes of window, so that a pixel of the time axis is well under a second.
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.startTime.hour = 6;
    f.endTime.hour = 6;
    f.endTime.minute = 5;
    doc.SetFilterSettings(f);
    ASSERT_EQ(doc.OpenHydFile(Path("day1.hyd")), 1);
  }
  static void Drag(QWidget *view, QPoint from, QPoint to) {
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  }
};

TEST_F(ExploreDiagramsTest, ZoomAndBackRestoreTheSamePixels) {
  auto *vvel = OpenFrame<CBigVVelView>(BigKind::VVel);
  ASSERT_NE(vvel, nullptr);
  frame->Panel()->OnRun();
  const QImage full = vvel->Image();

  // Around the small drops: 0.4 to 1.6 mm, 1 to 6 m/s.
  const QPoint from = vvel->DevicePixel({400, 6000}), to = vvel->DevicePixel({1600, 1000});
  Drag(vvel, from, to);
  ASSERT_TRUE(vvel->IsZoomed());
  EXPECT_NEAR(vvel->ShownArea().left(), 400, 15);
  EXPECT_NEAR(vvel->ShownArea().bottom(), 6000, 40);
  const QImage zoomed = vvel->Image();
  EXPECT_NE(zoomed, full);
  // Each dot of the region is drawn at its new place; one outside is not drawn at all.
  int inside = 0;
  for (const DiagramDot &dot : vvel->Dots().All()) {
    const QPointF at(dot.at.x, dot.at.y);
    if (vvel->ShownArea().contains(at)) {
      ++inside;
      EXPECT_EQ(QColor(zoomed.pixel(vvel->DevicePixel(at))), QColor(Qt::black)) << dot.diameter;
    }
  }
  EXPECT_GE(inside, 5);
  // The screen shows the zoomed picture.
  QImage onScreen = vvel->grab().toImage();
  EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), zoomed);

  // Zoom further, then back twice: Escape, then a double click on empty space.
  Drag(vvel, vvel->DevicePixel({600, 5000}), vvel->DevicePixel({1000, 2000}));
  const QImage deeper = vvel->Image();
  EXPECT_NE(deeper, zoomed);
  QTest::keyClick(vvel, Qt::Key_Escape);
  EXPECT_EQ(vvel->Image(), zoomed);
  QTest::mouseDClick(vvel, Qt::LeftButton, {}, vvel->DevicePixel({1550, 5900}));
  EXPECT_FALSE(vvel->IsZoomed());
  EXPECT_EQ(vvel->Image(), full);
  // The picture of a zoomed view is the zoomed view.
  Drag(vvel, from, to);
  EXPECT_EQ(diagrampicture::Render(vvel->PictureScene(), 1).convertToFormat(QImage::Format_RGB32),
            vvel->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(ExploreDiagramsTest, ADotLeadsToItsParticleAndTheDropViewAndBack) {
  auto *vvel = OpenFrame<CBigVVelView>(BigKind::VVel);
  ASSERT_NE(vvel, nullptr);
  frame->Panel()->OnRun();
  // A particle as the command-line tool lists it, with the same time window.
  const auto particles = CsvRows(TextLines(
      RunCli("particles --from 06:00 --to 06:05 " + Path("day1.hyd"), Path("err.txt")).out));
  ASSERT_EQ(particles.size(), size_t(DROPS));
  const auto &chosen = particles[17];
  const PlotPoint dot = VerticalVelocityPlot::Dot(std::stof(chosen.at("diameter")),
                                                  std::stof(chosen.at("velocity")), vvel->Scale());
  const QPoint at = vvel->DevicePixel(QPointF(dot.x, dot.y)) + QPoint(2, -1);

  // Hovering tells the values and the particle's time.
  QTest::mouseMove(vvel, at);
  const QString status = frame->StatusText();
  EXPECT_TRUE(status.contains("D = ") && status.contains("mm") && status.contains("m/s"))
      << status.toStdString();
  EXPECT_TRUE(status.contains(QString::fromStdString(chosen.at("time")).left(8)))
      << status.toStdString();

  // A click selects it: the record table shows that particle.
  QTest::mouseClick(vvel, Qt::LeftButton, {}, at);
  ASSERT_GE(vvel->SelectedDot(), 0);
  EXPECT_EQ(vvel->Dots().All()[size_t(vvel->SelectedDot())].position,
            std::stoi(chosen.at("startPos")));
  CBigInfoView *table = frame->RecordTable();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->TextAt(20, 133), "Particle");
  EXPECT_EQ(table->TextAt(195, 133).substr(0, 8), chosen.at("time").substr(0, 8));

  // A double click opens the drop view at it; its Main comes back to the diagram.
  QTest::mouseDClick(vvel, Qt::LeftButton, {}, at);
  CBigFrame *drop = frame->Nested();
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(drop->GetKind(), BigKind::DropView);
  EXPECT_FALSE(frame->isEnabled());
  ASSERT_NE(drop->RecordTable(), nullptr);
  EXPECT_EQ(drop->RecordTable()->TextAt(195, 95),
            QString::asprintf("%.2f mm", std::stod(chosen.at("diameter"))).toStdString());
  drop->Panel()->Button(CParticleCtrlPanel::IDC_MAIN)->click();
  QApplication::processEvents();
  EXPECT_EQ(frame->Nested(), nullptr);
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_EQ(vvel->Dots().Size(), size_t(DROPS)) << "the diagram is as it was";

  // Enter opens it too; a click on empty space clears the selection.
  QTest::keyClick(vvel, Qt::Key_Return);
  ASSERT_NE(frame->Nested(), nullptr);
  frame->Nested()->Panel()->Button(CParticleCtrlPanel::IDC_MAIN)->click();
  QApplication::processEvents();
  QTest::mouseClick(vvel, Qt::LeftButton, {}, vvel->DevicePixel({9000, 1000}));
  EXPECT_EQ(vvel->SelectedDot(), -1);
}

TEST_F(ExploreDiagramsTest, ASpanOfTheRainRateBecomesTheWindowOrADistribution) {
  auto *rain = OpenFrame<CBigRainIntensityView>(BigKind::RainRate);
  ASSERT_NE(rain, nullptr);
  frame->Panel()->OnRun();
  ASSERT_FALSE(rain->Segments().empty());
  QString offered;
  QString pick = QStringLiteral("setTimeWindow");
  rain->SetSpanMenu([&](QMenu &menu, QPoint) -> QAction * {
    offered = menu.actions().front()->text();
    for (QAction *a : menu.actions())
      if (a->objectName() == pick)
        return a;
    return nullptr;
  });
  // Fit: the data's extent fills the time axis.
  rain->FitToData();
  ASSERT_TRUE(rain->IsZoomed());
  EXPECT_LT(rain->DeviceOf(rain->Segments().front().startSec, 0).x(), rain->width() / 5);
  EXPECT_GT(rain->DeviceOf(rain->Segments().back().endSec, 0).x(), rain->width() * 3 / 4);

  // Below the time axis, from 06:00:33 to 06:01:28: the drops 5 to 12.
  const int below = rain->DeviceOf(0, 0).y() + 8;
  auto xOf = [&](double seconds) {
    return rain->DevicePixel(QPointF(rain->XAxis().LogicalOf(seconds), 0)).x();
  };
  const QPoint from(xOf(6 * 3600 + 33), below), to(xOf(6 * 3600 + 88), below);
  const TimeSpan span = rain->SpanBetween(from.x(), to.x());
  ASSERT_LE(std::abs(span.from - (6 * 3600 + 33)), 1);
  ASSERT_LE(std::abs(span.to - (6 * 3600 + 88)), 1);
  Drag(rain, from, to);
  EXPECT_EQ(offered.toStdString(), "Set time window to " + span.Text());
  EXPECT_EQ(doc.GetFilter().startTime.Seconds(), span.from);
  EXPECT_EQ(doc.GetFilter().endTime.Seconds(), span.to);
  EXPECT_TRUE(rain->ResetTime());
  EXPECT_EQ(doc.GetFilter().startTime.Seconds(), 6 * 3600);
  EXPECT_EQ(doc.GetFilter().endTime.Seconds(), 6 * 3600 + 300);

  // The distribution of the span alone, over its full time range.
  pick = QStringLiteral("spanDsd");
  rain->FitToData();
  const IntegrationMode modeBefore = doc.GetIntegrationSettings(IntegrationKind::Dsd).mode;
  Drag(rain, from, to);
  CBigFrame *nested = frame->Nested();
  ASSERT_NE(nested, nullptr);
  auto *dsd = qobject_cast<CBigDSDView *>(nested->Diagram());
  ASSERT_NE(dsd, nullptr);
  EXPECT_EQ(dsd->LastInterval().count, 8);
  nested->Panel()->OnMain();
  QApplication::processEvents();
  EXPECT_EQ(frame->Nested(), nullptr);
  EXPECT_EQ(doc.GetFilter().startTime.Seconds(), 6 * 3600);
  EXPECT_EQ(doc.GetIntegrationSettings(IntegrationKind::Dsd).mode, modeBefore);

  // A click on a step tells its interval and rate.
  const RateSegment &step = rain->Segments()[rain->Segments().size() / 2];
  const double middle = (step.startSec + step.endSec) / 2;
  QTest::mouseClick(rain, Qt::LeftButton, {}, rain->DeviceOf(middle, step.rate / 2));
  EXPECT_TRUE(frame->StatusText().startsWith("step ")) << frame->StatusText().toStdString();
  EXPECT_TRUE(frame->StatusText().contains(QString::number(double(step.rate), 'f', 2)));
}
