#include "ShellFixture.h"
#include "document/CHydDataHandler.h"
#include "particle/CHydData.h"
#include "shell/CBigFrame.h"
#include "shell/CMainCtrlPanel.h"
#include "shell/CManualWnd.h"
#include "shell/CSplashWnd.h"
#include "shell/CStatusDlg.h"
#include "shell/MainLayout.h"
#include "views/BigPanel.h"
#include "views/HelpPages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>

#include <QTextBrowser>
#include <QToolBar>
#include <cmath>
#include <fstream>

using namespace shelltest;

namespace {

// Lets queued events and timers run until `done` holds; gives up after a generous while so a
// fault fails the test instead of hanging it.
template <class Condition> bool WaitFor(Condition done) {
  QDeadlineTimer deadline(20000);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

} // namespace

TEST(MainLayout, WorkedExample) {
  const MainLayout l = ComputeMainLayout(1000, 700, 20, 28, 19);
  EXPECT_EQ(l.H, 633);
  EXPECT_EQ(l.topH, 171);
  EXPECT_EQ(l.fifthW, 193);
  EXPECT_EQ(l.halfW, 496);
  EXPECT_EQ(l.quarterW, 244);
  EXPECT_EQ(l.gridH, 231);
}

TEST(MainLayout, TruncationAndSmallClients) {
  // 37 x 0.27027027027027023 lies just below 10.
  EXPECT_EQ(ComputeMainLayout(100, 37, 0, 0, 0).topH, 9);
  EXPECT_EQ(ComputeMainLayout(100, 74, 0, 0, 0).topH, 19);
  const MainLayout tiny = ComputeMainLayout(5, 30, 20, 28, 19);
  EXPECT_EQ(tiny.H, 0);
  EXPECT_EQ(tiny.topH, 0);
  EXPECT_EQ(tiny.halfW, 0);
  EXPECT_EQ(tiny.fifthW, 0);
  EXPECT_EQ(tiny.quarterW, 0);
  EXPECT_EQ(tiny.gridH, 0);
  const BigLayout big = ComputeBigLayout(1000, 701);
  EXPECT_EQ(big.topH, 140);
  EXPECT_EQ(big.infoW, 666);
  EXPECT_EQ(big.halfW, 500);
}

TEST_F(AppTest, GridFollowsTheLayoutRule) {
  Start();
  frame->resize(1000, 700 + frame->menuBar()->height());
  const MainLayout &l = frame->GetLayout();
  ASSERT_EQ(l.W, 1000);
  ASSERT_GT(l.fifthW, MIN_PANE_SIZE);
  for (Pane p : {Pane::RainIntensity, Pane::Dsd, Pane::VVel, Pane::HVel})
    EXPECT_EQ(frame->GetPane(p)->width(), l.fifthW);
  EXPECT_EQ(frame->GetPane(Pane::RainIntensity)->height(), l.topH);
  for (Pane p : {Pane::Side, Pane::Info})
    EXPECT_EQ(frame->GetPane(p)->width(), l.quarterW);
  EXPECT_EQ(frame->GetPane(Pane::Side)->height(), l.gridH);
  EXPECT_EQ(frame->GetPane(Pane::Top)->height(), l.gridH);
  // The particle grid is halfW wide; the panel takes the rest.
  const QWidget *grid = frame->findChild<QSplitter *>("ParticleGrid");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->width(), l.halfW);
  EXPECT_EQ(l.H, 700 - frame->statusBar()->height() - frame->GetToolBar()->height() -
                     frame->menuBar()->height());

  // Hiding the status bar gives its height to the grid.
  const int before = l.H;
  frame->statusBar()->hide();
  frame->RecalcLayout();
  EXPECT_GT(frame->GetLayout().H, before);
}

