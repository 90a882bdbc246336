#include "CSmallVVelView.h"

#include "BigFrameHost.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/VerticalVelocityPlot.h"

#include <QPainter>

namespace {
constexpr double TITLE_N = 620;
constexpr double LABEL_N = 470;
constexpr double Y_TICK = 250;
} // namespace

CSmallVVelView::CSmallVVelView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {}

QPoint CSmallVVelView::DotFor(float diameter, float velocity) {
  const PlotPoint dot = VerticalVelocityPlot::SmallDot(diameter, velocity);
  return {dot.x, dot.y};
}

void CSmallVVelView::DrawFrame(QPainter &p) {
  DrawTextInRect(p, {-800, 13200}, {8800, 12000}, "Vert. Velocity vs. Diameter", HCenter | VCenter,
                 FontHeight(TITLE_N), QColor(255, 0, 0));
  p.drawLine(0, 12000, 0, 0);
  p.drawLine(0, 0, 8000, 0);
  for (int x = 0; x <= 8000; x += 1000)
    p.drawLine(x, 0, x, -480);
  for (int y = 0; y <= 12000; y += 1000)
    p.drawLine(0, y, -Y_TICK, y);
  const double h = FontHeight(LABEL_N);
  DrawText(p, {8000, -300}, "8mm", HCenter | Top, h);
  DrawText(p, {YLabelX(Y_TICK), 12000}, "12", Right | VCenter, h);
  DrawText(p, {YLabelX(Y_TICK), 11000}, "m/s", Right | VCenter, h);
}

double CSmallVVelView::LeftMarginPixels(const LogicalMapping &m) const {
  return YLabelMargin(m, {"m/s"}, Y_TICK, FontHeight(LABEL_N));
}

void CSmallVVelView::OnParticle() {
  const HydRecord *r = AcceptedRecord();
  if (!r)
    return;
  SetLogicalPixel(DotFor(r->diameter, r->velocity), Qt::black);
  ScheduleRepaint();
}

void CSmallVVelView::OnReset(int) { Rebuild(); }

void CSmallVVelView::mouseDoubleClickEvent(QMouseEvent *event) {
  if (doc && doc->GetFileState() != CPluvicamDoc::fileNone)
    if (BigFrameOpener *opener = BigFrameOpener::Of(this))
      opener->OpenBigFrame(QStringLiteral("Vertical Velocity vs Diameter"), BigKind::VVel);
  DiagramView::mouseDoubleClickEvent(event);
}
