#include "CBigVVelView.h"

#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/VerticalVelocityPlot.h"

#include <QPainter>
#include <QPainterPath>

namespace vv = VerticalVelocityPlot;

namespace {
// Text height, n/72 of an inch in the 14400 logical units of the window's height.
constexpr double TEXT_N = 360;
const QColor FORMULA_RED(192, 0, 0);
const QColor MEASURED_YELLOW(255, 255, 0);
} // namespace

CBigVVelView::CBigVVelView(CPluvicamDoc *doc, QWidget *parent) : BigDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigVVelView"));
  SetPictureName(QStringLiteral("vvel"));
}

int CBigVVelView::Scale() const { return doc ? doc->GetViewFactor() : 1; }

void CBigVVelView::DrawFrame(QPainter &p) {
  const int s = Scale();
  frameScale = s;
  const double h = FontHeight(TEXT_N);
  DrawText(p, {5000, 13200}, "Vertical Velocity vs. Diameter", HCenter | Top, h, QColor(255, 0, 0));
  p.drawLine(0, Y, 0, 0);
  p.drawLine(0, 0, X, 0);
  for (int x = 0; x <= X; x += 100) {
    if (x % 1000 == 0) {
      p.drawLine(x, 0, x, -250);
      DrawText(p, {double(x), -500}, QString::number(vv::AxisLabel(x, s)), HCenter | Top, h);
    } else {
      p.drawLine(x, 0, x, -125);
    }
  }
  for (int y = 0; y <= Y; y += 500) {
    if (y % 1000 == 0) {
      p.drawLine(0, y, -150, y);
      DrawText(p, {-300, double(y)}, QString::number(vv::AxisLabel(y, s)), HCenter | Top, h);
    } else {
      p.drawLine(0, y, -75, y);
    }
  }
  DrawText(p, {0, 12500}, "m/s", HCenter | Top, h);
  DrawText(p, {10300, 0}, "mm", HCenter | Top, h);
}

void CBigVVelView::DrawState(QPainter &p) { dots.Draw(p, Mapping()); }

void CBigVVelView::DrawOverlay(QPainter &p) {
  if (comp)
    DrawGunnKinzer(p);
}

std::string CBigVVelView::DataTable() { return dots.Table(doc); }

void CBigVVelView::DrawGunnKinzer(QPainter &p) {
  const int s = Scale();
  auto polyline = [&](const std::vector<PlotPoint> &points, const QColor &colour) {
    if (KeepsNoClip(p)) {
      QPolygonF line;
      for (const PlotPoint &point : points)
        line << QPointF(point.x, point.y);
      p.setPen(PixelPen(colour));
      DrawClippedPolyline(p, line, QRectF(0, 0, X, Y).intersected(ShownArea()));
      return;
    }
    QPainterPath path;
    path.moveTo(points.front().x, points.front().y);
    for (size_t i = 1; i < points.size(); ++i)
      path.lineTo(points[i].x, points[i].y);
    p.setPen(PixelPen(colour));
    p.drawPath(path);
  };
  p.save();
  p.setClipRect(QRectF(0, 0, X, Y), Qt::IntersectClip);
  polyline(vv::FormulaCurve(s), FORMULA_RED);
  polyline(vv::MeasuredCurve(s), MEASURED_YELLOW);
  p.restore();
  const double h = FontHeight(TEXT_N);
  DrawText(p, {7000, 12000}, "v(D)=9.65-10.3*exp(-0.6*D)", Left | Top, h, FORMULA_RED);
  DrawText(p, {7000, 11500}, "D ... diameter in mm", Left | Top, h, FORMULA_RED);
  DrawText(p, {7000, 11000}, "v ... velocity in m/s", Left | Top, h, FORMULA_RED);
  DrawText(p, {4000, 12000}, "Gunn & Kinzer", Left | Top, h, MEASURED_YELLOW);
}

void CBigVVelView::OnToggle() {
  comp = !comp;
  update();
}

bool CBigVVelView::IsIdle() {
  run = 0;
  return computing == 0;
}

QRectF CBigVVelView::PlotArea() const { return {0, 0, double(X), double(Y)}; }

BigDiagramView::Axis CBigVVelView::XAxis() const {
  return {vv::UnitsPerMm(Scale()), 0, QStringLiteral("D"), QStringLiteral("mm")};
}

BigDiagramView::Axis CBigVVelView::YAxis() const {
  return {vv::UnitsPerMm(Scale()), 0, QStringLiteral("v"), QStringLiteral("m/s")};
}

void CBigVVelView::Reset() {
  SelectDot(-1);
  if (frameScale != Scale()) {
    InvalidateFrame();
    ClearZoom();
  }
  dots.Clear();
  Rebuild();
  update();
}

void CBigVVelView::Start() {
  if (computing)
    return;
  Reset();
  run = 1;
  if (doc) {
    computing = 1;
    const bool complete = CollectInSlices(
        *doc, [this] { return run != 0; },
        [this](const HydRecord &r) {
          const PlotPoint dot = vv::Dot(r.diameter, r.velocity, Scale());
          dots.Add(DiagramDot::Of(r, dot));
          SetLogicalPixel(QPointF(dot.x, dot.y), dots.Colour());
          ScheduleRepaint();
        },
        [this] {
          // Without a panel nobody else would stop the run.
          run = 0;
          emit Finished();
        });
    computing = 0;
    update();
    if (!complete)
      doc->ShowMessage(doc->GetStatusText());
  }
  emit FiguresChanged();
}
