// The enlarged drop size distribution in the application: opened by a double click on its small
// diagram, a Run from the window's start, help and the way back to the main window.
#include "ShellFixture.h"
#include "particle/CHydData.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "shell/CMainCtrlPanel.h"
#include "views/CBigDSDView.h"
#include "views/CDSDCtrlPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

using namespace shelltest;

TEST_F(AppTest, DoubleClickOnTheSmallDistributionOpensTheEnlargedOne) {
  Start();
  frame->SetBigPaneFactory(CreateBigPane);
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(RainDay())));
  frame->GetCtrlPanel()->OnStepPlus();
  frame->GetCtrlPanel()->OnStepPlus();
  const int32_t before = doc->GetHydHeader()->startPos;

  QWidget *small = frame->GetPane(Pane::Dsd);
  const QPointF at(small->width() / 2.0, small->height() / 2.0);
  QMouseEvent click(QEvent::MouseButtonDblClick, at, small->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(small, &click);
  CBigFrame *big = frame->GetBigFrame();
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->GetKind(), BigKind::Dsd);
  EXPECT_TRUE(big->windowTitle().contains("Dropsize Distribution"));
  auto *panel = qobject_cast<CDSDCtrlPanel *>(big->Panel());
  ASSERT_NE(panel, nullptr);
  ASSERT_EQ(big->ViewCount(), 1);
  auto *view = qobject_cast<CBigDSDView *>(big->Diagram());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusRejected) << "the initial update restarts";

  // The first Run starts at the window's start: the interval begins there.
  doc->ResetIntegration(IntegrationKind::Dsd);
  panel->findChild<QPushButton *>(ControlId(CDSDCtrlPanel::IDC_RUN))->click();
  EXPECT_EQ(view->LastInterval().end, DsdInterval::Complete);
  EXPECT_GT(view->LastInterval().count, 0);
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_TRUE(big->CanClose());

  app->SetProgramDir(QStringLiteral(PLUVICAM_SOURCE_DIR "/resources"));
  panel->findChild<QPushButton *>(ControlId(CDSDCtrlPanel::IDC_HELP))->click();
  ASSERT_NE(app->GetHelpWnd(), nullptr);
  EXPECT_TRUE(rec.TakeShown().empty()) << "the distribution's help page exists";

  panel->findChild<QPushButton *>(ControlId(CDSDCtrlPanel::IDC_MAIN))->click(); // Main
  EXPECT_EQ(frame->GetBigFrame(), nullptr);
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_EQ(doc->GetHydHeader()->startPos, before) << "the main window shows its particle again";
}
