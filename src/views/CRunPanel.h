#pragma once
#include "BigFrameHost.h"

#include <QWidget>

#include <vector>

class CPluvicamDoc;
class QPushButton;

// Base of the velocity and oblateness panels: "Run" turns into "Stop" while the frame's views
// read the window and back when the run ends; "Main" and "Help" go to the frame. The other
// buttons of a panel are locked during a run.
class CRunPanel : public QWidget {
  Q_OBJECT
public:
  CRunPanel(CPluvicamDoc *doc, int runId, int mainId, int helpId, QWidget *parent);

  void OnRun();
  // Ends a run that is going, as a second press of Run.
  void Stop();
  void OnMain();
  void OnHelp();

  bool IsStopped() const { return stopped; }
  // Stops the run of the panel in the frame that holds `view`, if there is one.
  static void StopPanelOf(const QWidget *view);

signals:
  void RunStateChanged(bool running);

protected:
  // Hands the run to the frame's views; returns when the run has ended.
  virtual void StartViews() = 0;
  virtual void StopViews() = 0;
  virtual int HelpPage() const = 0;
  // Sets the enabled state of the buttons besides Run; by default they are usable when stopped.
  virtual void EnableControls();
  // Calls `message` on each of the frame's views of type V.
  template <class V, class Message> void ToViews(Message message) const {
    for (V *view : BigFrameHost::ViewsOf<V>(this))
      (view->*message)();
  }

  CPluvicamDoc *doc;
  QPushButton *runButton;
  QPushButton *mainButton;
  QPushButton *helpButton;
  std::vector<QPushButton *> lockedButtons; // all but Run
  bool stopped = true;
};