TEST_F(AppTest, ControlPanelFitsItsPaneFrom1000x700Up) {
  Start();
  auto *pane = frame->findChild<QScrollArea *>("CMainCtrlPanelPane");
  ASSERT_NE(pane, nullptr);
  QWidget *type = frame->GetCtrlPanel()->findChild<QWidget *>(ControlId(CMainCtrlPanel::IDC_TYPE));
  ASSERT_NE(type, nullptr);
  frame->show();
  for (const QSize size : {QSize(1000, 700), QSize(1280, 800), QSize(1920, 1080)}) {
    frame->resize(size);
    QCoreApplication::processEvents();
    EXPECT_FALSE(pane->verticalScrollBar()->isVisible()) << size.width();
    EXPECT_FALSE(pane->horizontalScrollBar()->isVisible()) << size.width();
    // The last row of the form, "Hydrometeor Type", lies wholly inside the pane.
    const QRect shown(type->mapTo(pane->viewport(), QPoint(0, 0)), type->size());
    EXPECT_TRUE(pane->viewport()->rect().contains(shown)) << size.width();
  }
  // On a large screen the fields keep a sensible width.
  EXPECT_LT(type->width(), 300);
  EXPECT_LT(
      frame->GetCtrlPanel()->findChild<QWidget *>(ControlId(CMainCtrlPanel::IDC_RUN))->width(),
      300);
}

TEST_F(AppTest, FramePartsAndPageFiles) {
  Start();
  EXPECT_EQ(frame->GetToolBar()->actions().size(), 5) << "Open, a gap, Fast, a gap, About";
  EXPECT_EQ(frame->GetToolBar()->actions().at(2), frame->GetFastAction());
  EXPECT_EQ(frame->findChild<QAction *>("57601")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(frame->findChild<QAction *>("32775")->statusTip(), "Nimbal Manual");
  EXPECT_EQ(frame->findChild<QAction *>("32774")->text(), "Close");

  EXPECT_EQ(CPluvicamApp::OpenFilters(false),
            (QStringList{"HYD Files (*.hyd)", "PIX Files (*.pix)", "SNO Files (*.sno)"}));
  EXPECT_EQ(CPluvicamApp::OpenFilters(true),
            (QStringList{"SNO Files (*.sno)", "HYD Files (*.hyd)", "PIX Files (*.pix)"}));
  EXPECT_EQ(CBigFrame::TitleWord(BigKind::Dsd), "Dropsize Distribution");

  CStatusDlg status(frame);
  EXPECT_EQ(status.windowTitle(), "Status");
  EXPECT_FALSE(status.isVisible());
  EXPECT_NE(status.findChild<QLabel *>()->text().indexOf("Writing data to file...."), -1);
}

TEST_F(AppTest, HelpPages) {
  Start();
  app->SetProgramDir(dir.path());
  app->ShowDocument(HelpPages::MANUAL);
  const std::string missing = dir.filePath("html_doc/pluvicam.htm").toStdString();
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"Document " + missing + " not found ..."}));
  EXPECT_EQ(app->GetHelpWnd(), nullptr) << "no window for a missing page";

  // The pages of the program: all eight are there.
  app->SetProgramDir(QStringLiteral(PLUVICAM_SOURCE_DIR "/resources"));
  for (int id = HelpPages::MANUAL; id <= HelpPages::OBLATENESS_DISTRIBUTION; ++id) {
    app->ShowDocument(id);
    EXPECT_TRUE(rec.TakeShown().empty()) << id;
  }
  CManualWnd *manual = app->GetHelpWnd();
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(manual->windowTitle(), "PLUVICAM Documentation");
  EXPECT_TRUE(manual->GetView()->source().toLocalFile().endsWith("pluvicam_obl_d.htm"));
  EXPECT_FALSE(manual->GetView()->toPlainText().isEmpty());

  // A missing page leaves the open window as it was.
  app->SetProgramDir(dir.path());
  app->ShowDocument(HelpPages::DSD);
  EXPECT_EQ(rec.TakeShown().size(), 1u);
  EXPECT_EQ(app->GetHelpWnd(), manual);
  EXPECT_TRUE(manual->GetView()->source().toLocalFile().endsWith("pluvicam_obl_d.htm"));

  // Closed by the user, it is made anew on the next request.
  manual->close();
  EXPECT_TRUE(WaitFor([&] { return app->GetHelpWnd() == nullptr; }));
}

