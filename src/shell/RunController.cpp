#include "RunController.h"

#include "document/CPluvicamDoc.h"

RunController::RunController(CPluvicamDoc *doc, QObject *parent) : QObject(parent), doc(doc) {
  timer.setSingleShot(true);
  timer.setInterval(RUN_PERIOD_MS);
  connect(&timer, &QTimer::timeout, this, &RunController::Tick);
}

void RunController::StartTimer() {
  // A fast tick yields to the event loop after its slice; it needs no pause beyond that.
  if (!timerOn)
    timer.start(fast ? 0 : RUN_PERIOD_MS);
  timerOn = true;
}

void RunController::StopTimer() {
  if (timerOn)
    timer.stop();
  timerOn = false;
}

void RunController::Start() {
  if (running)
    return;
  StartTimer();
  running = true;
  emit RunStateChanged(true);
}

void RunController::Stop() {
  StopTimer();
  if (!running)
    return;
  running = false;
  emit RunStateChanged(false);
}

void RunController::Tick() {
  if (!doc)
    return;
  StopTimer();
  RunStepResult result;
  if (fast) {
    result = RunSlice();
  } else {
    result = StepDocument(*doc);
    ++particlesSinceProgress;
  }
  if (result.stop)
    Stop();
  else if (running)
    // Re-armed only after every view has drawn the particle, and not when a view or a message
    // ended the run meanwhile.
    StartTimer();
  ReportProgress(result.stop);
}

RunStepResult RunController::RunSlice() {
  QElapsedTimer slice;
  slice.start();
  const qint64 budget = qint64(fastSliceMs) * 1000000;
  bool last = false;
  // Decided after the read: a new main header may change the pixel bounds and so stop the run.
  const ShownTest shown = [&] {
    last = last || slice.nsecsElapsed() >= budget || !running;
    return last;
  };
  RunStepResult result;
  do {
    result = StepDocument(*doc, shown);
    ++particlesSinceProgress;
  } while (!result.stop && !last && running);
  return result;
}

void RunController::StepOnce() {
  if (!doc)
    return;
  StepDocument(*doc);
  ReportProgress(true);
}

void RunController::RestartRate() {
  if (!running)
    particlesPerSecond = 0;
  particlesSinceProgress = 0;
  progressClock.start();
}

void RunController::ReportProgress(bool force) {
  if (!progressClock.isValid()) {
    progressClock.start();
    particlesSinceProgress = 0;
  }
  const qint64 elapsed = progressClock.elapsed();
  if (!force && elapsed < PROGRESS_INTERVAL_MS)
    return;
  if (!running)
    particlesPerSecond = 0;
  else if (elapsed > 0)
    particlesPerSecond = double(particlesSinceProgress) * 1000.0 / double(elapsed);
  particlesSinceProgress = 0;
  progressClock.restart();
  emit ProgressDue();
}
