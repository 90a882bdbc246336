#include "DotLayer.h"

#include "DiagramView.h"
#include "LogicalMapping.h"
#include "statistics/DiagramCsv.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>

void DotLayer::Draw(QPainter &p, const LogicalMapping &mapping) const {
  if (dots.empty())
    return;
  QPolygon pixels;
  pixels.reserve(qsizetype(dots.size()));
  for (const DiagramDot &dot : dots) {
    const QPointF d = mapping.ToDevice(QPointF(dot.at.x, dot.at.y));
    pixels << QPoint(int(std::floor(d.x())), int(std::floor(d.y())));
  }
  p.save();
  p.resetTransform();
  p.setRenderHint(QPainter::Antialiasing, false);
  const bool vectors = p.paintEngine() && p.paintEngine()->type() == QPaintEngine::SVG;
  if (vectors || p.device()->devicePixelRatio() != 1) {
    // A point has no area in a vector picture, and a print-size picture is to show each dot
    // as the screen does, only larger; a day's dots crowd onto far fewer pixels.
    std::sort(pixels.begin(), pixels.end(),
              [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    // A vector format keeps no clip: a zoomed view's dots outside its plot are left out here.
    const QRectF clip = p.hasClipping() ? p.clipBoundingRect() : QRectF();
    QPainterPath squares;
    for (const QPoint &pixel : pixels)
      if (clip.isEmpty() || clip.contains(pixel))
        squares.addRect(pixel.x(), pixel.y(), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(squares);
  } else {
    p.setPen(PixelPen(colour));
    p.drawPoints(pixels);
  }
  p.restore();
}

std::string DotLayer::Table(const CPluvicamDoc *doc) const {
  if (dots.empty() || !doc)
    return {};
  std::string table = diagramcsv::DOT_COLUMNS;
  table.reserve(dots.size() * 80);
  for (const DiagramDot &dot : dots)
    diagramcsv::AppendDot(table, *doc, dot);
  return table;
}
