// The drop view in the application: opened by a double click on the side view, with its
// buttons wired to the help page and back to the main window.
#include "ShellFixture.h"
#include "particle/CHydData.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "shell/CMainCtrlPanel.h"
#include "views/CBigParticleView.h"
#include "views/CParticleCtrlPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

namespace {
void DoubleClick(QWidget *w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent event(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}
} // namespace

using namespace shelltest;

TEST_F(AppTest, DoubleClickOnTheSideViewOpensTheDropView) {
  Start();
  frame->SetBigPaneFactory(CreateBigPane);
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(RainDay())));
  frame->GetCtrlPanel()->OnStepPlus();

  DoubleClick(frame->GetPane(Pane::Top));
  EXPECT_EQ(frame->GetBigFrame(), nullptr) << "the top view opens nothing";
  DoubleClick(frame->GetPane(Pane::Side));
  CBigFrame *big = frame->GetBigFrame();
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->GetKind(), BigKind::DropView);
  EXPECT_TRUE(big->windowTitle().contains("Drop View"));
  auto *panel = qobject_cast<CParticleCtrlPanel *>(big->Panel());
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(big->ParticleView(0), nullptr);
  ASSERT_NE(big->ParticleView(1), nullptr);
  EXPECT_EQ(big->ParticleView(0)->GetIndex(), 0);
  EXPECT_EQ(big->ParticleView(1)->GetIndex(), 1);

  app->SetProgramDir(QStringLiteral(PLUVICAM_SOURCE_DIR "/resources"));
  panel->findChild<QPushButton *>(ControlId(CParticleCtrlPanel::IDC_HELP))->click();
  ASSERT_NE(app->GetHelpWnd(), nullptr);
  EXPECT_TRUE(rec.TakeShown().empty()) << "the drop view's help page exists";

  panel->OnStepPlus();
  const int32_t shown = doc->GetHydHeader()->startPos;
  panel->findChild<QPushButton *>(ControlId(CParticleCtrlPanel::IDC_MAIN))->click(); // Main
  EXPECT_EQ(frame->GetBigFrame(), nullptr);
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_EQ(doc->GetHydHeader()->startPos, shown) << "the drop view keeps its position";
}
