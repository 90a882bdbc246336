#include "CSmallHVelView.h"

#include "BigFrameHost.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <QPainter>

CSmallHVelView::CSmallHVelView(CPluvicamDoc *doc, QWidget *parent) : CDiagramView(doc, parent) {}

QPoint CSmallHVelView::DotFor(float hVelA, float hVelB) {
  return {LogicalUnits(100, hVelA), LogicalUnits(100, -hVelB)};
}

void CSmallHVelView::DrawFrame(QPainter &p) {
  const QColor red(255, 0, 0), blue(0, 0, 255);
  DrawText(p, {0, 3600}, "Horizontal Velocity", HCenter | Top, FontHeight(312), red);
  p.drawLine(0, -3000, 0, 3000);
  p.drawLine(-3000, 0, 3000, 0);
  for (int r : {1000, 2000, 3000})
    p.drawEllipse(QPointF(0, 0), r, r);
  const double h = FontHeight(235);
  DrawText(p, {950, 950}, "10", HCenter | Top, h);
  DrawText(p, {1700, 1700}, "20", HCenter | Top, h);
  DrawText(p, {2400, 2400}, "30", HCenter | Top, h);
  DrawText(p, {3000, -3000}, "m/s", HCenter | Top, h);

  p.setPen(PixelPen(blue, 2));
  p.drawLine(-3300, 0, -3100, 0);
  p.drawLine(-3100, 0, -3200, 100);
  p.drawLine(-3100, 0, -3200, -100);
  DrawText(p, {-3400, 0}, "B", HCenter | Top, h, blue, false, 270);

  p.setPen(PixelPen(red, 2));
  p.drawLine(0, -3300, 0, -3100);
  p.drawLine(0, -3100, 100, -3200);
  p.drawLine(0, -3100, -100, -3200);
  DrawText(p, {0, -3300}, "A", HCenter | Top, h, red);
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
  CDiagramView::mouseDoubleClickEvent(event);
}
