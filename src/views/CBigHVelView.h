#pragma once
#include "BusyView.h"
#include "CHVelDiagramView.h"

// Horizontal velocity, enlarged: every particle of the time window as a yellow dot in the plane
// of the two cameras' axes, rings at 10, 20 and 30 m/s, x and y at one scale.
class CBigHVelView : public CHVelDiagramView, public BusyView {
public:
  CBigHVelView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  // UM_RUN: a fresh frame, then every particle from where the document stands to the end of
  // the data or Stop. Returns when the collection has ended.
  void OnRunMessage();
  // UM_STOP
  void OnStopMessage() { running = false; }
  bool IsIdle() override;

  bool IsBusy() const { return busy; }

protected:
  bool IsotropicMapping() const override { return true; }
  void DrawFrame(QPainter &p) override;

private:
  void StopPanel();

  bool running = false;
  bool busy = false;
};
