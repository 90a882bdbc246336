#include "SmallContourView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CContour.h"

#include <QPainter>
#include <cmath>

namespace {
constexpr double TITLE_N = 45;
constexpr double LABEL_N = 34;
} // namespace

SmallContourView::SmallContourView(CPluvicamDoc *doc, QWidget *parent, Camera cameraIndex,
                                   const QString &titleText, const QColor &outlineColour)
    : DiagramView(doc, parent), camera(cameraIndex), title(titleText), colour(outlineColour) {
  if (doc)
    zoom = std::max<int>(1, doc->GetViewFactor());
}

void SmallContourView::DrawFrame(QPainter &p) {
  DrawText(p, {350, 900}, title, HCenter | Top, FontHeight(TITLE_N), QColor(255, 0, 0));
  p.drawLine(-50, -50, -50, 850);
  p.drawLine(-50, -50, 900, -50);
  const double h = FontHeight(LABEL_N);
  for (int u = 0; u <= 800; u += 100) {
    p.drawLine(u, -50, u, -70);
    p.drawLine(-50, u, -70, u);
    if (u % 200 == 0) {
      const QString label = QString::asprintf("%d", u / 100 * zoom);
      DrawText(p, {double(u), -80}, label, HCenter | Top, h);
      DrawText(p, {-80, double(u)}, label, Right | VCenter, h);
    }
  }
}

void SmallContourView::DrawState(QPainter &p) {
  p.setClipRect(ClipRect());
  if (!outline.isEmpty()) {
    p.setPen(PixelPen(colour));
    p.drawPolyline(outline);
  }
  for (const Stroke &s : strokes) {
    QPen pen(colour, s.width);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(s.line);
  }
  if (hasAxis) {
    p.setPen(PixelPen(QColor(255, 255, 0)));
    p.drawLine(axis);
  }
  p.setClipping(false);
}

void SmallContourView::TakeSnow(const HydRecord &r, double unitsPerMm) {
  const CHydData *particle = doc->GetHydData();
  if (!particle)
    return;
  particle->GetShadowRuns(camera, runs);
  const double offset = camera == Camera::A ? r.minPosA : r.minPosB;
  const double sx = (camera == Camera::A ? r.scaleSysA : r.scaleSysB) * unitsPerMm;
  const double sy = r.scaleHeight * unitsPerMm;
  const int width = std::max(1, int(sx + 3));
  for (const ShadowRun &run : runs) {
    const double y = std::trunc((run.line + 0.5) * sy);
    strokes.push_back({QLineF(std::trunc((run.start + 0.5 - offset) * sx), y,
                              std::trunc((run.end + 0.5 - offset) * sx), y),
                       width});
  }
}

void SmallContourView::OnParticle() {
  if (!doc)
    return;
  outline.clear();
  strokes.clear();
  hasAxis = false;
  if (const int factor = std::max<int>(1, doc->GetViewFactor()); factor != zoom) {
    zoom = factor; // the axis labels follow the scale
    InvalidateFrame();
  }
  const double unitsPerMm = 100.0 / zoom;
  int status = -1;
  const HydRecord *r = doc->GetHydHeader(&status);
  if (r && doc->IsSno()) {
    if (status == CPluvicamDoc::statusAccepted)
      TakeSnow(*r, unitsPerMm);
  } else if (r) {
    int valid = 0;
    const CContour *contour = doc->GetContour(camera, &valid);
    if (contour && valid) {
      for (const CSegment &s : contour->GetSegments())
        outline << QPointF(s.start.x * unitsPerMm, s.start.y * unitsPerMm);
      if (!outline.isEmpty())
        outline << outline.front();
      if (status != CPluvicamDoc::statusBadRecord) {
        const CContour::PointF top = contour->GetAxisTop(), bottom = contour->GetAxisBottom();
        axis = QLineF(top.x * unitsPerMm, top.y * unitsPerMm, bottom.x * unitsPerMm,
                      bottom.y * unitsPerMm);
        hasAxis = true;
      }
    }
  }
  Rebuild();
}

void SmallContourView::OnReset(int flag) {
  // A completed rain interval leaves the particle alone; anything else starts over.
  if (flag != 0)
    return;
  outline.clear();
  strokes.clear();
  hasAxis = false;
  Rebuild();
}
