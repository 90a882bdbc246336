#include "DotLayer.h"

#include "DiagramView.h"
#include "LogicalMapping.h"

#include <QPainter>
#include <QPolygon>
#include <cmath>

void DotLayer::Draw(QPainter &p, const LogicalMapping &mapping) const {
  if (dots.empty())
    return;
  QPolygon pixels;
  pixels.reserve(qsizetype(dots.size()));
  for (const PlotPoint &dot : dots) {
    const QPointF d = mapping.ToDevice(QPointF(dot.x, dot.y));
    pixels << QPoint(int(std::floor(d.x())), int(std::floor(d.y())));
  }
  p.save();
  p.resetTransform();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(PixelPen(colour));
  p.drawPoints(pixels);
  p.restore();
}
