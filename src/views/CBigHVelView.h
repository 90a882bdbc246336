#pragma once
#include "BigDiagramView.h"
#include "DotLayer.h"

// Horizontal velocity, enlarged: every particle of the time window as a yellow dot in the plane
// of the two cameras' axes, rings at 10, 20 and 30 m/s, x and y at one scale.
class CBigHVelView : public BigDiagramView {
  Q_OBJECT
public:
  CBigHVelView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  // A fresh frame, then every particle from where the document stands to the end of the data
  // or Stop.
  void Start() override;
  void Stop() override { running = false; }
  bool IsIdle() override;
  void Reset() override;

  bool IsBusy() const { return busy; }
  bool IsComputing() const override { return busy; }
  const DotLayer *ShownDots() const override { return &dots; }
  QRectF PlotArea() const override;
  Axis XAxis() const override;
  Axis YAxis() const override;

  // The dots as CSV, one row per particle.
  std::string DataTable() override;
  // The dots of the last run, drawn again at any size.
  const DotLayer &Dots() const { return dots; }

protected:
  QPointF WindowOrg() const override;
  QSizeF WindowExt() const override;
  bool IsotropicMapping() const override { return true; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;

private:
  bool running = false;
  bool busy = false;
  DotLayer dots{QColor(255, 255, 0)};
};
