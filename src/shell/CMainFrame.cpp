#include "CMainFrame.h"

#include "AppServices.h"
#include "CBigFrame.h"
#include "CMainCtrlPanel.h"
#include "CSplashWnd.h"
#include "ShellText.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/DsdIntegration.h"
#include "views/CSmallTopView.h"
#include "views/DiagramView.h"
#include "views/HelpPages.h"
#include "views/SmallContourView.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <numeric>
#include <vector>

namespace {
constexpr int SPLITTER_GAP = 8;

QSplitter *MakeSplitter(Qt::Orientation orientation, QWidget *parent, const char *name) {
  auto *s = new QSplitter(orientation, parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setChildrenCollapsible(false);
  s->setHandleWidth(SPLITTER_GAP);
  return s;
}

// Gives the leading panes their sizes; the last one takes what is left, as a static splitter
// hands its last pane the remainder.
void ApplySizes(QSplitter *splitter, std::vector<int> leading) {
  const int total =
      splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
  const int handles = (splitter->count() - 1) * splitter->handleWidth();
  for (int &size : leading)
    size = std::max(size, MIN_PANE_SIZE);
  const int used = std::accumulate(leading.begin(), leading.end(), 0);
  leading.push_back(std::max(total - handles - used, MIN_PANE_SIZE));
  splitter->setSizes(QList<int>(leading.begin(), leading.end()));
}
} // namespace

CMainFrame::CMainFrame(AppServices *services, CPluvicamDoc *doc, UserMessages *messages,
                       const PaneFactory &factory, bool showSplash, QWidget *parent)
    : QMainWindow(parent), services(services), doc(doc), messages(messages), runner(doc) {
  setObjectName(QStringLiteral("CMainFrame"));
  // Until the settings are loaded: no file, today, no window title.
  const QDate today = QDate::currentDate();
  setWindowTitle(QString::fromStdString(
      shelltext::FormatMainTitle("", today.year(), today.month(), today.day(), "")));

  CreateMenus();
  CreateClient(factory);
  ConnectPanel();
  if (doc)
    doc->AddListener(this);

  CSplashWnd::ShowSplashScreen(showSplash, this);
}

CMainFrame::~CMainFrame() {
  delete bigFrame;
  if (doc)
    doc->RemoveListener(this);
}

void CMainFrame::CreateMenus() {
  const Commands commands = CreateCommands();
  CreateFileMenu(commands);
  CreateToolBar(commands);
  CreateViewMenu();
  CreateHelpMenu(commands);
  CreateStatusBar();
  ConnectCommands(commands);
  CreateShortcuts();
}

QAction *CMainFrame::Command(int id, const QString &text, const QString &prompt) {
  auto *action = new QAction(text, this);
  action->setObjectName(QString::number(id));
  action->setStatusTip(prompt);
  return action;
}

CMainFrame::Commands CMainFrame::CreateCommands() {
  Commands c;
  c.open = Command(ID_FILE_OPEN, QStringLiteral("&Open..."),
                   QStringLiteral("Open an existing document"));
  c.open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  c.open->setToolTip(QStringLiteral("Open"));
  c.open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  c.close = Command(ID_FILE_CLOSE, QStringLiteral("Close"), QStringLiteral("Close the open file"));
  c.options = Command(ID_OPTIONS, QStringLiteral("Options"), QStringLiteral("Open options dialog"));
  c.exit = Command(ID_APP_EXIT, QStringLiteral("E&xit"),
                   QStringLiteral("Quit the application; prompts to save documents"));
  c.manual = Command(ID_HELP_MANUAL, QStringLiteral("Manual"), QStringLiteral("Nimbal Manual"));
  c.about = Command(ID_APP_ABOUT, QStringLiteral("&About Pluvicam..."),
                    QStringLiteral("Display program information, version number and copyright"));
  c.about->setToolTip(QStringLiteral("About"));
  c.about->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  return c;
}

void CMainFrame::CreateFileMenu(const Commands &c) {
  QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(c.open);
  file->addAction(c.close);
  file->addSeparator();
  file->addAction(c.options);
  file->addSeparator();
  file->addAction(c.exit);
}

void CMainFrame::CreateToolBar(const Commands &c) {
  toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  toolBar->setObjectName(QStringLiteral("128"));
  toolBar->setMovable(true);
  // Fast: the whole day's diagrams in seconds instead of one particle per millisecond.
  fastAction = Command(ID_VIEW_FAST, QStringLiteral("&Fast"),
                       QStringLiteral("Run through the file at full speed; the views show the "
                                      "particle of the moment about 60 times a second"));
  fastAction->setIconText(QStringLiteral("Fast"));
  fastAction->setToolTip(QStringLiteral("Fast run: the whole day in seconds (Ctrl+F)"));
  fastAction->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
  fastAction->setCheckable(true);
  fastAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  fastAction->setShortcutContext(Qt::WindowShortcut);
  connect(fastAction, &QAction::toggled, this, [this](bool on) {
    runner.SetFast(on);
    if (services)
      services->SaveFastRun(on);
  });

  toolBar->addAction(c.open);
  toolBar->addSeparator();
  toolBar->addAction(fastAction);
  toolBar->addSeparator();
  toolBar->addAction(c.about);
  addToolBar(Qt::TopToolBarArea, toolBar);
}

void CMainFrame::CreateViewMenu() {
  QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
  QAction *showToolBar = Command(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"),
                                 QStringLiteral("Show or hide the toolbar"));
  showToolBar->setCheckable(true);
  showToolBar->setChecked(true);
  connect(showToolBar, &QAction::toggled, toolBar, &QToolBar::setVisible);
  connect(toolBar, &QToolBar::visibilityChanged, showToolBar, &QAction::setChecked);
  QAction *showStatusBar = Command(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"),
                                   QStringLiteral("Show or hide the status bar"));
  showStatusBar->setCheckable(true);
  showStatusBar->setChecked(true);
  connect(showStatusBar, &QAction::toggled, this, [this](bool on) {
    statusBar()->setVisible(on);
    RecalcLayout();
  });
  view->addAction(showToolBar);
  view->addAction(showStatusBar);
  view->addSeparator();
  view->addAction(fastAction);
}

void CMainFrame::CreateHelpMenu(const Commands &c) {
  QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(c.manual);
  help->addAction(c.about);
}

void CMainFrame::CreateStatusBar() {
  // Status bar: the message pane and the three lock indicators (shown greyed: their state is
  // not known here).
  statusBar()->setObjectName(QStringLiteral("StatusBar"));
  statusBar()->showMessage(QStringLiteral("Ready"));
  const char *indicatorTexts[] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) {
    indicators[i] = new QLabel(QString::fromLatin1(indicatorTexts[i]), this);
    indicators[i]->setEnabled(false);
    statusBar()->addPermanentWidget(indicators[i]);
  }
}

