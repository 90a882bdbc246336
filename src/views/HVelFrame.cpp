#include "HVelFrame.h"

#include <QPainter>

namespace hvelframe {

void Draw(const DiagramView &view, QPainter &p, const Texts &texts) {
  using Align = DiagramView::Align;
  const QColor red(255, 0, 0), blue(0, 0, 255);
  const double h = texts.labelHeight;
  view.DrawText(p, {0, 3600}, "Horizontal Velocity", Align::HCenter | Align::Top, texts.titleHeight,
                red);
  p.drawLine(0, -3000, 0, 3000);
  p.drawLine(-3000, 0, 3000, 0);
  for (int r : {1000, 2000, 3000})
    p.drawEllipse(QPointF(0, 0), r, r);
  view.DrawText(p, {950, 950}, "10", Align::HCenter | Align::Top, h);
  view.DrawText(p, {1700, 1700}, "20", Align::HCenter | Align::Top, h);
  view.DrawText(p, {2400, 2400}, "30", Align::HCenter | Align::Top, h);
  view.DrawText(p, {3000, -3000}, "m/s", Align::HCenter | Align::Top, h);

  p.setPen(PixelPen(blue, 2));
  p.drawLine(-3300, 0, -3100, 0);
  p.drawLine(-3100, 0, -3200, 100);
  p.drawLine(-3100, 0, -3200, -100);
  view.DrawText(p, texts.cameraBAnchor, texts.cameraB, texts.cameraBAlign, h, blue, false,
                texts.cameraBAngle);

  p.setPen(PixelPen(red, 2));
  p.drawLine(0, -3300, 0, -3100);
  p.drawLine(0, -3100, 100, -3200);
  p.drawLine(0, -3100, -100, -3200);
  view.DrawText(p, texts.cameraAAnchor, texts.cameraA, texts.cameraAAlign, h, red);
}

} // namespace hvelframe
