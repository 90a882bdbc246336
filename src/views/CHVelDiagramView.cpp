#include "CHVelDiagramView.h"

#include <QPainter>

void CHVelDiagramView::DrawRingsAndArrows(QPainter &p, const FrameTexts &texts) {
  const QColor red(255, 0, 0), blue(0, 0, 255);
  const double h = texts.labelHeight;
  DrawText(p, {0, 3600}, "Horizontal Velocity", HCenter | Top, texts.titleHeight, red);
  p.drawLine(0, -3000, 0, 3000);
  p.drawLine(-3000, 0, 3000, 0);
  for (int r : {1000, 2000, 3000})
    p.drawEllipse(QPointF(0, 0), r, r);
  DrawText(p, {950, 950}, "10", HCenter | Top, h);
  DrawText(p, {1700, 1700}, "20", HCenter | Top, h);
  DrawText(p, {2400, 2400}, "30", HCenter | Top, h);
  DrawText(p, {3000, -3000}, "m/s", HCenter | Top, h);

  p.setPen(PixelPen(blue, 2));
  p.drawLine(-3300, 0, -3100, 0);
  p.drawLine(-3100, 0, -3200, 100);
  p.drawLine(-3100, 0, -3200, -100);
  DrawText(p, texts.cameraBAnchor, texts.cameraB, texts.cameraBAlign, h, blue, false,
           texts.cameraBAngle);

  p.setPen(PixelPen(red, 2));
  p.drawLine(0, -3300, 0, -3100);
  p.drawLine(0, -3100, 100, -3200);
  p.drawLine(0, -3100, -100, -3200);
  DrawText(p, texts.cameraAAnchor, texts.cameraA, texts.cameraAAlign, h, red);
}
