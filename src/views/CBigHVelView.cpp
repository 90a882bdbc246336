#include "CBigHVelView.h"

#include "HVelFrame.h"
#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/HorizontalVelocityPlot.h"

#include <QPainter>

CBigHVelView::CBigHVelView(CPluvicamDoc *doc, QWidget *parent) : BigDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigHVelView"));
  SetPictureName(QStringLiteral("hvel"));
}

QPointF CBigHVelView::WindowOrg() const { return hvelframe::WindowOrg(); }

QSizeF CBigHVelView::WindowExt() const { return hvelframe::WindowExt(); }

void CBigHVelView::DrawFrame(QPainter &p) {
  const double h = FontHeight(180);
  // Read downwards, camera B's glyphs lie on the window's side of the anchor, beside the arrow.
  hvelframe::Draw(*this, p,
                  {h,
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

std::string CBigHVelView::DataTable() { return dots.Table(doc); }

bool CBigHVelView::IsIdle() {
  running = false;
  return !busy;
}

QRectF CBigHVelView::PlotArea() const { return {-3600, -3600, 7200, 7200}; }

// Camera A's speed to the right, camera B's downwards, 100 units per m/s.
BigDiagramView::Axis CBigHVelView::XAxis() const {
  return {100, 0, QStringLiteral("vA"), QStringLiteral("m/s")};
}

BigDiagramView::Axis CBigHVelView::YAxis() const {
  return {-100, 0, QStringLiteral("vB"), QStringLiteral("m/s")};
}

void CBigHVelView::Reset() {
  SelectDot(-1);
  dots.Clear();
  Rebuild();
  update();
}

void CBigHVelView::Start() {
  if (!doc || busy)
    return;
  Reset();
  running = true;
  busy = true;
  const bool complete = CollectInSlices(
      *doc, [this] { return running; },
      [&](const HydRecord &r) {
        const PlotPoint dot = HorizontalVelocityPlot::Dot(r.hVelA, r.hVelB);
        dots.Add(DiagramDot::Of(r, dot));
        SetLogicalPixel(QPointF(dot.x, dot.y), dots.Colour());
        ScheduleRepaint();
      },
      [this] {
        running = false;
        emit Finished();
      });
  busy = false;
  update();
  // Shown once the loop is left, so that the box cannot start the loop again.
  if (!complete)
    doc->ShowMessage(doc->GetStatusText());
  emit FiguresChanged();
}
