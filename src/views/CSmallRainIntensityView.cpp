#include "CSmallRainIntensityView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <QPainter>

namespace {
constexpr double TITLE_N = 260;
constexpr double LABEL_N = 200;
constexpr double Y_TICK = 40;
} // namespace

CSmallRainIntensityView::CSmallRainIntensityView(CPluvicamDoc *doc, QWidget *parent)
    : DiagramView(doc, parent) {}

void CSmallRainIntensityView::DrawFrame(QPainter &p) {
  DrawTextInRect(p, {-200, 5500}, {2000, 5000}, "Rainrate versus Time", HCenter | VCenter,
                 FontHeight(TITLE_N), QColor(255, 0, 0));
  p.drawLine(0, 5000, 0, 0);
  p.drawLine(0, 0, 1800, 0);
  for (int y = 0; y <= 5000; y += 1000)
    p.drawLine(0, y, -Y_TICK, y);
  for (int x = 0; x <= 1800; x += 300)
    p.drawLine(x, 0, x, -200);
  // Left of the top tick with a gap, so that the tick does not run into the label.
  DrawText(p, {YLabelX(Y_TICK), 5000}, "50", Right | VCenter, FontHeight(LABEL_N));
  // The unit inside the plot beside its top, where the margin has no room for it.
  DrawText(p, {60, 5000}, "mm/h", Left | VCenter, FontHeight(LABEL_N));
}

double CSmallRainIntensityView::LeftMarginPixels(const LogicalMapping &m) const {
  return YLabelMargin(m, {"50"}, Y_TICK, FontHeight(LABEL_N));
}

void CSmallRainIntensityView::DrawState(QPainter &p) {
  if (resetPending || curve.points.empty())
    return;
  DrawTextInRect(p, {1000, -100}, {2000, -400}, QString::fromStdString(curve.endLabel),
                 Right | VCenter, FontHeight(LABEL_N));
  DrawTextInRect(p, {-100, -100}, {600, -400}, QString::fromStdString(curve.startLabel),
                 HCenter | VCenter, FontHeight(LABEL_N));
  p.setPen(PixelPen(QColor(255, 255, 0)));
  p.setClipRect(QRectF(0, 0, 1800, 5000));
  QPoint last(curve.points.front().first, curve.points.front().second);
  for (size_t i = 1; i < curve.points.size(); ++i) {
    const QPoint next(curve.points[i].first, curve.points[i].second);
    p.drawLine(last, next);
    last = next;
  }
  p.setClipping(false);
}

double CSmallRainIntensityView::LineFrequency() const {
  if (!doc)
    return 0;
  if (const HydRecord *r = doc->GetHydHeader(); r && r->mainHeader)
    return r->mainHeader->lineFrequency;
  if (const MainHeader *m = doc->CurrentMainHeader())
    return m->lineFrequency;
  return 0;
}

void CSmallRainIntensityView::OnParticle() {
  if (!doc)
    return;
  const bool wasPending = resetPending;
  resetPending = false;
  const std::deque<RateEntry> &list = doc->GetRateList();
  // A completed interval moves the curve; after a reset the newest complete one is shown again.
  const int from = rainrate::NewestComplete(list);
  if (from == 0 || (wasPending && from > 0)) {
    curve = rainrate::BuildStepCurve(list, from, LineFrequency());
    doc->TrimRateList(curve.entriesNeeded);
    Rebuild();
  } else if (wasPending) {
    Rebuild();
  }
}

void CSmallRainIntensityView::OnReset(int) {
  resetPending = true;
  curve = {};
  Rebuild();
}

void CSmallRainIntensityView::Resized() {
  resetPending = true;
  curve = {};
  Rebuild();
}
