#include "BigDiagramView.h"

#include "DotLayer.h"
#include "document/CPluvicamDoc.h"
#include "statistics/AxisTicks.h"
#include "statistics/DiagramCsv.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {
// A drag shorter than this either way is a click.
constexpr int MIN_BAND_PIXELS = 4;
const QColor SELECTION_RED(255, 0, 0);

std::string TickLabel(const BigDiagramView::Axis &axis, double value, double spacing) {
  if (axis.kind == BigDiagramView::Axis::Clock)
    return axisticks::ClockLabel(value, spacing);
  return axisticks::Label(value, spacing);
}
} // namespace

double BigDiagramView::Axis::ValueOf(double logical) const {
  const double v = (logical - offset) / unitsPerValue;
  return kind == Logarithmic ? std::pow(10.0, v) : v;
}

double BigDiagramView::Axis::LogicalOf(double value) const {
  return offset + unitsPerValue * (kind == Logarithmic ? std::log10(value) : value);
}

BigDiagramView::BigDiagramView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
}

void BigDiagramView::PaintScene(QPainter &p) {
  // Drawn anew from what the view keeps, so that a vector device gets lines, shapes and text.
  p.fillRect(QRect(QPoint(0, 0), size()), BACKGROUND);
  ApplyMapping(p);
  PaintFrame(p);
  ApplyMapping(p);
  ClipToState(p);
  DrawState(p);
  ApplyMapping(p);
  ClipToState(p);
  DrawOverlay(p);
}

// Zoom

QRectF BigDiagramView::ShownArea() const { return zooms.empty() ? PlotArea() : zooms.back(); }

void BigDiagramView::ZoomTo(const QRectF &area) {
  const QRectF a = area.normalized();
  if (a.width() <= 0 || a.height() <= 0)
    return;
  zooms.push_back(a);
  ApplyZoom();
}

bool BigDiagramView::ZoomBack() {
  if (zooms.empty())
    return false;
  zooms.pop_back();
  ApplyZoom();
  return true;
}

void BigDiagramView::ClearZoom() {
  if (zooms.empty())
    return;
  zooms.clear();
  ApplyZoom();
}

void BigDiagramView::ApplyZoom() {
  InvalidateFrame();
  Rebuild();
  ZoomChanged();
  update();
}

void BigDiagramView::AdjustWindow(QPointF &org, QSizeF &ext, QSizeF) const {
  if (zooms.empty())
    return;
  // The window moves with the plot: what was the plot's rectangle now shows the zoomed one.
  const QRectF plot = PlotArea(), zoom = zooms.back();
  const double sx = zoom.width() / plot.width(), sy = zoom.height() / plot.height();
  org = {zoom.left() + (org.x() - plot.left()) * sx, zoom.top() + (org.y() - plot.top()) * sy};
  ext = {ext.width() * sx, ext.height() * sy};
}

QRect BigDiagramView::StateClip() const {
  if (zooms.empty())
    return {};
  const LogicalMapping m = Mapping();
  const QRectF z = zooms.back();
  return QRectF(m.ToDevice(z.topLeft()), m.ToDevice(z.bottomRight()))
      .normalized()
      .toAlignedRect()
      .adjusted(0, 0, 1, 1);
}

int BigDiagramView::AxisTextPixels() const { return std::max(MIN_TEXT_PIXELS, height() / 50); }

void BigDiagramView::PaintFrame(QPainter &p) {
  if (zooms.empty())
    DrawFrame(p);
  else
    DrawZoomedAxes(p);
}

