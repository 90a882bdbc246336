#pragma once
#include "CDiagramView.h"

// The horizontal velocity diagrams' common frame: ±36 m/s around the centre, the two axes, rings
// at 10, 20 and 30 m/s and the arrows of the two cameras.
class CHVelDiagramView : public CDiagramView {
public:
  using CDiagramView::CDiagramView;

protected:
  struct FrameTexts {
    double titleHeight;
    double labelHeight;
    const char *cameraA;
    QPointF cameraAAnchor;
    int cameraAAlign;
    const char *cameraB;
    QPointF cameraBAnchor;
    int cameraBAlign;
    double cameraBAngle; // 270 reads downwards
  };

  QPointF WindowOrg() const override { return {-3600, 3600}; }
  QSizeF WindowExt() const override { return {7200, -7200}; }
  void DrawRingsAndArrows(QPainter &p, const FrameTexts &texts);
};
