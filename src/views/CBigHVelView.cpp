#include "CBigHVelView.h"

#include "BigFrameHost.h"
#include "CRunPanel.h"
#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/HorizontalVelocityPlot.h"

#include <QPainter>

CBigHVelView::CBigHVelView(CPluvicamDoc *doc, QWidget *parent) : CHVelDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigHVelView"));
}

void CBigHVelView::DrawFrame(QPainter &p) {
  const double h = FontHeight(180);
  // Read downwards, camera B's glyphs lie on the window's side of the anchor, beside the arrow.
  DrawRingsAndArrows(p, {h,
                         h,
                         "System A (Front)",
                         {0, -3300},
                         HCenter | Top,
                         "System B (Side)",
                         {-3550, 0},
                         HCenter | Bottom,
                         270});
}

void CBigHVelView::DrawState(QPainter &p) { dots.Draw(p, Mapping()); }

bool CBigHVelView::IsIdle() {
  running = false;
  return !busy;
}

void CBigHVelView::StopPanel() {
  CRunPanel::StopPanelOf(this);
  running = false;
}

void CBigHVelView::OnRunMessage() {
  if (!doc || busy)
    return;
  dots.Clear();
  Rebuild();
  update();
  running = true;
  busy = true;
  const bool complete = CollectInSlices(
      *doc, [this] { return running; },
      [&](const HydRecord &r) {
        const PlotPoint dot = HorizontalVelocityPlot::Dot(r.hVelA, r.hVelB);
        dots.Add(dot);
        SetLogicalPixel(QPointF(dot.x, dot.y), dots.Colour());
        ScheduleRepaint();
      },
      [this] { StopPanel(); });
  busy = false;
  update();
  // Shown once the loop is left, so that the box cannot start the loop again.
  if (!complete)
    doc->ShowMessage(doc->GetStatusText());
  if (auto *host = BigFrameHost::Of(this))
    host->RefreshInfo();
}