void BigDiagramView::DrawZoomedAxes(QPainter &p) {
  const LogicalMapping m = Mapping();
  const QRectF z = zooms.back();
  const QRectF d = QRectF(m.ToDevice(z.topLeft()), m.ToDevice(z.bottomRight())).normalized();
  const int textPixels = AxisTextPixels();
  const double h = m.LogicalLengthY(textPixels);
  const int tick = textPixels / 2;
  auto at = [&](double x, double y) { return m.ToLogical(QPointF(x, y)); };

  p.save();
  p.resetTransform();
  p.setPen(PixelPen(Qt::black));
  p.drawLine(d.bottomLeft(), d.topLeft());
  p.drawLine(d.bottomLeft(), d.bottomRight());
  const Axis x = XAxis(), y = YAxis();
  auto ticksOf = [](const Axis &axis, double a, double b, int most) {
    const double lo = std::min(axis.ValueOf(a), axis.ValueOf(b));
    const double hi = std::max(axis.ValueOf(a), axis.ValueOf(b));
    switch (axis.kind) {
    case Axis::Clock:
      return axisticks::Clock(lo, hi, most);
    case Axis::Logarithmic:
      return axisticks::Logarithmic(lo, hi, most);
    default:
      return axisticks::Linear(lo, hi, most);
    }
  };
  const auto xs = ticksOf(x, z.left(), z.right(), std::max(2, int(d.width() / (textPixels * 7))));
  const auto ys = ticksOf(y, z.top(), z.bottom(), std::max(2, int(d.height() / (textPixels * 3))));
  auto spacing = [](const std::vector<double> &ticks, size_t i) {
    return ticks.size() > 1 ? std::abs(ticks[1] - ticks[0]) : std::abs(ticks[i]);
  };
  std::vector<std::pair<QPointF, std::string>> xLabels, yLabels;
  for (size_t i = 0; i < xs.size(); ++i) {
    const double px = m.ToDevice(QPointF(x.LogicalOf(xs[i]), z.top())).x();
    p.drawLine(QPointF(px, d.bottom()), QPointF(px, d.bottom() + tick));
    xLabels.emplace_back(at(px, d.bottom() + tick + 1),
                         TickLabel(x, xs[i], x.kind == Axis::Logarithmic ? xs[i] : spacing(xs, i)));
  }
  for (size_t i = 0; i < ys.size(); ++i) {
    const double py = m.ToDevice(QPointF(z.left(), y.LogicalOf(ys[i]))).y();
    p.drawLine(QPointF(d.left() - tick, py), QPointF(d.left(), py));
    yLabels.emplace_back(at(d.left() - tick - 2, py),
                         TickLabel(y, ys[i], y.kind == Axis::Logarithmic ? ys[i] : spacing(ys, i)));
  }
  p.restore();
  for (const auto &[point, text] : xLabels)
    DrawText(p, point, QString::fromStdString(text), HCenter | Top, h);
  for (const auto &[point, text] : yLabels)
    DrawText(p, point, QString::fromStdString(text), Right | VCenter, h);
  DrawText(p, at(d.right(), d.bottom() + tick + 2 + 1.3 * textPixels), x.name + ' ' + x.unit,
           Right | Top, h);
  DrawText(p, at(d.left(), d.top() - 3), y.name + ' ' + y.unit, Left | Bottom, h);
}

// Values under the cursor and the dots

QPointF BigDiagramView::ValuesAt(QPointF device) const {
  const QPointF l = Mapping().ToLogical(device);
  return {XAxis().ValueOf(l.x()), YAxis().ValueOf(l.y())};
}

long BigDiagramView::DotAt(QPointF device) const {
  const DotLayer *dots = ShownDots();
  const QRect clip = StateClip();
  if (!dots || (!clip.isEmpty() && !clip.contains(device.toPoint())))
    return -1;
  const LogicalMapping m = Mapping();
  const QPointF l = m.ToLogical(device);
  return NearestDot(dots->All(), l.x(), l.y(), m.DeviceLengthX(1), m.DeviceLengthY(1), DOT_REACH);
}

QString BigDiagramView::CursorText(QPointF device) const {
  const LogicalMapping m = Mapping();
  const QRectF z = ShownArea();
  const QPointF l = m.ToLogical(device);
  if (l.x() < z.left() || l.x() > z.right() || l.y() < z.top() || l.y() > z.bottom())
    return {};
  const Axis x = XAxis(), y = YAxis();
  // As many decimals as a pixel's step of the value needs.
  auto text = [](const Axis &axis, double value, double perPixel) {
    QString shown =
        QString::fromStdString(axis.kind == Axis::Clock ? axisticks::ClockLabel(value, 1)
                                                        : axisticks::Label(value, perPixel * 10));
    return axis.name + QStringLiteral(" = ") + shown +
           (axis.unit.isEmpty() ? QString() : QLatin1Char(' ') + axis.unit);
  };
  const double xPerPixel = std::abs(x.ValueOf(l.x() + 1 / m.DeviceLengthX(1)) - x.ValueOf(l.x()));
  const double yPerPixel = std::abs(y.ValueOf(l.y() + 1 / m.DeviceLengthY(1)) - y.ValueOf(l.y()));
  QString shown = text(x, x.ValueOf(l.x()), xPerPixel) + QStringLiteral("   ") +
                  text(y, y.ValueOf(l.y()), yPerPixel);
  const long dot = DotAt(device);
  if (dot >= 0 && doc)
    shown += QStringLiteral("   particle at ") +
             QString::fromStdString(diagramcsv::TimText(*doc, ShownDots()->All()[size_t(dot)].tim));
  return shown;
}

void BigDiagramView::SelectDot(long index) {
  const DotLayer *dots = ShownDots();
  if (!dots || index >= long(dots->Size()))
    index = -1;
  if (index < 0 && selected < 0)
    return;
  selected = index;
  if (selected >= 0 && doc) {
    // The record table shows the document's current particle: read this one.
    const DiagramDot &dot = dots->All()[size_t(selected)];
    if (doc->SetFilePosition(dot.position) != -1) {
      // The end a run reached no longer holds at this position.
      doc->SetStatus(CPluvicamDoc::statusRejected);
      int status = 0;
      doc->ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
    }
  }
  emit SelectionChanged(selected >= 0);
  emit FiguresChanged();
  update();
}

