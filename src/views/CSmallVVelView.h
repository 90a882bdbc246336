#pragma once
#include "DiagramView.h"

// Vertical velocity against diameter: one black dot per particle of the main run.
class CSmallVVelView : public DiagramView {
  Q_OBJECT
public:
  CSmallVVelView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;

  // Logical point of a particle: 1000 units per mm and per m/s.
  static QPoint DotFor(float diameter, float velocity);

protected:
  QPointF WindowOrg() const override { return {-800, 13200}; }
  QSizeF WindowExt() const override { return {9600, -14400}; }
  double LeftMarginPixels(const LogicalMapping &m) const override;
  void DrawFrame(QPainter &p) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
};
