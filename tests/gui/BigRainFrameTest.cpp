// The enlarged rain rate diagram in its frame, opened from the main window as a user does it.
#include "ShellFixture.h"
#include "shell/BigPaneFactory.h"
#include "shell/BigPicture.h"
#include "shell/CBigFrame.h"
#include "views/CBigInfoView.h"
#include "views/CBigRainIntensityView.h"
#include "views/CRainIntensityCtrlPanel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QPushButton>

using namespace shelltest;

namespace {

template <class Condition> bool Eventually(Condition done) {
  QDeadlineTimer deadline(20000);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

void DoubleClick(QWidget *w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent event(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

template <class T> T *Find(QWidget *parent) {
  for (QWidget *w : parent->findChildren<QWidget *>())
    if (auto *t = dynamic_cast<T *>(w))
      return t;
  return nullptr;
}

} // namespace

TEST_F(AppTest, DoubleClickOpensTheRainRateFrameWithItsParts) {
  Start();
  frame->SetBigPaneFactory(BigPanesWithTipSize([this] { return app->GetStoredFilter().tipSize; }));
  // Without a file nothing opens.
  DoubleClick(frame->GetPane(Pane::RainIntensity));
  EXPECT_EQ(frame->GetBigFrame(), nullptr);

  // Half an hour of rain: enough for the gauge to tip a few times.
  synth::DayOptions options;
  options.outDir = dir.path().toStdString();
  options.name = "half";
  options.hours = 0.5;
  options.particles = 4000;
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(synth::GenerateDay(options).dataPath)));
  DoubleClick(frame->GetPane(Pane::Top)); // not a diagram
  EXPECT_EQ(frame->GetBigFrame(), nullptr);
  DoubleClick(frame->GetPane(Pane::RainIntensity));
  CBigFrame *big = frame->GetBigFrame();
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->GetKind(), BigKind::RainRate);
  EXPECT_TRUE(big->windowTitle().contains("Rainrate versus Time"));
  auto *info = Find<CBigInfoView>(big);
  auto *panel = qobject_cast<CRainIntensityCtrlPanel *>(big->Panel());
  auto *view = Find<CBigRainIntensityView>(big);
  ASSERT_TRUE(info && panel && view);
  EXPECT_EQ(info->GetKind(), BigKind::RainRate);

  panel->OnRun();
  EXPECT_FALSE(view->Segments().empty());
  EXPECT_GT(doc->GetIntegrationSettings(IntegrationKind::RainRate).result, 0);
  // The gauge's size per tip comes from the stored settings (0.2 mm on a first start).
  panel->OnTip();
  ASSERT_TRUE(view->TipShown());
  ASSERT_GT(view->GetTipCurve().tipCount, 1);
  EXPECT_FLOAT_EQ(view->GaugeTotal(), float(view->GetTipCurve().tipCount * double(0.2f)));

  // Help shows the rain rate page.
  app->SetProgramDir(QStringLiteral(PLUVICAM_SOURCE_DIR "/resources"));
  panel->findChild<QPushButton *>(ControlId(CRainIntensityCtrlPanel::IDC_HELP))->click();
  EXPECT_TRUE(rec.TakeShown().empty());
  ASSERT_NE(app->GetHelpWnd(), nullptr);

  // Main goes back; the main window is usable again.
  panel->findChild<QPushButton *>(ControlId(CRainIntensityCtrlPanel::IDC_MAIN))->click();
  EXPECT_TRUE(Eventually([&] { return frame->GetBigFrame() == nullptr; }));
  EXPECT_TRUE(frame->isEnabled());
}

TEST_F(AppTest, PictureModeRunsAndShowsTheGauge) {
  Start();
  frame->SetBigPaneFactory(BigPanesWithTipSize([this] { return app->GetStoredFilter().tipSize; }));
  QCommandLineParser parser;
  bigpicture::AddOptions(parser);
  parser.process(QStringList{"pluvicam", "--big", "rain-rate", "--tip"});
  EXPECT_TRUE(bigpicture::CheckOptions(parser).isEmpty());
  QString error;
  EXPECT_EQ(bigpicture::Prepare(*app, parser, error), nullptr) << "no file open";
  EXPECT_FALSE(error.isEmpty());
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(RainDay(400))));
  QWidget *picture = bigpicture::Prepare(*app, parser, error);
  ASSERT_NE(picture, nullptr) << error.toStdString();
  auto *view = Find<CBigRainIntensityView>(picture);
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(view->Segments().empty());
  EXPECT_TRUE(view->TipShown());
  EXPECT_FALSE(picture->grab().isNull());
}
