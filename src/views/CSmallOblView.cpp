#include "CSmallOblView.h"

#include "BigFrameHost.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/OblatenessPlot.h"

#include <QPainter>

CSmallOblView::CSmallOblView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {}

QPoint CSmallOblView::DotFor(float diameter, float oblateness) {
  const PlotPoint dot = OblatenessPlot::SmallDot(diameter, oblateness);
  return {dot.x, dot.y};
}

void CSmallOblView::DrawFrame(QPainter &p) {
  DrawText(p, {4000, 2200}, "Oblateness vs. Diameter", HCenter | Top, FontHeight(104),
           QColor(255, 0, 0));
  p.drawLine(0, 2000, 0, 0);
  p.drawLine(0, 0, 8000, 0);
  for (int x = 0; x <= 8000; x += 1000)
    p.drawLine(x, 0, x, -80);
  for (int y = 0; y <= 2000; y += 1000)
    p.drawLine(0, y, -250, y);
  const double h = FontHeight(80);
  DrawText(p, {8000, -40}, "8mm", HCenter | Top, h);
  DrawText(p, {-400, 1000}, "1", HCenter | Top, h);
  DrawText(p, {-400, 2000}, "2", HCenter | Top, h);
  DrawText(p, {150, 2000}, "H/W", Left | VCenter, h);
}

void CSmallOblView::OnParticle() {
  const HydRecord *r = AcceptedRecord();
  if (!r)
    return;
  SetLogicalPixel(DotFor(r->diameter, r->oblateness), Qt::black);
  ScheduleRepaint();
}

void CSmallOblView::OnReset(int) { Rebuild(); }

void CSmallOblView::mouseDoubleClickEvent(QMouseEvent *event) {
  if (doc && doc->GetFileState() != CPluvicamDoc::fileNone)
    if (BigFrameOpener *opener = BigFrameOpener::Of(this))
      opener->OpenBigFrame(QStringLiteral("Oblateness vs Diameter"), BigKind::Obl);
  DiagramView::mouseDoubleClickEvent(event);
}