void CMainFrame::ConnectCommands(const Commands &c) {
  connect(c.open, &QAction::triggered, this, [this] {
    if (services)
      services->OnFileOpen();
  });
  connect(c.close, &QAction::triggered, this, [this] {
    if (services)
      services->OnFileClose();
  });
  connect(c.options, &QAction::triggered, this, [this] {
    if (services)
      services->OnOptions();
  });
  connect(c.exit, &QAction::triggered, this, &QWidget::close);
  connect(c.manual, &QAction::triggered, this, [this] {
    if (services)
      services->ShowDocument(HelpPages::MANUAL);
  });
  connect(c.about, &QAction::triggered, this, [this] {
    if (services)
      services->OnAppAbout();
  });
}

void CMainFrame::CreateShortcuts() {
  // Accelerators: the function keys carry the main control panel's buttons.
  auto key = [this](const QKeySequence &sequence, auto handler) {
    auto *shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, handler);
  };
  key(QKeySequence(Qt::CTRL | Qt::Key_N), [this] {
    if (services)
      services->OnFileNew();
  });
  key(QKeySequence(Qt::Key_F1), [this] {
    if (panel)
      panel->OnRun();
  });
  key(QKeySequence(Qt::Key_F2), [this] {
    if (panel)
      panel->OnStepPlus();
  });
  key(QKeySequence(Qt::Key_F3), [this] {
    if (panel)
      panel->OnReset();
  });
  key(QKeySequence(Qt::Key_F4), [this] {
    if (panel)
      panel->OnScale();
  });
  key(QKeySequence(Qt::Key_F5), [this] {
    if (panel)
      panel->OnHelp();
  });
  key(QKeySequence(Qt::Key_F6), [this] {
    if (panel)
      panel->OnQuit();
  });
  key(QKeySequence(Qt::ALT | Qt::Key_F6), [this] { NextPane(1); });
  key(QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { NextPane(-1); });
}

