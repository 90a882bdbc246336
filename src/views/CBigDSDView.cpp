#include "CBigDSDView.h"

#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DiagramCsv.h"

#include <QPainter>
#include <cmath>

namespace {
constexpr double TEXT_N = 325;
constexpr double LEGEND_RIGHT_EDGE = 10900; // logical; the window ends at 11000
const QColor RED(255, 0, 0);
const QColor BAR_BLUE(0, 0, 192);
} // namespace

CBigDSDView::CBigDSDView(CPluvicamDoc *doc, QWidget *parent) : BigDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigDSDView"));
  SetPictureName(QStringLiteral("dsd"));
  if (doc) {
    integration = std::make_unique<DsdIntegration>(*doc);
    frameScale = doc->GetViewFactor();
  }
}

void CBigDSDView::OnInitialUpdate() {
  if (doc)
    DsdIntegration::InitialUpdate(*doc);
}

void CBigDSDView::DrawFrame(QPainter &p) {
  const double h = FontHeight(TEXT_N);
  const int s = frameScale;
  DrawText(p, {5000, 11000}, "Drop Size Distribution", HCenter | Top, h, RED);
  p.drawLine(0, 10000, 0, 0);
  p.drawLine(0, 0, 10000, 0);
  for (int x = 0; x <= 10000; x += 100) {
    if (x % 1000 == 0) {
      p.drawLine(x, 0, x, -250);
      DrawText(p, {double(x), -250}, QString::number(s * (x / 500) / 2), HCenter | Top, h);
    } else {
      p.drawLine(x, 0, x, -125);
    }
  }
  DrawText(p, {5000, -500}, "Diameter", HCenter | Top, h);
  DrawText(p, {10375, 0}, "mm", HCenter | Top, h);
  const char *labels[] = {"0.01", "0.1", "1", "10", "100"};
  for (int decade = 0, step = 1; decade < 5; ++decade, step *= 10) {
    for (int k = step; k <= 9 * step && k <= 10000; k += step) {
      const int y = int(std::trunc((std::log10(k * 0.01) + 2) * 2500));
      p.drawLine(0, y, -125, y);
      if (k == step)
        DrawText(p, {-375, double(y + 250)}, labels[decade], HCenter | Top, h);
    }
  }
  DrawText(p, {0, 10500}, "%", HCenter | Top, h);
  // Read downwards, its glyphs lie on the window's side of the anchor: the other side is cut off.
  DrawText(p, {-875, 5000}, "N(D) in % of N(D)max", HCenter | Bottom, h, Qt::black, false, 270);
}

std::string CBigDSDView::NdMaxText() const {
  char text[80];
  std::snprintf(text, sizeof text, "N(D)max = %.2f 1/m\u00B3mm", ndMax);
  return text;
}

void CBigDSDView::DrawState(QPainter &p) {
  p.setPen(PixelPen(Qt::white));
  p.setBrush(BAR_BLUE);
  // A bar at the axis has no height to show; its outline would only whiten the axis.
  for (const dsd::Bar &b : bars)
    if (b.height > 0)
      p.drawRect(QRectF(QPointF(b.x, 0), QPointF(b.x + b.width, b.height)).normalized());
  p.setBrush(Qt::NoBrush);
  if (showLabel && ndMax != 0)
    DrawText(p, NdMaxLabelAt(), QString::fromStdString(NdMaxText()), HCenter | Top,
             FontHeight(TEXT_N));
}

void CBigDSDView::UpdateModels() {
  const IntegrationSettings *s = doc ? &doc->GetIntegrationSettings(IntegrationKind::Dsd) : nullptr;
  const double rate = s ? s->result : 0;
  models =
      dsd::ModelCurves(rate, last.normalised ? last.ndMax : 0.0, doc ? doc->GetViewFactor() : 1);
}

