#include "CBigOblView.h"

#include "BigFrameHost.h"
#include "CCalibDataDlg.h"
#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/CalibrationExport.h"
#include "statistics/DiagramCsv.h"
#include "statistics/OblatenessPlot.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace op = OblatenessPlot;

const QString CBigOblView::LEGEND_PB =
    QStringLiteral("H/W(D) = 1.03 - 0.124 * D/2                 (PB)");
const QString CBigOblView::LEGEND_RO =
    QString::fromUtf8("H/W(D) = 1.064 - 0.07406*D + 0.00072619*D\u00B2  (RO)");

namespace {
constexpr double SCATTER_N = 65;
constexpr double LEGEND_N = 50;
constexpr double DISTRIBUTION_N = 325;
const QColor RO_RED(192, 0, 0);
const QColor PB_BLUE(0, 0, 192);

std::string NothingWritten(const QString &path, const std::string &reason) {
  return "Nothing was written to " + path.toStdString() + ": " + reason;
}
} // namespace

CBigOblView::CBigOblView(CPluvicamDoc *doc, QWidget *parent) : BigDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigOblView"));
  SetPictureName(QStringLiteral("obl"));
  ask.chooseDiameter = [this](double diameter) {
    CCalibDataDlg dialog(diameter, this);
    return dialog.exec() == QDialog::Accepted ? dialog.GetIndex() : -1;
  };
  ask.askYesNo = [this](const QString &question) {
    return QMessageBox::question(this, QStringLiteral("Pluvicam"), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  ask.askSavePath = [this](const QString &initial) {
    return QFileDialog::getSaveFileName(this, QString(), initial);
  };
}

int CBigOblView::Scale() const { return doc ? doc->GetViewFactor() : 1; }

QPointF CBigOblView::WindowOrg() const {
  return mode ? QPointF(-200, 11000) : QPointF(-1000, 2200);
}

QSizeF CBigOblView::WindowExt() const { return mode ? QSizeF(2400, -12000) : QSizeF(12000, -2400); }

QRectF CBigOblView::PlotArea() const {
  return mode ? QRectF(0, 0, 2000, 10000) : QRectF(0, 0, 10000, 2000);
}

BigDiagramView::Axis CBigOblView::XAxis() const {
  if (mode)
    return {1000, 0, QStringLiteral("H/W"), QString()};
  return {1000.0 / Scale(), 0, QStringLiteral("D"), QStringLiteral("mm")};
}

BigDiagramView::Axis CBigOblView::YAxis() const {
  if (mode)
    return {100, 0, QStringLiteral("N(H/W)"), QStringLiteral("% of max")};
  return {1000, 0, QStringLiteral("H/W"), QString()};
}

bool CBigOblView::OwnsDrag(const QMouseEvent &event) const {
  return !mode && !(event.modifiers() & Qt::ShiftModifier);
}

void CBigOblView::Prepare() {
  if (frameScale != Scale() || frameMode != mode) {
    InvalidateFrame();
    ClearZoom();
  }
  Rebuild();
  update();
}

void CBigOblView::DrawFrame(QPainter &p) {
  frameScale = Scale();
  frameMode = mode;
  if (mode)
    DrawDistributionFrame(p);
  else
    DrawScatterFrame(p);
}

void CBigOblView::DrawState(QPainter &p) {
  if (!mode)
    dots.Draw(p, Mapping());
}

void CBigOblView::DrawScatterFrame(QPainter &p) {
  const int s = Scale();
  const double h = FontHeight(SCATTER_N);
  DrawText(p, {5000, 2200}, "Oblateness vs. Diameter", HCenter | Top, h, QColor(255, 0, 0));
  p.drawLine(0, 2000, 0, 0);
  p.drawLine(0, 0, 10000, 0);
  for (int x = 0; x <= 10000; x += 100) {
    if (x % 1000 == 0) {
      p.drawLine(x, 0, x, -50);
      DrawText(p, {double(x), -100}, QString::number(s * x / 1000), HCenter | Top, h);
    } else {
      p.drawLine(x, 0, x, -25);
    }
  }
  for (int y = 0; y <= 2000; y += 100) {
    if (y % 500 == 0) {
      p.drawLine(0, y, -125, y);
      DrawText(p, {-250, double(y)}, QString::asprintf("%3.1f", y / 1000.0), HCenter | Top, h);
    } else {
      p.drawLine(0, y, -62, y);
    }
  }
  DrawText(p, {10375, 50}, "mm", HCenter | Top, h);
  DrawText(p, {0, 2100}, "H/W", HCenter | Top, h);
}

void CBigOblView::DrawDistributionFrame(QPainter &p) {
  const double h = FontHeight(DISTRIBUTION_N);
  DrawText(p, {1000, 11000}, "Oblateness Distribution", HCenter | Top, h, QColor(255, 0, 0));
  // Read downwards, its glyphs lie on the window's side of the anchor, left of the labels.
  DrawText(p, {-188, 5000}, "N(H/W) in % of N(H/W)max", HCenter | Bottom, h, Qt::black, false, 270);
  DrawText(p, {1000, -600}, "Oblateness", HCenter | Top, h);
  p.drawLine(0, 10000, 0, 0);
  p.drawLine(0, 0, 2000, 0);
  for (int x = 0; x <= 2000; x += 100) {
    p.drawLine(x, 0, x, -250);
    if (x % 200 == 0)
      DrawText(p, {double(x), -250}, QString::asprintf("%.1f", x / 1000.0), HCenter | Top, h);
  }
  for (int y = 0; y <= 10000; y += 100) {
    if (y % 500 == 0) {
      p.drawLine(0, y, -25, y);
      if (y % 1000 == 0)
        DrawText(p, {-75, double(y + 250)}, QString::asprintf("%2d", y / 100), HCenter | Top, h);
    } else {
      p.drawLine(0, y, -12, y);
    }
  }
  p.setPen(PixelPen(QColor(150, 150, 150)));
  for (int x = 200; x <= 2000; x += 200)
    p.drawLine(x, 0, x, 10000);
  for (int y = 1000; y <= 10000; y += 1000)
    p.drawLine(0, y, 2000, y);
  p.setPen(PixelPen(Qt::black));
  DrawText(p, {0, 10500}, "%", HCenter | Top, h);
  DrawText(p, {2075, 250}, "H/W", HCenter | Top, h);
}

void CBigOblView::DrawModels(QPainter &p) {
  const int s = Scale();
  auto polyline = [&](op::Model model, const QColor &colour) {
    const auto points = op::ModelCurve(model, s);
    if (KeepsNoClip(p) && IsZoomed()) {
      QPolygonF line;
      for (const PlotPoint &point : points)
        line << QPointF(point.x, point.y);
      p.setPen(PixelPen(colour));
      DrawClippedPolyline(p, line, ShownArea());
      return;
    }
    QPainterPath path;
    path.moveTo(points.front().x, points.front().y);
    for (size_t i = 1; i < points.size(); ++i)
      path.lineTo(points[i].x, points[i].y);
    p.setPen(PixelPen(colour));
    p.drawPath(path);
  };
  polyline(op::Model::RO, RO_RED);
  polyline(op::Model::PB, PB_BLUE);
  const double h = FontHeight(LEGEND_N);
  DrawText(p, {5000, 2000}, LEGEND_PB, Left | Top, h, PB_BLUE);
  DrawText(p, {5000, 1900}, LEGEND_RO, Left | Top, h, RO_RED);
  DrawText(p, {5000, 1800}, "D ... diameter in mm", Left | Top, h);
}

void CBigOblView::DrawMarks(QPainter &p) {
  p.setPen(PixelPen(QColor(255, 255, 0)));
  for (const op::Mark &m : op::CalibrationMarks(Scale())) {
    const int x = m.centre.x, y = m.centre.y;
    p.drawLine(x - m.halfWidth, y, x + m.halfWidth, y);
    p.drawLine(x, y + m.halfHeight, x, y - m.halfHeight);
  }
}

void CBigOblView::DrawBars(QPainter &p) {
  const OblatenessHistogram::Summary s = histogram.Summarise();
  if (s.maximum == 0)
    return;
  p.setPen(PixelPen(Qt::white));
  p.setBrush(QColor(0, 192, 0));
  for (int b = 0; b < OblatenessHistogram::BINS; ++b) {
    const int64_t n = histogram.Count(b);
    if (n > 0)
      p.drawRect(QRectF(QPointF(10 * b, 0),
                        QPointF(10 * b + 10, OblatenessHistogram::BarHeight(n, s.maximum))));
  }
  p.setBrush(Qt::NoBrush);
  const auto texts = OblatenessHistogram::StatisticsTexts(s);
  const double h = FontHeight(DISTRIBUTION_N);
  DrawText(p, {1400, 10000}, QString::fromStdString(texts.maximum), Left | Top, h);
  DrawText(p, {1400, 9500}, QString::fromStdString(texts.maxAt), Left | Top, h);
  DrawText(p, {1400, 9000}, QString::fromStdString(texts.center), Left | Top, h);
}

void CBigOblView::DrawOverlay(QPainter &p) {
  if (!mode) {
    if (comp)
      DrawModels(p);
    if (grid)
      DrawMarks(p);
  } else if (!running) {
    DrawBars(p);
  }
}

void CBigOblView::paintEvent(QPaintEvent *event) {
  BigDiagramView::paintEvent(event);
  if (!dragging || mode)
    return;
  QPainter p(this);
  ApplyMapping(p);
  // The rubber band inverts what lies under it.
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.setPen(PixelPen(Qt::black));
  p.drawRect(QRectF(QPointF(dragStart), QPointF(dragCurrent)).normalized());
}

std::string CBigOblView::DataTable() {
  if (mode)
    return histogram.Summarise().maximum > 0 ? diagramcsv::ShapeTable(histogram) : std::string();
  return dots.Table(doc);
}

void CBigOblView::OnToggleComp() {
  if (mode)
    return;
  comp = !comp;
  update();
}

void CBigOblView::OnToggleGrid() {
  if (mode)
    return;
  grid = !grid;
  update();
}

void CBigOblView::OnToggleMode() {
  mode = !mode;
  SelectDot(-1);
  SetPictureName(mode ? QStringLiteral("obl-dist") : QStringLiteral("obl"));
  dragging = false;
  Prepare();
}

bool CBigOblView::IsIdle() {
  running = false;
  return !busy;
}

void CBigOblView::Reset() {
  SelectDot(-1);
  dots.Clear();
  histogram.Clear();
  Prepare();
}

void CBigOblView::Start() {
  if (!doc || busy)
    return;
  Reset();
  running = true;
  busy = true;
  const int s = Scale();
  const bool complete = CollectInSlices(
      *doc, [this] { return running; },
      [&](const HydRecord &r) {
        histogram.Add(r.oblateness);
        const PlotPoint dot = op::Dot(r.diameter, r.oblateness, s);
        dots.Add(DiagramDot::Of(r, dot));
        if (!mode) {
          SetLogicalPixel(QPointF(dot.x, dot.y), dots.Colour());
          ScheduleRepaint();
        }
      },
      [this] {
        running = false;
        emit Finished();
      });
  busy = false;
  update(); // the bars, in distribution mode
  if (!complete)
    doc->ShowMessage(doc->GetStatusText());
  emit FiguresChanged();
}

QPoint CBigOblView::LogicalPoint(QPointF device) const {
  const QPointF l = Mapping().ToLogical(device);
  return {int(std::lround(l.x())), int(std::lround(l.y()))};
}

void CBigOblView::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || busy || !OwnsDrag(*event)) {
    BigDiagramView::mousePressEvent(event);
    return;
  }
  dragStart = dragCurrent = LogicalPoint(event->position());
  dragging = true;
  update();
}