void CMainFrame::CreateClient(const PaneFactory &factory) {
  outer = MakeSplitter(Qt::Vertical, this, "OuterSplitter");
  diagramRow = MakeSplitter(Qt::Horizontal, outer, "DiagramRow");
  bottomRow = MakeSplitter(Qt::Horizontal, outer, "BottomRow");
  particleGrid = MakeSplitter(Qt::Vertical, bottomRow, "ParticleGrid");
  gridRows[0] = MakeSplitter(Qt::Horizontal, particleGrid, "ParticleGridRow0");
  gridRows[1] = MakeSplitter(Qt::Horizontal, particleGrid, "ParticleGridRow1");
  outer->addWidget(diagramRow);
  outer->addWidget(bottomRow);
  bottomRow->addWidget(particleGrid);
  particleGrid->addWidget(gridRows[0]);
  particleGrid->addWidget(gridRows[1]);

  struct Place {
    Pane pane;
    QSplitter *splitter;
  };
  const Place places[] = {
      {Pane::RainIntensity, diagramRow}, {Pane::Dsd, diagramRow},   {Pane::VVel, diagramRow},
      {Pane::HVel, diagramRow},          {Pane::Obl, diagramRow},   {Pane::Side, gridRows[0]},
      {Pane::Top, gridRows[0]},          {Pane::Info, gridRows[1]}, {Pane::Front, gridRows[1]},
  };
  for (const Place &place : places) {
    QWidget *view = factory ? factory(place.pane, doc, place.splitter) : nullptr;
    if (!view)
      view = new QWidget(place.splitter); // a factory without this pane leaves it empty
    view->setMinimumSize(MIN_PANE_SIZE, MIN_PANE_SIZE);
    place.splitter->addWidget(view);
    panes[size_t(place.pane)] = view;
    view->installEventFilter(this); // a double click opens the enlarged diagram
  }

  // The panel is a form: smaller than its fields, it scrolls.
  auto *scroll = new QScrollArea(bottomRow);
  scroll->setObjectName(QStringLiteral("CMainCtrlPanelPane"));
  scroll->setWidgetResizable(true);
  scroll->setMinimumSize(MIN_PANE_SIZE, MIN_PANE_SIZE);
  panel = new CMainCtrlPanel(doc, messages, scroll);
  scroll->setWidget(panel);
  bottomRow->addWidget(scroll);

  setCentralWidget(outer);
  panel->setFocus(); // the active pane
}

