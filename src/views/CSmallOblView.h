#pragma once
#include "DiagramView.h"

// Oblateness against diameter: one black dot per particle of the main run.
class CSmallOblView : public DiagramView {
  Q_OBJECT
public:
  CSmallOblView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;

  // Logical point of a particle: 1000 units per mm and per unit of H/W.
  static QPoint DotFor(float diameter, float oblateness);

protected:
  QPointF WindowOrg() const override { return {-800, 2200}; }
  QSizeF WindowExt() const override { return {9600, -2400}; }
  void DrawFrame(QPainter &p) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
};