void CBigDSDView::DrawOverlay(QPainter &p) {
  const IntegrationSettings *s = doc ? &doc->GetIntegrationSettings(IntegrationKind::Dsd) : nullptr;
  if (!comp || !s || !(s->result > 0))
    return;
  const LogicalMapping m = Mapping();
  p.save();
  p.resetTransform();
  p.setClipRect(QRectF(m.ToDevice({0, 0}), m.ToDevice({10000, 10100})).normalized(),
                Qt::IntersectClip);
  p.setTransform(m.Transform());
  const double h = FontHeight(TEXT_N);
  const int width = std::max(1, int(std::lround(m.DeviceLengthX(20))));
  for (const dsd::ModelCurve &model : models) {
    const QColor colour(model.red, model.green, model.blue);
    p.setPen(PixelPen(colour, width));
    QPolygonF line;
    for (const auto &[x, y] : model.points)
      line << QPointF(x, y);
    if (KeepsNoClip(p))
      DrawClippedPolyline(p, line, QRectF(0, 0, 10000, 10100).intersected(ShownArea()));
    else if (line.size() > 1)
      p.drawPolyline(line);
  }
  p.restore();
  // The legend moves left as far as its longest line would run past the window's right edge.
  double right = 0;
  for (const dsd::ModelCurve &model : models) {
    right = std::max(right, 8000 + TextWidth(QString::fromLatin1(model.label), h));
    right = std::max(right, 8800 + TextWidth(QString::fromStdString(model.N0Text()), h));
    right = std::max(right, 8800 + TextWidth(QString::fromStdString(model.D0Text()), h));
  }
  const double shift = std::max(0.0, right - LEGEND_RIGHT_EDGE);
  for (const dsd::ModelCurve &model : models) {
    const QColor colour(model.red, model.green, model.blue);
    DrawText(p, {8000 - shift, double(model.labelY)}, QString::fromLatin1(model.label), Left | Top,
             h, colour);
    DrawText(p, {8800 - shift, double(model.labelY - 500)}, QString::fromStdString(model.N0Text()),
             Left | Top, h, colour);
    DrawText(p, {8800 - shift, double(model.labelY - 1000)}, QString::fromStdString(model.D0Text()),
             Left | Top, h, colour);
  }
}

void CBigDSDView::Start() {
  if (!doc || computing)
    return;
  // Axes only, labelled for the scale of this Run.
  bars.clear();
  showLabel = false;
  if (frameScale != doc->GetViewFactor()) {
    frameScale = doc->GetViewFactor();
    InvalidateFrame();
    ClearZoom();
  }
  Rebuild();
  update();

  if (integration->Begin()) {
    computing = true;
    RunInSlices([this] { return integration->Next(); });
    integration->Finish();
    computing = false;
    last = integration->Result();
    if (last.end == DsdInterval::Failed)
      doc->ShowMessage(last.message);
    if (last.success) {
      ndMax = last.ndMax;
      if (last.normalised)
        bars = dsd::BigBars(last.classes.data(), last.geometry);
      showLabel = true;
      ++runs;
      UpdateModels();
      Rebuild();
      update();
    }
  } else {
    last = integration->Result();
  }
  // Every end of a computation gives the panel its Run button back.
  emit Finished();
  emit FiguresChanged();
}

void CBigDSDView::Stop() {
  if (integration)
    integration->Stop();
}

bool CBigDSDView::IsIdle() {
  Stop();
  return !computing;
}

void CBigDSDView::OnToggle() {
  const IntegrationSettings *s = doc ? &doc->GetIntegrationSettings(IntegrationKind::Dsd) : nullptr;
  if (s && s->rainInterval > 0) {
    comp = !comp;
    UpdateModels();
  } else if (doc) {
    doc->ShowMessage(NO_RAIN_RATE);
  }
  update();
}

void CBigDSDView::OnReset(int) { Reset(); }

QRectF CBigDSDView::PlotArea() const { return {0, 0, 10000, 10000}; }

BigDiagramView::Axis CBigDSDView::XAxis() const {
  return {1000.0 / frameScale, 0, QStringLiteral("D"), QStringLiteral("mm")};
}

// 2500 units per decade, 1 % at 5000.
BigDiagramView::Axis CBigDSDView::YAxis() const {
  return {2500, 5000, QStringLiteral("N(D)"), QStringLiteral("% of max"), Axis::Logarithmic};
}

std::string CBigDSDView::DataTable() {
  if (!doc || !last.success)
    return {};
  const bool removed = doc->GetFilter().velocityQc.On();
  std::string table = diagramcsv::DsdHeader(last.geometry, last.deltaD, true, removed);
  diagramcsv::AppendDsdRow(table, runs, *doc, last, true, removed);
  return table;
}

void CBigDSDView::Reset() {
  runs = 0;
  bars.clear();
  showLabel = false;
  comp = false;
  if (doc && frameScale != doc->GetViewFactor()) {
    frameScale = doc->GetViewFactor();
    InvalidateFrame();
    ClearZoom();
  }
  Rebuild();
  update();
}