void CMainFrame::ConnectPanel() {
  connect(panel, &CMainCtrlPanel::StartRequested, &runner, &RunController::Start);
  connect(panel, &CMainCtrlPanel::StopRequested, &runner, &RunController::Stop);
  connect(panel, &CMainCtrlPanel::StepRequested, &runner, &RunController::StepOnce);
  // The panel hears first, so its button reads right when the status is shown.
  connect(&runner, &RunController::RunStateChanged, panel, &CMainCtrlPanel::OnRunStateChanged);
  connect(&runner, &RunController::RunStateChanged, this, &CMainFrame::OnRunStateChanged);
  connect(&runner, &RunController::ProgressDue, this,
          [this] { statusBar()->showMessage(StatusText()); });
  connect(panel, &CMainCtrlPanel::HelpRequested, this, [this](int page) {
    if (services)
      services->ShowDocument(page);
  });
  connect(panel, &CMainCtrlPanel::DefaultFilterRequested, this, [this] {
    if (services)
      services->ApplyStoredFilter();
  });
  connect(panel, &CMainCtrlPanel::QuitRequested, this, &QWidget::close);
  connect(panel, &CMainCtrlPanel::ViewFactorChanged, this, &CMainFrame::RedrawParticleViews);
  connect(panel, &CMainCtrlPanel::AreaModeChanged, this, [this](CSmallTopView::AreaMode mode) {
    if (auto *top = qobject_cast<CSmallTopView *>(GetPane(Pane::Top)))
      top->SetAreaMode(mode);
  });
}

void CMainFrame::OnRunStateChanged(bool running) {
  SetBusyCursor(running ? Cursors::APPSTARTING : Cursors::ARROW);
  if (!running)
    RefreshStatus();
}

void CMainFrame::RedrawParticleViews() {
  for (Pane pane : {Pane::Front, Pane::Side}) {
    QWidget *view = GetPane(pane);
    if (auto *contourView = qobject_cast<SmallContourView *>(view))
      contourView->OnParticle();
    else if (view)
      view->update();
  }
}

void CMainFrame::RecalcLayout() {
  if (!outer || isMinimized())
    return;
  const int statusH = statusBar()->isVisible() ? statusBar()->height() : 0;
  const int toolH = toolBar && toolBar->isVisible() ? toolBar->height() : 0;
  const int menuH = menuBar()->isVisible() ? menuBar()->height() : 0;
  // The menu bar is not part of the frame's client area.
  layout = ComputeMainLayout(width(), height() - menuH, statusH, toolH, menuH);
  ApplySizes(outer, {layout.topH});
  ApplySizes(diagramRow, {layout.fifthW, layout.fifthW, layout.fifthW, layout.fifthW});
  ApplySizes(bottomRow, {layout.halfW});
  ApplySizes(particleGrid, {layout.gridH});
  for (QSplitter *row : gridRows)
    ApplySizes(row, {layout.quarterW});
}

void CMainFrame::resizeEvent(QResizeEvent *event) {
  QMainWindow::resizeEvent(event);
  RecalcLayout();
}

void CMainFrame::closeEvent(QCloseEvent *event) {
  runner.Stop();
  if (bigFrame) {
    delete bigFrame;
    bigFrame = nullptr;
  }
  if (services)
    services->OnMainFrameClosing();
  event->accept();
}

void CMainFrame::SetBusyCursor(int cursorId) {
  const Qt::CursorShape shape = Cursors::ShapeOf(cursorId);
  setCursor(shape);
  // Children that set a cursor of their own (fields, splitter handles) would show it over the
  // busy one: they take the frame's cursor until it is the arrow again.
  for (auto &[widget, own] : ownCursors)
    if (widget)
      widget->setCursor(own);
  ownCursors.clear();
  if (shape != Qt::ArrowCursor)
    for (QWidget *child : findChildren<QWidget *>())
      if (child->testAttribute(Qt::WA_SetCursor)) {
        ownCursors.emplace_back(child, child->cursor());
        child->setCursor(shape);
      }
  busyCursor = cursorId == Cursors::APPSTARTING;
}

void CMainFrame::SetFastRun(bool on, bool remember) {
  // The store hears of it through the action, unless the choice is only for this session.
  const QSignalBlocker block(remember ? nullptr : fastAction);
  fastAction->setChecked(on);
  runner.SetFast(on);
}

void CMainFrame::OnStopRun() { runner.Stop(); }

void CMainFrame::OnReset(int flag) {
  if (flag == 0)
    RefreshStatus();
}

void CMainFrame::RefreshStatus() {
  runner.RestartRate();
  statusBar()->showMessage(StatusText());
}