TEST_F(AppTest, OpenSetsTitleAndPixelRangesAndCloseRestores) {
  Start();
  const std::string data = Path("x.hyd");
  WriteTinyDay(data, {6 * 3600 + 1, 6 * 3600 + 2}, "a.b.hyd");
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  EXPECT_EQ(frame->windowTitle(), "NIMBAL   PLUVICAM   a.b   2026/06/01   Fernwald, Ostland");
  EXPECT_EQ(app->GetPathName(), QString::fromStdString(data));
  EXPECT_EQ(app->GetRecentFiles().first(), QString::fromStdString(data));
  const FilterSettings s = app->GetStoredFilter();
  EXPECT_EQ(s.maxPixA, 511);
  EXPECT_EQ(s.maxPixB, 511);

  app->OnFileClose();
  EXPECT_EQ(doc->GetFileState(), CPluvicamDoc::fileNone);
  EXPECT_TRUE(frame->windowTitle().startsWith("NIMBAL   PLUVICAM      "));

  // A refused file: the document's message, the title stays.
  const QString before = frame->windowTitle();
  EXPECT_FALSE(app->OpenFile(dir.filePath("none.hyd")));
  ASSERT_EQ(rec.shown.size(), 1u);
  EXPECT_FALSE(rec.shown[0].empty());
  EXPECT_EQ(frame->windowTitle(), before);
}

TEST_F(AppTest, AFailedOpenKeepsTheOpenFile) {
  Start();
  const std::string data = RainDay();
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  frame->GetCtrlPanel()->OnStepPlus();
  ASSERT_EQ(doc->GetStatus(), CPluvicamDoc::statusAccepted);
  const QString title = frame->windowTitle();
  rec.events.clear();

  // Missing, and present but no data file: each refused with its message, nothing else changes.
  std::ofstream(Path("junk.hyd")) << "no data";
  for (const char *name : {"none.hyd", "junk.hyd"}) {
    rec.shown.clear();
    EXPECT_FALSE(app->OpenFile(dir.filePath(name))) << name;
    EXPECT_EQ(rec.shown.size(), 1u) << name;
    EXPECT_EQ(doc->GetFilePath(), data) << name;
    EXPECT_EQ(app->GetPathName(), QString::fromStdString(data)) << name;
    EXPECT_EQ(frame->windowTitle(), title) << name;
    EXPECT_TRUE(rec.events.empty()) << "the views keep what they show";
  }
  rec.shown.clear();
  frame->GetCtrlPanel()->OnStepPlus();
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusAccepted) << "Step + goes on in the old file";
  EXPECT_TRUE(rec.shown.empty());
}

// What a view sees when it is told of a particle: the wind read, the contours built and the
// rain added before the telling.
class OrderRecorder : public DocumentListener {
public:
  explicit OrderRecorder(CPluvicamDoc *doc) : doc(doc) { doc->AddListener(this); }
  ~OrderRecorder() override { doc->RemoveListener(this); }
  void OnParticle() override {
    int status = -1;
    doc->GetHydData(&status);
    int valid = 0;
    const bool contours =
        doc->GetContour(Camera::A, &valid) && valid && doc->GetContour(Camera::B, &valid) && valid;
    events.push_back("particle status " + std::to_string(status) + (contours ? " contours" : "") +
                     (doc->GetWindData(nullptr) ? " wind" : "") + " rates " +
                     std::to_string(doc->GetRateList().size()));
  }
  void OnReset(int flag) override {
    const auto &rates = doc->GetRateList();
    const bool complete = !rates.empty() && rates.front().complete == 1;
    events.push_back("reset " + std::to_string(flag) + (flag && !complete ? " open" : ""));
  }
  CPluvicamDoc *doc;
  std::vector<std::string> events;
};

