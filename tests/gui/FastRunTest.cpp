// The main window's fast run: many particles per timer tick, the views shown between ticks.
#include "ShellFixture.h"
#include "particle/CContour.h"
#include "particle/CHydData.h"
#include "shell/CMainCtrlPanel.h"
#include "views/DiagramView.h"
#include "views/SmallViewFactory.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace shelltest;

namespace {

template <class Condition> bool WaitFor(Condition done) {
  QDeadlineTimer deadline(60000);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

// Every notification with what the document holds at that moment.
class Trace : public DocumentListener {
public:
  explicit Trace(CPluvicamDoc *d) : doc(d) {}
  void OnParticle() override {
    int status = -1;
    const HydRecord *r = doc->GetHydHeader(&status);
    char text[160];
    if (r)
      std::snprintf(text, sizeof text, "particle %d at %d tim %.17g d %.9g v %.9g type %d", status,
                    r->startPos, r->tim, double(r->diameter), double(r->velocity), r->dropType);
    else
      std::snprintf(text, sizeof text, "particle %d", status);
    events.emplace_back(text);
    ++particles;
    if (stopAt > 0 && particles == stopAt && onStop)
      onStop();
  }
  void OnReset(int flag) override { events.push_back("reset " + std::to_string(flag)); }

  CPluvicamDoc *doc;
  std::vector<std::string> events;
  int particles = 0;
  int stopAt = 0;
  std::function<void()> onStop;
};

// What a run leaves behind.
struct Outcome {
  std::vector<std::string> events;
  std::vector<std::string> rates;
  std::vector<QImage> images; // the panes, in pane order
  std::vector<std::string> contours;
  int status = -1;
  int position = -1;
  int32_t filePosition = -1;
};

std::string ContourText(const CPluvicamDoc &doc, Camera camera) {
  int valid = 0;
  const CContour *c = doc.GetContour(camera, &valid);
  if (!c)
    return "none";
  std::string text = "valid " + std::to_string(valid);
  for (const CSegment &s : c->GetSegments())
    text += " " + std::to_string(s.start.x) + "," + std::to_string(s.start.y);
  return text;
}

class FastRunTest : public AppTest {
protected:
  // The application with the real small views.
  void StartWithViews(const std::string &data) {
    app.reset();
    app = std::make_unique<CPluvicamApp>(CreateSmallView, &rec, false);
    ASSERT_TRUE(app->InitInstance());
    frame = app->GetMainFrame();
    doc = app->GetDocument();
    frame->resize(1000, 700);
    ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
    QCoreApplication::processEvents();
  }

  Outcome Collect(Trace &trace) {
    QCoreApplication::processEvents();
    Outcome o;
    o.events = trace.events;
    for (const RateEntry &e : doc->GetRateList()) {
      char text[120];
      std::snprintf(text, sizeof text, "%d %.17g %.17g %.9g", int(e.complete), e.startTim, e.endTim,
                    double(e.duration));
      o.rates.emplace_back(text);
    }
    for (size_t p = 0; p <= size_t(Pane::Front); ++p)
      if (auto *view = dynamic_cast<DiagramView *>(frame->GetPane(Pane(p))))
        o.images.push_back(view->Image());
    o.contours = {ContourText(*doc, Camera::A), ContourText(*doc, Camera::B)};
    o.status = doc->GetStatus();
    const HydRecord *r = doc->GetHydHeader();
    o.position = r ? r->startPos : -1;
    o.filePosition = doc->GetFilePosition();
    return o;
  }

  Outcome RunToEnd(const std::string &data, bool fast) {
    StartWithViews(data);
    frame->SetFastRun(fast, false);
    Trace trace(doc);
    doc->AddListener(&trace);
    CMainCtrlPanel *panel = frame->GetCtrlPanel();
    panel->OnRun();
    EXPECT_TRUE(WaitFor([&] { return panel->IsStopped(); }));
    Outcome o = Collect(trace);
    doc->RemoveListener(&trace);
    return o;
  }

  static void ExpectSame(const Outcome &normal, const Outcome &fast) {
    EXPECT_EQ(normal.events.size(), fast.events.size());
    EXPECT_EQ(normal.events, fast.events);
    EXPECT_EQ(normal.rates, fast.rates);
    EXPECT_EQ(normal.contours, fast.contours);
    EXPECT_EQ(normal.status, fast.status);
    EXPECT_EQ(normal.position, fast.position);
    EXPECT_EQ(normal.filePosition, fast.filePosition);
    ASSERT_EQ(normal.images.size(), fast.images.size());
    for (size_t i = 0; i < normal.images.size(); ++i) {
      EXPECT_FALSE(normal.images[i].isNull()) << "pane " << i;
      EXPECT_TRUE(normal.images[i] == fast.images[i]) << "pane " << i << " differs";
    }
  }
};

} // namespace

TEST_F(FastRunTest, FastAndNormalRunsLeaveTheSameDay) {
  const std::string data = RainDay(2500);
  const Outcome normal = RunToEnd(data, false);
  EXPECT_TRUE(rec.TakeShown().empty());
  const Outcome fast = RunToEnd(data, true);
  EXPECT_TRUE(rec.TakeShown().empty());
  ASSERT_GT(normal.events.size(), 1000u);
  ASSERT_GT(normal.rates.size(), 2u) << "rain-rate intervals completed";
  EXPECT_EQ(normal.status, CPluvicamDoc::statusEndOfFile);
  ExpectSame(normal, fast);

  // The status bar: position, percent of the file and the particle rate.
  const QString message = frame->statusBar()->currentMessage();
  const int32_t length = doc->GetFileLength();
  EXPECT_TRUE(message.startsWith(QStringLiteral("Position %1 / %2 bytes (%3 %)")
                                     .arg(fast.filePosition)
                                     .arg(length)
                                     .arg(qint64(fast.filePosition) * 100 / length)))
      << message.toStdString();
  EXPECT_TRUE(message.endsWith(QStringLiteral("particles/s"))) << message.toStdString();
}

TEST_F(FastRunTest, OutlinesThatCannotBeBuiltMarkTheirParticlesInBothRuns) {
  // One-line drops have no contour: each becomes a bad record although it is never shown.
  const std::string data = Path("tiny.hyd");
  std::vector<double> seconds;
  for (int i = 0; i < 300; ++i)
    seconds.push_back(6 * 3600 + 1 + i * 0.25);
  WriteTinyDay(data, seconds);
  const Outcome normal = RunToEnd(data, false);
  const Outcome fast = RunToEnd(data, true);
  ASSERT_GE(normal.events.size(), 300u);
  EXPECT_EQ(std::count_if(normal.events.begin(), normal.events.end(),
                          [](const std::string &e) { return e.rfind("particle 4 ", 0) == 0; }),
            300);
  ExpectSame(normal, fast);
}

TEST_F(FastRunTest, StopInTheMiddleLeavesTheStateOfANormalRun) {
  const std::string data = RainDay(3000);

  // Fast, in slices of 1 ms, stopped by the user between two ticks.
  StartWithViews(data);
  frame->SetFastRun(true, false);
  frame->Runner().SetFastSlice(1);
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  Trace fastTrace(doc);
  doc->AddListener(&fastTrace);
  panel->OnRun();
  ASSERT_TRUE(WaitFor([&] { return fastTrace.particles >= 200 || panel->IsStopped(); }));
  ASSERT_FALSE(panel->IsStopped()) << "the run ended before it could be stopped";
  panel->OnRun(); // Stop
  const int stoppedAt = fastTrace.particles;
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_FALSE(frame->Runner().IsTimerOn());
  const Outcome fast = Collect(fastTrace);
  doc->RemoveListener(&fastTrace);
  ASSERT_EQ(fast.status, CPluvicamDoc::statusAccepted) << "stopped in the middle of the file";
  EXPECT_EQ(fast.contours[0].rfind("valid 1 ", 0), 0u) << "the particle on screen has outlines";
  EXPECT_EQ(fast.contours[1].rfind("valid 1 ", 0), 0u);

  // Normal, stopped after the same particle.
  StartWithViews(data);
  panel = frame->GetCtrlPanel();
  Trace normalTrace(doc);
  normalTrace.stopAt = stoppedAt;
  normalTrace.onStop = [&] { panel->OnRun(); };
  doc->AddListener(&normalTrace);
  panel->OnRun();
  ASSERT_TRUE(WaitFor([&] { return panel->IsStopped(); }));
  EXPECT_FALSE(frame->Runner().IsTimerOn());
  const Outcome normal = Collect(normalTrace);
  doc->RemoveListener(&normalTrace);
  ExpectSame(normal, fast);

  // Both go on from there alike: a step shows the next particle with its outlines.
  panel->OnStepPlus();
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(ContourText(*doc, Camera::A).rfind("valid 1 ", 0), 0u);
}

TEST_F(FastRunTest, ToggleIsInMenuAndToolbarAndRemembered) {
  Start();
  QAction *fast = frame->GetFastAction();
  ASSERT_NE(fast, nullptr);
  EXPECT_TRUE(fast->isCheckable());
  EXPECT_FALSE(fast->isChecked()) << "off until switched on";
  EXPECT_FALSE(frame->IsFastRun());
  EXPECT_FALSE(fast->toolTip().isEmpty());
  EXPECT_TRUE(frame->GetToolBar()->actions().contains(fast));
  bool inViewMenu = false;
  for (QAction *menu : frame->menuBar()->actions())
    if (menu->text() == QStringLiteral("&View") && menu->menu())
      inViewMenu = menu->menu()->actions().contains(fast);
  EXPECT_TRUE(inViewMenu);
  // Its key takes none of the function keys of the panel nor File Open.
  const QKeySequence key = fast->shortcut();
  ASSERT_FALSE(key.isEmpty());
  for (QKeySequence taken :
       {QKeySequence(Qt::Key_F1), QKeySequence(Qt::Key_F2), QKeySequence(Qt::Key_F3),
        QKeySequence(Qt::Key_F4), QKeySequence(Qt::Key_F5), QKeySequence(Qt::Key_F6),
        QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_N)})
    EXPECT_NE(key, taken);

  fast->trigger();
  EXPECT_TRUE(frame->IsFastRun());
  EXPECT_EQ(Store().value("View/Fast Run").toString(), "1");
  // The "Rain" section keeps its own values only.
  EXPECT_FALSE(Store().contains("Rain/Fast Run"));

  app.reset();
  Start();
  EXPECT_TRUE(frame->IsFastRun()) << "remembered at the next start";
  EXPECT_TRUE(frame->GetFastAction()->isChecked());
  // A choice for this session only (picture mode) leaves the store alone.
  frame->SetFastRun(false, false);
  EXPECT_FALSE(frame->IsFastRun());
  EXPECT_EQ(Store().value("View/Fast Run").toString(), "1");
  frame->GetFastAction()->trigger();
  EXPECT_TRUE(frame->IsFastRun());
  frame->GetFastAction()->trigger();
  EXPECT_EQ(Store().value("View/Fast Run").toString(), "0");

  app.reset();
  Start();
  EXPECT_FALSE(frame->IsFastRun());
}
