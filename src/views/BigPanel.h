#pragma once
#include <QWidget>

#include <functional>
#include <vector>

class BigDiagramView;
class CBigInfoView;
class CPluvicamDoc;
class QPushButton;

// Base of the enlarged frames' control panels. A run is started on one of its toggle buttons,
// which reads "Stop" while the run goes and ends it when pressed again; the other buttons are
// locked meanwhile. "Main" and "Help" go out as signals that the frame connects.
class BigPanel : public QWidget {
  Q_OBJECT
public:
  BigPanel(CPluvicamDoc *doc, QWidget *parent);

  // The frame's record table and big views, given once the frame has made them all.
  void Attach(const std::vector<QWidget *> &views, CBigInfoView *recordTable);

  // Run when idle: the diagram computes, and the press returns when it has ended; Stop when
  // running.
  void OnRun();
  // Ends a run that is going, as a press of Stop.
  virtual void Stop();
  void OnMain();
  void OnHelp();

  bool IsStopped() const { return !running; }
  // The button with this control id, or null.
  QPushButton *Button(int id) const;
  // Whether nothing computes; asking also ends a computation that outlived its run. The frame
  // asks before it closes.
  virtual bool IsIdle();

signals:
  void RunStateChanged(bool running);
  // "Main": back to the main window.
  void MainRequested();
  // Show the help page with this string id.
  void HelpRequested(int pageId);

protected:
  // The one button maker: the control id is the object name, by which tests find the button.
  // Every button but the run toggles is locked during a run.
  QPushButton *AddButton(int id, const QString &text, const std::function<void()> &action,
                         bool runToggle = false);
  // A run pressed on `toggle`: it reads "Stop" and stays usable, the others are locked.
  void BeginRun(QPushButton *toggle);
  // The run is over: the toggle's text comes back and the buttons are usable again.
  void EndRun();
  // Sets the buttons' enabled state; by default all are usable when stopped, only the toggle
  // of the run while running.
  virtual void EnableControls();
  virtual int HelpPage() const = 0;
  // Takes the big views of the frame; by default the one diagram.
  virtual void TakeViews(const std::vector<QWidget *> &views);
  // Just before the diagram starts: by default the document restarts at the window's start.
  virtual void BeforeRun();
  // The diagram's figures changed: by default the record table shows them.
  virtual void ShowFigures();
  void RefreshRecordTable();

  CPluvicamDoc *doc;
  BigDiagramView *diagram = nullptr;
  CBigInfoView *recordTable = nullptr;
  std::vector<QPushButton *> buttons;
  bool running = false;
  QPushButton *activeToggle = nullptr; // the button that reads "Stop" during a run

private:
  std::vector<QPushButton *> toggles;
  QString toggleText;
};
