#include "CSmallHVelView.h"

#include "BigFrameHost.h"
#include "HVelFrame.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/HorizontalVelocityPlot.h"

#include <QPainter>
#include <algorithm>

CSmallHVelView::CSmallHVelView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {}

QPointF CSmallHVelView::WindowOrg() const { return hvelframe::WindowOrg(); }

QSizeF CSmallHVelView::WindowExt() const { return hvelframe::WindowExt(); }

QPoint CSmallHVelView::DotFor(float hVelA, float hVelB) {
  const PlotPoint dot = HorizontalVelocityPlot::SmallDot(hVelA, hVelB);
  return {dot.x, dot.y};
}

void CSmallHVelView::DrawFrame(QPainter &p) {
  // The letters stand beside their arrows: below and turned, the window edge would cut them.
  // "A" keeps a few pixels from its arrow's head (100 units wide, a 2-pixel pen) at any size;
  // in a small pane the font's floor of legibility would reach the outer ring, and the letter
  // moves down as far as it must.
  const LogicalMapping m = Mapping();
  const double h = FontHeight(235);
  const double halfText =
      m.LogicalLengthY(0.6 * std::max<double>(MIN_TEXT_PIXELS, m.DeviceLengthY(h)) + 1);
  hvelframe::Draw(*this, p,
                  {FontHeight(312),
                   h,
                   "A",
                   {100 + LogicalLengthX(4), std::min(-3200.0, -3000 - halfText)},
                   Left | VCenter,
                   "B",
                   {-3200, 150},
                   HCenter | Bottom,
                   0});
}

void CSmallHVelView::OnParticle() {
  if (!doc || doc->IsSno())
    return;
  const HydRecord *r = AcceptedRecord();
  if (!r)
    return;
  SetLogicalPixel(DotFor(r->hVelA, r->hVelB), QColor(255, 255, 0));
  ScheduleRepaint();
}

void CSmallHVelView::OnReset(int) { Rebuild(); }

void CSmallHVelView::mouseDoubleClickEvent(QMouseEvent *event) {
  BigFrameOpener *opener = BigFrameOpener::Of(this);
  if (doc && opener) {
    if (doc->IsSno())
      doc->ShowMessage("This diagram is not available for snow data!");
    else if (doc->GetFileState() != CPluvicamDoc::fileNone)
      opener->OpenBigFrame(QStringLiteral("Horizontal Velocity"), BigKind::HVel);
  }
  DiagramView::mouseDoubleClickEvent(event);
}
