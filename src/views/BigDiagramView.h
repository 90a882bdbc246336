#pragma once
#include "DiagramView.h"

// An enlarged diagram that computes over the time window. Its panel starts and stops it and
// keeps the record table up to date; its frame asks whether it is idle before it closes.
class BigDiagramView : public DiagramView {
  Q_OBJECT
public:
  using DiagramView::DiagramView;

  // Computes from where the document stands; returns when the computation has ended (the end
  // of the data, Stop, a read error). A diagram that still computes ignores it.
  virtual void Start() = 0;
  // A computation that is going ends after the current particle.
  virtual void Stop() = 0;
  // Stops a computation and says whether none is going any more.
  virtual bool IsIdle() = 0;
  // Drops what the last computation collected: the axes alone.
  virtual void Reset() = 0;

signals:
  // The data have ended or could not be read: a Run that is going ends.
  void Finished();
  // The document's figures of this diagram (its result, the gauge's total) have changed.
  void FiguresChanged();
};
