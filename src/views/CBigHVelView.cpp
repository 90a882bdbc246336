#include "CBigHVelView.h"

#include "BigFrameHost.h"
#include "CHVelCtrlPanel.h"
#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/DiagramCollection.h"
#include "statistics/HorizontalVelocityPlot.h"

#include <QPainter>

CBigHVelView::CBigHVelView(CPluvicamDoc *doc, QWidget *parent) : CDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigHVelView"));
}

void CBigHVelView::DrawFrame(QPainter &p) {
  const QColor red(255, 0, 0), blue(0, 0, 255);
  const double h = FontHeight(180);
  DrawText(p, {0, 3600}, "Horizontal Velocity", HCenter | Top, h, red);
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
  // Read downwards, its glyphs lie on the window's side of the anchor, beside the arrow.
  DrawText(p, {-3550, 0}, "System B (Side)", HCenter | Bottom, h, blue, false, 270);

  p.setPen(PixelPen(red, 2));
  p.drawLine(0, -3300, 0, -3100);
  p.drawLine(0, -3100, 100, -3200);
  p.drawLine(0, -3100, -100, -3200);
  DrawText(p, {0, -3300}, "System A (Front)", HCenter | Top, h, red);
}

bool CBigHVelView::IsIdle() {
  running = false;
  return !busy;
}

void CBigHVelView::StopPanel() {
  if (auto *host = BigFrameHost::Of(this))
    if (auto *panel = dynamic_cast<CHVelCtrlPanel *>(host->GetPanel()))
      panel->Stop();
  running = false;
}

void CBigHVelView::OnRunMessage() {
  if (!doc || busy)
    return;
  Rebuild();
  update();
  running = true;
  DiagramCollection collection(*doc);
  busy = true;
  bool failed = false;
  const QColor yellow(255, 255, 0);
  RunInSlices([&] {
    if (!running)
      return false;
    switch (collection.Next()) {
    case DiagramCollection::Particle: {
      const HydRecord *r = collection.Record();
      const PlotPoint dot = HorizontalVelocityPlot::Dot(r->hVelA, r->hVelB);
      SetLogicalPixel(QPointF(dot.x, dot.y), yellow);
      ScheduleRepaint();
      break;
    }
    case DiagramCollection::Nothing:
      break;
    case DiagramCollection::End:
      StopPanel();
      break;
    case DiagramCollection::Failed:
      StopPanel();
      failed = true;
      break;
    }
    return running;
  });
  collection.Finish();
  busy = false;
  update();
  // Shown once the loop is left, so that the box cannot start the loop again.
  if (failed)
    doc->ShowMessage(doc->GetStatusText());
  if (auto *host = BigFrameHost::Of(this))
    host->RefreshInfo();
}
