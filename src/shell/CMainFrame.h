#pragma once
#include "MainLayout.h"
#include "RunController.h"
#include "document/DocumentListener.h"
#include "views/BigFrameHost.h"
#include "views/Pane.h"

#include <QMainWindow>
#include <QPointer>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

class AppServices;
class CBigFrame;
class CMainCtrlPanel;
class CPluvicamDoc;
class QAction;
class QLabel;
class QSplitter;
class QToolBar;
class UserMessages;

// The main window: five small diagrams above the particle grid and the main control panel, the
// run that feeds particles to them (its controller wired to the panel), and the enlarged frames.
class CMainFrame : public QMainWindow, public DocumentListener, public BigFrameOpener {
  Q_OBJECT
public:
  // Menu and toolbar commands.
  enum Command {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_APP_EXIT = 57665,
    ID_APP_ABOUT = 57664,
    ID_FILE_CLOSE = 32774,
    ID_OPTIONS = 32772,
    ID_HELP_MANUAL = 32775,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_FAST = 32776,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
  };

  // `services` (the application, or a test's stand-in) may be null: the file and help commands
  // then do nothing.
  CMainFrame(AppServices *services, CPluvicamDoc *doc, UserMessages *messages,
             const PaneFactory &factory, bool showSplash, QWidget *parent = nullptr);
  ~CMainFrame() override;

  void SetBusyCursor(int cursorId);
  bool IsBusyCursor() const { return busyCursor; }

  RunController &Runner() { return runner; }
  // The Fast toggle; `remember`: keep the choice in the settings store, as the toggle does.
  void SetFastRun(bool on, bool remember = true);
  bool IsFastRun() const { return runner.IsFast(); }
  QAction *GetFastAction() const { return fastAction; }

  void OpenBigFrame(const QString &titleWord, BigKind kind) override;
  void CloseBigFrame();
  CBigFrame *GetBigFrame() const { return bigFrame; }
  int GetSavedPos() const { return savedPos; }
  void SetBigPaneFactory(const BigPaneFactory &factory) { bigPaneFactory = factory; }

  CMainCtrlPanel *GetCtrlPanel() const { return panel; }
  QWidget *GetPane(Pane pane) const { return panes[size_t(pane)]; }
  QToolBar *GetToolBar() const { return toolBar; }
  // Recomputes the grid from the current size (also done on every resize).
  void RecalcLayout();
  const MainLayout &GetLayout() const { return layout; }
  // Particles shown since the run's statistics were last reset, and the status text.
  QString StatusText() const;

  // Shows the position and rate now; a stopped run shows no particles per second.
  void RefreshStatus();

  // DocumentListener: closing the file ends a run; dropped data refreshes the status bar.
  void OnStopRun() override;
  void OnReset(int flag) override;

protected:
  void resizeEvent(QResizeEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  // The menus, the toolbar, the status bar and the accelerators, in that order.
  void CreateMenus();
  struct Commands {
    QAction *open, *close, *options, *exit, *manual, *about;
  };
  QAction *Command(int id, const QString &text, const QString &prompt);
  Commands CreateCommands();
  void CreateFileMenu(const Commands &c);
  void CreateToolBar(const Commands &c);
  void CreateViewMenu();
  void CreateHelpMenu(const Commands &c);
  void CreateStatusBar();
  void ConnectCommands(const Commands &c);
  void CreateShortcuts();
  void CreateClient(const PaneFactory &factory);
  // The panel's requests to the run and to the application, and what the run reports back.
  void ConnectPanel();
  void OnRunStateChanged(bool running);
  // The particle views draw the current particle anew at the document's new view factor.
  void RedrawParticleViews();
  void NextPane(int step);

  AppServices *services;
  CPluvicamDoc *doc;
  UserMessages *messages;

  QSplitter *outer = nullptr;
  QSplitter *diagramRow = nullptr;
  QSplitter *bottomRow = nullptr;
  QSplitter *particleGrid = nullptr; // rows of the 2 x 2 grid
  QSplitter *gridRows[2] = {nullptr, nullptr};
  std::array<QWidget *, 9> panes{};
  CMainCtrlPanel *panel = nullptr;
  QToolBar *toolBar = nullptr;
  QAction *fastAction = nullptr;
  QLabel *indicators[3] = {nullptr, nullptr, nullptr};
  MainLayout layout;

  RunController runner;
  bool busyCursor = false;
  // Children with a cursor of their own, and that cursor, while the busy cursor covers them.
  std::vector<std::pair<QPointer<QWidget>, QCursor>> ownCursors;
  int savedPos = -1;
  CBigFrame *bigFrame = nullptr;
  BigPaneFactory bigPaneFactory;
};