TEST_F(AppTest, RunStepOrder) {
  Start();
  const std::string data = RainDay(2000);
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  OrderRecorder order(doc);
  CMainCtrlPanel *panel = frame->GetCtrlPanel();

  panel->OnStepPlus();
  ASSERT_FALSE(order.events.empty());
  // The filter was applied first (the views start over), then one accepted particle.
  EXPECT_EQ(order.events.front(), "reset 0");
  EXPECT_EQ(order.events.back().rfind("particle status 0 contours", 0), 0u) << order.events.back();
  EXPECT_NE(order.events.back().find(" rates 1"), std::string::npos) << "rain added before";
  EXPECT_FALSE(frame->Runner().IsTimerOn());

  // Steps until a rain-rate interval completes: its reset 1 comes before that particle.
  order.events.clear();
  for (int i = 0; i < 2000 && std::find(order.events.begin(), order.events.end(), "reset 1") ==
                                  order.events.end();
       ++i)
    frame->Runner().StepOnce();
  const auto reset = std::find(order.events.begin(), order.events.end(), "reset 1");
  ASSERT_NE(reset, order.events.end()) << order.events.size() << " " << order.events.back();
  ASSERT_NE(reset + 1, order.events.end());
  EXPECT_EQ((reset + 1)->rfind("particle status 0", 0), 0u);
  // Found as "reset 1" (not "reset 1 open"): the interval at the list's head was complete when
  // the views were told.
  EXPECT_TRUE(std::any_of(order.events.begin(), order.events.end(), [](const std::string &e) {
    return e.find(" wind") != std::string::npos;
  })) << "the wind file beside the data is read for particles";
}

TEST_F(AppTest, RunGoesToTheEndOfTheWindowAndStops) {
  Start();
  const std::string data = Path("t.hyd");
  WriteTinyDay(data, {6 * 3600 + 1, 6 * 3600 + 2, 6 * 3600 + 3, 6 * 3600 + 4});
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  QPushButton *run = panel->findChild<QPushButton *>(ControlId(CMainCtrlPanel::IDC_RUN));
  int particles = 0;
  struct Counter : DocumentListener {
    int *n;
    void OnParticle() override { ++*n; }
  } counter;
  counter.n = &particles;
  doc->AddListener(&counter);

  run->click();
  EXPECT_FALSE(panel->IsStopped());
  EXPECT_EQ(run->text(), "Stop");
  EXPECT_TRUE(frame->Runner().IsTimerOn());
  EXPECT_TRUE(frame->IsBusyCursor());
  EXPECT_EQ(frame->cursor().shape(), Qt::BusyCursor);
  ASSERT_TRUE(WaitFor([&] { return panel->IsStopped(); }));
  doc->RemoveListener(&counter);
  EXPECT_EQ(run->text(), "Run");
  EXPECT_FALSE(frame->Runner().IsTimerOn());
  EXPECT_FALSE(frame->IsBusyCursor());
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusEndOfFile);
  // Four particles, and the end of the file shown to the views too.
  EXPECT_EQ(particles, 5);
  EXPECT_TRUE(rec.shown.empty());
  EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith("Position "));

  // Closing the file during a run ends the run.
  panel->OnReset();
  run->click();
  ASSERT_TRUE(frame->Runner().IsTimerOn());
  app->OnFileClose();
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_FALSE(frame->Runner().IsTimerOn());
  EXPECT_EQ(run->text(), "Run");
}

