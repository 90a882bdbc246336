// Every enlarged frame under one contract: a panel of one base, its panes reached by type, Help
// and Main leaving through the frame's signals, and the frame closing only once idle.
#include "ViewTestSupport.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"
#include "views/BigDiagramView.h"
#include "views/BigPanel.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"
#include "views/CVVelCtrlPanel.h"

#include <QApplication>
#include <QPushButton>

using namespace viewtest;

namespace {

struct KindPages {
  BigKind kind;
  int helpPage;
  int mainId;
};

} // namespace

class BigFrameContract : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    WriteDay({Drop(6 * 3600 + 1, 1.0), Drop(6 * 3600 + 2, 2.0)});
    Open();
  }
};

TEST_F(BigFrameContract, EveryKindHelpsAndGoesBackThroughTheFrame) {
  const KindPages kinds[] = {
      {BigKind::RainRate, 61451, 1063}, {BigKind::Dsd, 61448, 1060},
      {BigKind::VVel, 61450, 1058},     {BigKind::HVel, 61449, 1069},
      {BigKind::Obl, 61453, 1072},      {BigKind::DropView, 61452, 1080},
  };
  for (const KindPages &k : kinds) {
    SCOPED_TRACE(CBigFrame::TitleWord(k.kind).toStdString());
    CBigFrame frame(k.kind, &doc, CreateBigPane);
    frame.resize(800, 600);
    frame.show();
    QApplication::processEvents();
    BigPanel *panel = frame.Panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(frame.RecordTable(), nullptr);
    if (k.kind == BigKind::DropView) {
      EXPECT_EQ(frame.Diagram(), nullptr);
      EXPECT_NE(frame.ParticleView(0), nullptr);
      EXPECT_NE(frame.ParticleView(1), nullptr);
    } else {
      EXPECT_NE(frame.Diagram(), nullptr);
      EXPECT_EQ(frame.ParticleView(0), nullptr);
    }

    std::vector<int> pages;
    int closes = 0;
    QObject::connect(&frame, &CBigFrame::HelpRequested, [&](int page) { pages.push_back(page); });
    QObject::connect(&frame, &CBigFrame::CloseRequested, [&] { ++closes; });
    panel->OnHelp();
    EXPECT_EQ(pages, std::vector<int>{k.helpPage});

    QPushButton *main = panel->Button(k.mainId);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->text(), "Main");
    main->click();
    EXPECT_FALSE(frame.isVisible()) << "Main hides the frame as closing it does";
    EXPECT_EQ(closes, 1) << "and hands it to the main window once";
  }
}

TEST_F(BigFrameContract, TheDataEndFinishesTheRunAndGivesTheButtonsBack) {
  CBigFrame frame(BigKind::VVel, &doc, CreateBigPane);
  frame.resize(800, 600);
  frame.show();
  QApplication::processEvents();
  auto *panel = qobject_cast<CVVelCtrlPanel *>(frame.Panel());
  ASSERT_NE(panel, nullptr);
  int finished = 0, closes = 0;
  QObject::connect(frame.Diagram(), &BigDiagramView::Finished, [&] { ++finished; });
  QObject::connect(&frame, &CBigFrame::CloseRequested, [&] { ++closes; });

  std::vector<bool> othersEnabled;
  QObject::connect(panel, &BigPanel::RunStateChanged, [&](bool running) {
    if (running)
      for (int id : {CVVelCtrlPanel::IDC_COMP, CVVelCtrlPanel::IDC_MAIN, CVVelCtrlPanel::IDC_HELP})
        othersEnabled.push_back(panel->Button(id)->isEnabled());
  });
  panel->OnRun();
  EXPECT_EQ(othersEnabled, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(panel->IsStopped()) << "the press returns with the run over";
  EXPECT_EQ(panel->Button(CVVelCtrlPanel::IDC_RUN)->text(), "Run");
  for (int id : {CVVelCtrlPanel::IDC_COMP, CVVelCtrlPanel::IDC_MAIN, CVVelCtrlPanel::IDC_HELP})
    EXPECT_TRUE(panel->Button(id)->isEnabled()) << id;
  EXPECT_TRUE(frame.CanClose());
  frame.close();
  EXPECT_EQ(closes, 1);
}
