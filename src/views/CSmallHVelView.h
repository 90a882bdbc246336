#pragma once
#include "DiagramView.h"

// Horizontal velocity of the particles of the main run in the plane of the two cameras' axes;
// rain only.
class CSmallHVelView : public DiagramView {
  Q_OBJECT
public:
  CSmallHVelView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;

  // Logical point of a particle: 100 units per m/s, camera B's component pointing down.
  static QPoint DotFor(float hVelA, float hVelB);

protected:
  QPointF WindowOrg() const override;
  QSizeF WindowExt() const override;
  void DrawFrame(QPainter &p) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
};
