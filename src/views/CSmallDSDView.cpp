#include "CSmallDSDView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <QPainter>

namespace {
constexpr double TITLE_N = 520;
constexpr double LABEL_N = 400;
constexpr double Y_TICK = 250;
} // namespace

CSmallDSDView::CSmallDSDView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {}

void CSmallDSDView::DrawFrame(QPainter &p) {
  DrawTextInRect(p, {-800, 11000}, {8800, 10000}, "Drop Size Distribution", HCenter | VCenter,
                 FontHeight(TITLE_N), QColor(255, 0, 0));
  p.drawLine(0, 10000, 0, 0);
  p.drawLine(0, 0, 8000, 0);
  for (int x = 0; x <= 8000; x += 1000)
    p.drawLine(x, 0, x, -400);
  for (int y = 0; y <= 10000; y += 2500)
    p.drawLine(0, y, -Y_TICK, y);
  const double h = FontHeight(LABEL_N);
  DrawText(p, {8000, -300}, "8mm", HCenter | Top, h);
  const double x = YLabelX(Y_TICK);
  DrawText(p, {x, 10000}, "100", Right | VCenter, h);
  DrawText(p, {x, 9000}, "%", Right | VCenter, h);
  DrawText(p, {x, 7500}, "10", Right | VCenter, h);
  DrawText(p, {x, 5000}, "1", Right | VCenter, h);
  DrawText(p, {x, 2500}, ".1", Right | VCenter, h);
  DrawText(p, {x, 0}, ".01", Right | VCenter, h);
}

double CSmallDSDView::LeftMarginPixels(const LogicalMapping &m) const {
  return YLabelMargin(m, {"100", ".01"}, Y_TICK, FontHeight(LABEL_N));
}

void CSmallDSDView::DrawState(QPainter &p) {
  p.setPen(PixelPen(Qt::white));
  p.setBrush(QColor(0, 0, 192));
  // A bar at the axis has no height to show; its outline would only whiten the axis.
  for (const dsd::Bar &b : bars)
    if (b.height > 0)
      p.drawRect(QRectF(QPointF(b.x, 0), QPointF(b.x + b.width, b.height)).normalized());
  p.setBrush(Qt::NoBrush);
}

void CSmallDSDView::OnParticle() {
  const HydRecord *r = AcceptedRecord();
  if (!r || !r->mainHeader || doc->GetRateList().empty())
    return;
  // A complete head interval (another 0.1 mm of rain) closes the distribution's interval.
  if (distribution.Take(r->tim, r->diameter, r->area, r->velocity,
                        doc->GetRateList().front().complete, r->mainHeader->lineFrequency)) {
    bars = distribution.Bars();
    Rebuild();
  }
}

void CSmallDSDView::OnReset(int) {
  // The frame is drawn anew; the bars of the coming interval follow with the next particle.
  bars.clear();
  Rebuild();
}

void CSmallDSDView::Resized() {
  bars.clear();
  Rebuild();
}
