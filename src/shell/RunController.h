#pragma once
#include "document/DocumentRun.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

class CPluvicamDoc;

// The main run: whether it goes, the timer that feeds it, the particle rate, and the steps it
// takes through the document. The main panel asks it to start, stop and step; the main window
// shows what it reports. It knows neither of them.
class RunController : public QObject {
  Q_OBJECT
public:
  static constexpr int RUN_PERIOD_MS = 1;
  // A fast run's tick works through particles for about this long before it yields.
  static constexpr int FAST_SLICE_MS = 10;
  // The particle rate is reported at most this often while a run goes.
  static constexpr int PROGRESS_INTERVAL_MS = 500;

  explicit RunController(CPluvicamDoc *doc, QObject *parent = nullptr);

  bool IsRunning() const { return running; }
  bool IsTimerOn() const { return timerOn; }

  // Fast run: each tick steps through as many particles as fit in the slice, each with the same
  // reads and notifications as a tick of the normal run; the views show the last one.
  void SetFast(bool on) { fast = on; }
  bool IsFast() const { return fast; }
  // Length of a fast tick's slice in ms (FAST_SLICE_MS unless set).
  void SetFastSlice(int ms) { fastSliceMs = std::max(0, ms); }

  // Particles per second over the last report; 0 while no run goes.
  double ParticlesPerSecond() const { return particlesPerSecond; }
  // Starts counting the rate afresh (a stopped run's rate is 0).
  void RestartRate();

  // Begins a run; nothing when one goes.
  void Start();
  // Ends a run that goes; the timer stops in any case.
  void Stop();
  // One particle step without the timer.
  void StepOnce();
  // One timer tick: the next accepted particle (a slice of them when fast) to every view, the
  // timer re-armed unless the run ends.
  void Tick();

signals:
  void RunStateChanged(bool running);
  // The rate has been measured anew (or a step asks for the status to be shown now).
  void ProgressDue();

private:
  void StartTimer();
  void StopTimer();
  RunStepResult RunSlice();
  void ReportProgress(bool force);

  CPluvicamDoc *doc;
  QTimer timer;
  bool running = false;
  bool timerOn = false;
  bool fast = false;
  int fastSliceMs = FAST_SLICE_MS;

  QElapsedTimer progressClock;
  qint64 particlesSinceProgress = 0;
  double particlesPerSecond = 0;
};