QString CMainFrame::StatusText() const {
  if (!doc || !doc->HasHydFile())
    return QStringLiteral("Ready");
  // A run stopped by a bad record says why and where.
  if (doc->GetStatus() == CPluvicamDoc::statusBadRecord)
    return QStringLiteral("Stopped at the record at position %1: %2")
        .arg(doc->LastRecordStart())
        .arg(QString::fromStdString(doc->GetStatusText()));
  const qint64 position = doc->GetFilePosition(), length = doc->GetFileLength();
  const int percent = length > 0 ? int(std::clamp<qint64>(position * 100 / length, 0, 100)) : 0;
  return QStringLiteral("Position %1 / %2 bytes (%3 %)   %4 particles/s")
      .arg(position)
      .arg(length)
      .arg(percent)
      .arg(qRound(runner.ParticlesPerSecond()));
}

void CMainFrame::NextPane(int step) {
  std::vector<QWidget *> order(panes.begin(), panes.end());
  order.push_back(panel);
  int current = -1;
  for (size_t i = 0; i < order.size(); ++i)
    if (order[i] && (order[i] == focusWidget() || order[i]->isAncestorOf(focusWidget())))
      current = int(i);
  const int n = int(order.size());
  const int next = ((current < 0 ? n - 1 : current) + step + n) % n;
  if (order[size_t(next)])
    order[size_t(next)]->setFocus();
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::MouseButtonDblClick &&
      static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
    // The small view that opens each kind of enlarged frame. The velocity and oblateness views
    // ask for theirs themselves: the horizontal one refuses snow files.
    const std::pair<Pane, BigKind> kinds[] = {
        {Pane::RainIntensity, BigKind::RainRate},
        {Pane::Dsd, BigKind::Dsd},
        {Pane::Side, BigKind::DropView},
    };
    for (const auto &[pane, kind] : kinds)
      if (watched == panes[size_t(pane)]) {
        OpenBigFrame(CBigFrame::TitleWord(kind), kind);
        return true;
      }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OpenBigFrame(const QString &titleWord, BigKind kind) {
  if (!doc || !doc->HasHydFile())
    return;
  // The interval diagrams' first interval starts at the window start (or the recording's).
  if (kind == BigKind::RainRate || kind == BigKind::Dsd)
    DsdIntegration::OpenAtWindowStart(*doc);
  else
    doc->ClearIntegrationState();
  QString title = services ? services->GetTitle() : windowTitle();
  title.replace(QStringLiteral("PLUVICAM"), titleWord);
  runner.Stop();
  if (kind == BigKind::DropView) {
    savedPos = -1;
  } else {
    const HydRecord *record = doc->GetHydHeader();
    savedPos = record ? record->startPos : 0;
  }
  if (bigFrame)
    return;
  // The big frame's diagrams move the document on; the small views show what they were told.
  for (QWidget *pane : panes)
    if (auto *view = qobject_cast<DiagramView *>(pane))
      view->Flush();

  bigFrame = new CBigFrame(kind, doc, bigPaneFactory);
  connect(bigFrame, &CBigFrame::CloseRequested, this, &CMainFrame::CloseBigFrame);
  connect(bigFrame, &CBigFrame::HelpRequested, this, [this](int page) {
    if (services)
      services->ShowDocument(page);
  });
  bigFrame->setWindowTitle(title);
  bigFrame->setGeometry(QRect(QPoint(0, 0), size()));
  bigFrame->show();
  setEnabled(false);
}

void CMainFrame::CloseBigFrame() {
  setEnabled(true);
  if (CBigFrame *big = std::exchange(bigFrame, nullptr)) {
    big->hide();
    // The close may come from a button of the frame itself: delete it once that has returned.
    big->deleteLater();
  }
  raise();
  activateWindow();
  if (doc && savedPos != -1 && doc->HasHydFile()) {
    if (doc->SetFilePosition(savedPos) == -1) {
      doc->ResetData();
      doc->NotifyViews(0);
    } else {
      doc->SetStatus(CPluvicamDoc::statusRejected);
      runner.StepOnce();
    }
  }
}