void CBigOblView::mouseMoveEvent(QMouseEvent *event) {
  if (!dragging) {
    BigDiagramView::mouseMoveEvent(event);
    return;
  }
  const QPoint p = LogicalPoint(event->position());
  if (p != dragCurrent) {
    dragCurrent = p;
    update();
  }
}

void CBigOblView::mouseReleaseEvent(QMouseEvent *event) {
  if (!dragging || event->button() != Qt::LeftButton) {
    BigDiagramView::mouseReleaseEvent(event);
    return;
  }
  dragging = false;
  update();
  const PlotPoint start{dragStart.x(), dragStart.y()}, current{dragCurrent.x(), dragCurrent.y()};
  const int index =
      ask.chooseDiameter(CalibrationSelection::CentreDiameter(start, current, Scale()));
  if (index >= 0)
    selection.Set(index, start, current);
}

void CBigOblView::OnCalibrate() {
  if (mode || busy || !doc)
    return;
  if (!selection.Any()) {
    doc->ShowMessage("No Calibration-Data selected");
    return;
  }
  if (!ask.askYesNo(QString::fromStdString(selection.SummaryText())))
    return;
  std::string error;
  if (!SaveCalibData(error))
    doc->ShowMessage(error);
}

bool CBigOblView::SaveCalibData(std::string &error) {
  error.clear();
  BigFrameHost *host = BigFrameHost::Of(this);
  if (!host) {
    error = "CBigOblView::SaveCalibData: parentFrame = NULL";
    return false;
  }
  if (!doc) {
    error = "CBigOblView::SaveCalibData: pDoc = NULL";
    return false;
  }
  // Beside the data it describes, not beside the program.
  const QString folder = QFileInfo(QString::fromStdString(doc->GetFilePath())).absolutePath();
  const QString path = ask.askSavePath(QDir(folder).filePath(QStringLiteral("CORR_IN.DAT")));
  if (path.isEmpty())
    return true;
  // Before the pass, which reads the whole window.
  if (const std::string refusal = doc->GetOutputGuard().Check(path.toStdString());
      !refusal.empty()) {
    error = std::string(CalibrationExport::CREATE_FAILED) + ": " + refusal;
    return false;
  }
  if (!CalibrationExport::Rewind(*doc))
    return true;

  QDialog *status = host->CreateStatusDialog(this);
  if (status)
    status->show();
  host->SetCursor(Cursors::WAIT);
  QWidget *frame = window();
  frame->setEnabled(false);
  running = true;
  busy = true;

  CalibrationExport calibration(selection.Entries(), Scale());
  bool ended = false;
  const bool failed = !CollectInSlices(
      *doc, [this] { return running; }, [&calibration](const HydRecord &r) { calibration.Add(r); },
      [&] {
        ended = true;
        running = false;
      },
      false);
  // Ranges of part of the window would pass for the whole: a pass that did not reach the end
  // of the data (a read error, the frame closing) writes nothing, and says so.
  bool written = false;
  if (failed)
    error = NothingWritten(path, doc->GetStatusText());
  else if (!ended)
    error = NothingWritten(path, "the reading was stopped before the end of the data");
  else
    written = CalibrationExport::WriteFile(path.toStdString(), calibration.Text(),
                                           doc->GetOutputGuard(), error);

  frame->setEnabled(true);
  host->SetCursor(Cursors::ARROW);
  delete status;
  busy = false;
  if (written)
    doc->ShowMessage("Calibration data written to " + path.toStdString());
  return written;
}
