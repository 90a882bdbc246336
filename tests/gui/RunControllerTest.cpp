#include "shell/RunController.h"
#include "ShellFixture.h"
#include "shell/AppServices.h"
#include "shell/CMainCtrlPanel.h"
#include "views/HelpPages.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>

using namespace shelltest;

namespace {

// The application as the main window sees it, every request written down.
class ServicesStandIn : public AppServices {
public:
  void OnFileOpen() override { calls.push_back("open"); }
  void OnFileClose() override { calls.push_back("close"); }
  void OnFileNew() override { calls.push_back("new"); }
  void OnOptions() override { calls.push_back("options"); }
  void OnAppAbout() override { calls.push_back("about"); }
  void ShowDocument(int pageId) override { calls.push_back("page " + std::to_string(pageId)); }
  void ApplyStoredFilter() override { calls.push_back("stored filter"); }
  void SaveFastRun(bool on) override { calls.push_back(on ? "fast on" : "fast off"); }
  const QString &GetTitle() const override { return title; }
  void OnMainFrameClosing() override { calls.push_back("closing"); }

  std::vector<std::string> calls;
  QString title = QStringLiteral("PLUVICAM test");
};

// Lets the event loop (and so the run's timer) work until the run has stopped or 5 s passed.
bool UntilStopped(const RunController &runner) {
  const QDeadlineTimer deadline(5000);
  while (runner.IsRunning() && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  return !runner.IsRunning();
}

class RunControllerTest : public AppTest {
protected:
  // The application's document on a day of one-second drops from 06:00:01 on.
  void OpenDay(int drops) {
    Start();
    std::vector<double> seconds;
    for (int i = 1; i <= drops; ++i)
      seconds.push_back(6 * 3600 + i);
    const std::string data = Path("t.hyd");
    WriteTinyDay(data, seconds);
    ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
    rec.TakeEvents();
  }
};

TEST_F(RunControllerTest, ARunGoesToTheEndOfTheFileAndSaysSoOnce) {
  OpenDay(5);
  RunController runner(doc);
  std::vector<bool> states;
  QObject::connect(&runner, &RunController::RunStateChanged,
                   [&](bool running) { states.push_back(running); });
  runner.Stop(); // nothing goes: nothing to report
  EXPECT_TRUE(states.empty());

  runner.Start();
  runner.Start();
  EXPECT_EQ(states, std::vector<bool>{true});
  EXPECT_TRUE(runner.IsRunning());
  EXPECT_TRUE(runner.IsTimerOn());

  ASSERT_TRUE(UntilStopped(runner));
  EXPECT_EQ(states, (std::vector<bool>{true, false}));
  EXPECT_FALSE(runner.IsTimerOn());
  EXPECT_EQ(runner.ParticlesPerSecond(), 0);
  EXPECT_EQ(rec.TakeEvents().size(), 6u); // five particles, then the end of the file
}

TEST_F(RunControllerTest, AStepMovesOnWithoutTheTimerAndAFastRunGoesThroughInSlices) {
  OpenDay(40);
  RunController runner(doc);
  int reports = 0;
  QObject::connect(&runner, &RunController::ProgressDue, [&] { ++reports; });
  runner.StepOnce();
  EXPECT_FALSE(runner.IsTimerOn());
  EXPECT_EQ(reports, 1); // a step shows its status at once
  ASSERT_NE(doc->GetHydHeader(), nullptr);
  EXPECT_NEAR(doc->GetHydHeader()->tim / LINES_PER_SECOND, 6 * 3600 + 1, 1e-6);

  runner.SetFast(true);
  runner.SetFastSlice(1000);
  rec.TakeEvents();
  runner.Start();
  ASSERT_TRUE(UntilStopped(runner));
  EXPECT_EQ(rec.TakeEvents().size(), 40u); // 39 particles and the end, one slice
}

// The main window runs through its controller and asks the application (here a stand-in) for
// everything else; the panel reaches neither directly.
TEST_F(RunControllerTest, TheMainWindowWiresThePanelToTheRunAndToTheApplication) {
  OpenDay(3);
  ServicesStandIn services;
  CMainFrame window(&services, doc, &rec, PlainPane, false);
  CMainCtrlPanel *panel = window.GetCtrlPanel();
  auto press = [&](int id) { panel->findChild<QPushButton *>(ControlId(id))->click(); };
  auto command = [&](int id) { window.findChild<QAction *>(ControlId(id))->trigger(); };

  press(CMainCtrlPanel::IDC_RUN);
  EXPECT_TRUE(window.Runner().IsRunning());
  EXPECT_FALSE(panel->IsStopped());
  EXPECT_TRUE(window.IsBusyCursor());
  EXPECT_EQ(panel->findChild<QPushButton *>(ControlId(CMainCtrlPanel::IDC_RUN))->text(), "Stop");
  press(CMainCtrlPanel::IDC_RUN);
  EXPECT_FALSE(window.Runner().IsRunning());
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_FALSE(window.IsBusyCursor());

  press(CMainCtrlPanel::IDC_HELP);
  press(CMainCtrlPanel::IDC_DEFAULT_FILTER);
  command(CMainFrame::ID_OPTIONS);
  command(CMainFrame::ID_FILE_OPEN);
  window.GetFastAction()->trigger();
  EXPECT_TRUE(window.IsFastRun());
  press(CMainCtrlPanel::IDC_QUIT);
  EXPECT_EQ(services.calls,
            (std::vector<std::string>{"page " + std::to_string(HelpPages::MANUAL), "stored filter",
                                      "options", "open", "fast on", "closing"}));
}

} // namespace