TEST_F(AppTest, RunStoppedByABadRecordSaysWhereAndGoesOnBehindIt) {
  Start();
  const std::string data = Path("t.hyd");
  WriteTinyDay(data, {6 * 3600 + 1, std::nan(""), 6 * 3600 + 3});
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  QPushButton *run = panel->findChild<QPushButton *>(ControlId(CMainCtrlPanel::IDC_RUN));

  run->click();
  ASSERT_TRUE(WaitFor([&] { return panel->IsStopped(); }));
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusBadRecord);
  // 74 bytes of main header and 34 of the first particle before it.
  const QString message = frame->statusBar()->currentMessage();
  EXPECT_TRUE(message.startsWith("Stopped at the record at position 108: "))
      << message.toStdString();
  EXPECT_TRUE(message.contains("has no time of the day")) << message.toStdString();

  run->click();
  ASSERT_TRUE(WaitFor([&] { return panel->IsStopped(); }));
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusEndOfFile) << "the run went on behind it";
  EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith("Position "));
}

TEST_F(AppTest, StatusBarFollowsResetStopAndCloseAndTheBusyCursorCoversTheChildren) {
  Start();
  const std::string data = RainDay(2000);
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  auto status = [&] { return frame->statusBar()->currentMessage(); };
  auto position = [&] { return doc->GetHandler()->GetHydFile().GetPosition(); };

  for (int i = 0; i < 50; ++i)
    frame->Runner().StepOnce();
  const QString stepped = status();
  ASSERT_TRUE(stepped.startsWith(QStringLiteral("Position %1 ").arg(position())))
      << stepped.toStdString();
  panel->OnReset();
  EXPECT_NE(status(), stepped) << "Reset moves back to the window's start";
  EXPECT_TRUE(status().startsWith(QStringLiteral("Position %1 ").arg(position())))
      << status().toStdString();

  // Running: the fields keep the busy cursor too, not their own text cursor.
  QWidget *field = panel->findChild<QWidget *>(ControlId(CMainCtrlPanel::IDC_DIAM_MIN));
  ASSERT_NE(field, nullptr);
  const Qt::CursorShape own = field->cursor().shape();
  ASSERT_NE(own, Qt::BusyCursor);
  QPushButton *run = panel->findChild<QPushButton *>(ControlId(CMainCtrlPanel::IDC_RUN));
  run->click();
  EXPECT_EQ(field->cursor().shape(), Qt::BusyCursor);
  ASSERT_TRUE(WaitFor([&] { return !status().endsWith(QStringLiteral(" 0 particles/s")); }))
      << status().toStdString();
  run->click();
  ASSERT_TRUE(panel->IsStopped());
  EXPECT_EQ(field->cursor().shape(), own);
  EXPECT_TRUE(status().endsWith(QStringLiteral(" 0 particles/s"))) << status().toStdString();
  EXPECT_TRUE(status().startsWith(QStringLiteral("Position %1 ").arg(position())))
      << status().toStdString();

  app->OnFileClose();
  EXPECT_EQ(status(), QStringLiteral("Ready"));
}

// A panel whose diagram reports itself busy until told otherwise.
class BusyPanel : public BigPanel {
public:
  explicit BusyPanel(QWidget *parent) : BigPanel(nullptr, parent) {}
  bool IsIdle() override { return idle; }
  bool idle = false;

protected:
  int HelpPage() const override { return 0; }
};

