#pragma once
#include "BusyView.h"
#include "CHVelDiagramView.h"
#include "DotLayer.h"

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
  // The dots of the last run, drawn again at any size.
  const DotLayer &Dots() const { return dots; }

protected:
  bool IsotropicMapping() const override { return true; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;

private:
  void StopPanel();

  bool running = false;
  bool busy = false;
  DotLayer dots{QColor(255, 255, 0)};
};