// Mouse and keys

void BigDiagramView::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || IsComputing() || OwnsDrag(*event)) {
    DiagramView::mousePressEvent(event);
    return;
  }
  banding = true;
  bandStart = bandEnd = event->position().toPoint();
  update();
}

void BigDiagramView::mouseMoveEvent(QMouseEvent *event) {
  if (banding) {
    bandEnd = event->position().toPoint();
    update();
  }
  emit CursorTextChanged(CursorText(event->position()));
}

void BigDiagramView::mouseReleaseEvent(QMouseEvent *event) {
  if (!banding || event->button() != Qt::LeftButton) {
    DiagramView::mouseReleaseEvent(event);
    return;
  }
  banding = false;
  bandEnd = event->position().toPoint();
  update();
  const QPoint drag = bandEnd - bandStart;
  if (std::abs(drag.x()) >= MIN_BAND_PIXELS && std::abs(drag.y()) >= MIN_BAND_PIXELS) {
    const LogicalMapping m = Mapping();
    ZoomTo(QRectF(m.ToLogical(bandStart), m.ToLogical(bandEnd)));
    return;
  }
  Clicked(event->position());
}

void BigDiagramView::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || IsComputing()) {
    DiagramView::mouseDoubleClickEvent(event);
    return;
  }
  const long dot = DotAt(event->position());
  if (dot >= 0) {
    SelectDot(dot);
    emit DropRequested(ShownDots()->All()[size_t(dot)].position);
  } else {
    ZoomBack();
  }
}

void BigDiagramView::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape && ZoomBack())
    return;
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && selected >= 0 && ShownDots() && !IsComputing()) {
    emit DropRequested(ShownDots()->All()[size_t(selected)].position);
    return;
  }
  DiagramView::keyPressEvent(event);
}

void BigDiagramView::leaveEvent(QEvent *event) {
  emit CursorTextChanged(QString());
  DiagramView::leaveEvent(event);
}

void BigDiagramView::paintEvent(QPaintEvent *event) {
  DiagramView::paintEvent(event);
  const DotLayer *dots = ShownDots();
  const bool mark = dots && selected >= 0 && selected < long(dots->Size());
  if (!banding && !mark)
    return;
  QPainter p(this);
  if (mark) {
    const PlotPoint at = dots->All()[size_t(selected)].at;
    const QPoint d = DevicePixel(QPointF(at.x, at.y));
    p.setPen(PixelPen(SELECTION_RED, 2));
    p.drawEllipse(QPointF(d) + QPointF(0.5, 0.5), 6, 6);
  }
  if (banding) {
    QPen pen = PixelPen(Qt::black);
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.drawRect(QRect(bandStart, bandEnd).normalized());
  }
}

// Data

bool BigDiagramView::SaveData(const QString &path, QString *error) {
  std::string why;
  const std::string table = DataTable();
  if (table.empty())
    why = "Could not save the data " + path.toStdString() + ": the diagram has no numbers yet";
  else if (diagramcsv::WriteTable(QFile::encodeName(path).toStdString(), table,
                                  doc ? doc->GetOutputGuard() : OutputGuard(), why))
    return true;
  if (error)
    *error = QString::fromStdString(why);
  return false;
}

void BigDiagramView::AddMenuActions(QMenu &menu) {
  QAction *save = menu.addAction(QStringLiteral("Save data\u2026"));
  save->setObjectName(QStringLiteral("saveData"));
  save->setEnabled(!IsComputing());
  connect(save, &QAction::triggered, this, [this] { AskAndSaveData(); });
  QAction *back = menu.addAction(QStringLiteral("Zoom back"));
  back->setObjectName(QStringLiteral("zoomBack"));
  back->setEnabled(IsZoomed());
  connect(back, &QAction::triggered, this, [this] { ZoomBack(); });
}

void BigDiagramView::AskAndSaveData() {
  QString folder, name = PictureName();
  if (doc && doc->HasHydFile()) {
    const QFileInfo data(QString::fromStdString(doc->GetFilePath()));
    folder = data.absolutePath();
    name = data.completeBaseName() + QLatin1Char('-') + name;
  }
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Save data"),
                                   QFileInfo(folder, name + QStringLiteral(".csv")).filePath(),
                                   QStringLiteral("CSV table (*.csv)"));
  if (path.isEmpty())
    return;
  if (QFileInfo(path).suffix().isEmpty())
    path += QStringLiteral(".csv");
  QString error;
  if (!SaveData(path, &error) && doc)
    doc->ShowMessage(error.toStdString());
}