TEST_F(AppTest, BigFrameSavesAndRestoresThePosition) {
  Start();
  BusyPanel *bigPanel = nullptr;
  frame->SetBigPaneFactory([&](BigPane which, BigKind kind, int, CPluvicamDoc *, QWidget *parent) {
    if (which != BigPane::Panel || kind == BigKind::DropView)
      return new QWidget(parent);
    bigPanel = new BusyPanel(parent);
    return static_cast<QWidget *>(bigPanel);
  });
  const std::string data = Path("t.hyd");
  WriteTinyDay(data, {6 * 3600 + 1, 6 * 3600 + 2, 6 * 3600 + 3, 6 * 3600 + 4});
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  panel->OnStepPlus();
  panel->OnStepPlus();
  const int32_t current = doc->GetHydHeader()->startPos;
  const double currentTim = doc->GetHydHeader()->tim;

  panel->OnRun();
  ASSERT_FALSE(panel->IsStopped());
  frame->OpenBigFrame(CBigFrame::TitleWord(BigKind::Dsd), BigKind::Dsd);
  EXPECT_TRUE(panel->IsStopped()) << "opening a big frame stops the run";
  CBigFrame *big = frame->GetBigFrame();
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(frame->GetSavedPos(), current);
  EXPECT_FALSE(frame->isEnabled());
  EXPECT_EQ(big->windowTitle(),
            "NIMBAL   Dropsize Distribution   d0601   2026/06/01   Fernwald, Ostland");
  // A window from 00:00 over a recording from 06:00: the first interval starts with the recording.
  ASSERT_GT(doc->RecordingStartTim(), 0);
  EXPECT_EQ(doc->GetIntegrationState()->endTim, doc->RecordingStartTim());

  // The big view reads on its own.
  doc->ReadHydData(CPluvicamDoc::ReadDirection::Next);
  doc->ReadHydData(CPluvicamDoc::ReadDirection::Next);
  ASSERT_NE(bigPanel, nullptr);

  // Closing while the diagram computes hides the frame and waits for it.
  big->close();
  EXPECT_FALSE(big->isVisible());
  EXPECT_EQ(frame->GetBigFrame(), big);
  EXPECT_FALSE(frame->isEnabled());
  QPointer<CBigFrame> watch(big);
  bigPanel->idle = true;
  ASSERT_TRUE(WaitFor([&] { return frame->GetBigFrame() == nullptr; }));
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_EQ(doc->GetHydHeader()->tim, currentTim) << "the particle of before is shown again";
  EXPECT_TRUE(WaitFor([&] { return watch.isNull(); }));

  // The drop view never moves the file position.
  frame->OpenBigFrame(CBigFrame::TitleWord(BigKind::DropView), BigKind::DropView);
  EXPECT_EQ(frame->GetSavedPos(), -1);
  ASSERT_NE(frame->GetBigFrame(), nullptr);
  EXPECT_EQ(frame->GetBigFrame()->ViewCount(), 2);
  doc->ReadHydData(CPluvicamDoc::ReadDirection::Next);
  const double afterTim = doc->GetHydHeader()->tim;
  frame->GetBigFrame()->close(); // its panel is a plain widget: idle
  EXPECT_EQ(frame->GetBigFrame(), nullptr);
  EXPECT_EQ(doc->GetHydHeader()->tim, afterTim);
}

TEST_F(AppTest, SplashGoesAtTheFirstKeyOrClick) {
  Start();
  CSplashWnd::ShowSplashScreen(false, frame);
  EXPECT_EQ(CSplashWnd::Current(), nullptr) << "not when turned off";
  CSplashWnd::ShowSplashScreen(true, frame);
  CSplashWnd *splash = CSplashWnd::Current();
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->size(), QSize(CSplashWnd::PICTURE_W, CSplashWnd::PICTURE_H));
  CSplashWnd::ShowSplashScreen(true, frame);
  EXPECT_EQ(CSplashWnd::Current(), splash) << "only one at a time";

  // The key press closes it and goes no further.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
  const uint16_t factor = doc->GetViewFactor();
  EXPECT_TRUE(QCoreApplication::sendEvent(frame->GetCtrlPanel(), &press));
  EXPECT_EQ(CSplashWnd::Current(), nullptr);
  EXPECT_EQ(doc->GetViewFactor(), factor);
  // Afterwards keys pass as usual.
  QKeyEvent again(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
  QCoreApplication::sendEvent(frame->GetCtrlPanel(), &again);
  EXPECT_EQ(CSplashWnd::Current(), nullptr);

  // Left alone, it goes after its time.
  CSplashWnd::ShowSplashScreen(true, frame);
  ASSERT_NE(CSplashWnd::Current(), nullptr);
  EXPECT_TRUE(WaitFor([] { return CSplashWnd::Current() == nullptr; }));
}
