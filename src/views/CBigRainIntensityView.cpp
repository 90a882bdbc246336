#include "CBigRainIntensityView.h"

#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/DiagramCsv.h"
#include "statistics/IntervalReader.h"
#include "statistics/TipFileReader.h"

#include <QMenu>
#include <QPainter>

#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace {
const QColor RATE_COLOUR(192, 0, 0);
const QColor TIP_COLOUR(0, 0, 192);
constexpr long TIP_LINES_PER_STEP = 8;
// The mark of a step cut off by the rate scale, in device pixels.
constexpr double CLIP_MARK_HALF_WIDTH = 3;
constexpr double CLIP_MARK_HEIGHT = 5;
} // namespace

CBigRainIntensityView::CBigRainIntensityView(CPluvicamDoc *doc, QWidget *parent)
    : BigDiagramView(doc, parent) {
  setObjectName(QStringLiteral("CBigRainIntensityView"));
  SetPictureName(QStringLiteral("rain-rate"));
  Layout();
}

CBigRainIntensityView::~CBigRainIntensityView() = default;

QPointF CBigRainIntensityView::WindowOrg() const {
  return {std::trunc(-0.1 * axis.X()), std::trunc(1.1 * axis.Y())};
}

QSizeF CBigRainIntensityView::WindowExt() const {
  return {std::trunc(1.2 * axis.X()), std::trunc(-1.2 * axis.Y())};
}

QPoint CBigRainIntensityView::DeviceOf(double seconds, double rate) const {
  return DevicePixel(QPointF(axis.XOf(seconds), RainRateAxis::YOf(rate)));
}

void CBigRainIntensityView::Layout() {
  if (doc) {
    FilterRecord filter;
    doc->GetFilterSettings(filter);
    axis.Layout(filter.startTime, filter.endTime);
  }
  InvalidateFrame();
}

void CBigRainIntensityView::Resized() {
  Layout();
  if (tipShown && !computing)
    UpdateTipCurve();
  Rebuild();
}

double CBigRainIntensityView::TextHeight() const {
  // A fortieth of the plot's height at 96 dots per inch (more on denser displays): the time
  // labels and "TIME" then fit one above the other below the axis.
  return FontHeight(axis.Y() / 40.0 * 72.0 / 96.0);
}

void CBigRainIntensityView::DrawFrame(QPainter &p) {
  const int X = axis.X(), Y = axis.Y();
  const int tx = Y / 40, ty = X / 80;
  const double h = TextHeight();
  DrawText(p, {X / 2.0, std::trunc(1.1 * Y)}, QStringLiteral("Rainrate versus Time"), HCenter | Top,
           h, QColor(255, 0, 0));
  p.drawLine(0, Y, 0, 0);
  p.drawLine(0, 0, X, 0);
  DrawText(p, {X / 2.0, std::trunc(-2.5 * tx)}, QStringLiteral("TIME"), HCenter | VCenter, h);
  DrawText(p, {0, double(Y + 3 * tx)}, QStringLiteral("mm/h"), HCenter | VCenter, h);
  DrawText(p, {-0.08 * X, Y / 2.0}, QStringLiteral("Rainrate"), HCenter | VCenter, h, Qt::black,
           false, 270);

  const int spu = axis.SecondsPerUnit();
  const RainRateAxis::Steps time = axis.TimeSteps();
  const int last = axis.Range() / spu;
  for (int x = 0; x <= last; x += time.minor / spu) {
    if (x % (time.major / spu) == 0) {
      p.drawLine(x, 0, x, -tx);
      const int s = x * spu + axis.AxisStart();
      DrawText(p, {double(x), double(-tx)}, QString::asprintf("%02d:%02d", s / 3600, s / 60 % 60),
               HCenter | Top, h);
    } else {
      p.drawLine(x, 0, x, -std::max(tx / 2, 1));
    }
  }
  const RainRateAxis::Steps rate = axis.RateSteps();
  for (int y = 0; y <= Y; y += rate.minor) {
    if (y % rate.major == 0) {
      p.drawLine(0, y, -ty, y);
      DrawText(p, {double(-3 * ty), double(y)}, QString::asprintf("%3d", y / 10), HCenter | VCenter,
               h);
    } else {
      p.drawLine(0, y, -ty / 2, y);
    }
  }
}

void CBigRainIntensityView::DrawRatePoints(QPainter &p, size_t from) const {
  DrawSteps(p, ratePoints, from, RATE_COLOUR);
}

void CBigRainIntensityView::DrawSteps(QPainter &p, const std::vector<QPoint> &points, size_t from,
                                      const QColor &colour) const {
  if (points.size() < 2 || from + 1 >= points.size())
    return;
  p.save();
  p.setPen(PixelPen(colour));
  const QRectF plot(QPointF(1, 1), QPointF(axis.X(), axis.Y()));
  if (KeepsNoClip(p)) {
    QPolygonF line;
    for (size_t i = from; i < points.size(); ++i)
      line << QPointF(points[i]);
    DrawClippedPolyline(p, line, plot.intersected(ShownArea()));
  } else {
    p.setClipRect(plot, Qt::IntersectClip);
    p.drawPolyline(points.data() + from, int(points.size() - from));
  }
  p.restore();
  p.save();
  // A small peak above the top edge, in device pixels so that it reads at any size.
  const LogicalMapping m = Mapping();
  p.resetTransform();
  p.setBrush(colour);
  for (size_t i = from & ~size_t(1); i + 1 < points.size(); i += 2) {
    if (points[i].y() <= axis.Y())
      continue;
    const QPointF top = m.ToDevice(QPointF((points[i].x() + points[i + 1].x()) / 2.0, axis.Y()));
    if (top.x() < m.ToDevice(QPointF(0, 0)).x() || top.x() > m.ToDevice(QPointF(axis.X(), 0)).x())
      continue;
    const QPointF mark[] = {top + QPointF(-CLIP_MARK_HALF_WIDTH, -1),
                            top + QPointF(CLIP_MARK_HALF_WIDTH, -1),
                            top + QPointF(0, -1 - CLIP_MARK_HEIGHT)};
    p.drawPolygon(mark, 3);
  }
  p.restore();
}

void CBigRainIntensityView::DrawState(QPainter &p) {
  DrawRatePoints(p, 0);
  if (tipShown && !computing && tipCurve.segments.size() > 0) {
    std::vector<QPoint> points;
    points.reserve(tipCurve.segments.size() * 2);
    for (const RateSegment &s : tipCurve.segments) {
      points.emplace_back(axis.XOf(s.startSec), s.y);
      points.emplace_back(axis.XOf(s.endSec), s.y);
    }
    DrawSteps(p, points, 0, TIP_COLOUR);
  }
}

void CBigRainIntensityView::DrawOverlay(QPainter &p) {
  // The colour key, top right inside the plot: a short stroke of each curve and its name.
  const double h = TextHeight();
  const LogicalMapping m = Mapping();
  const double lineHeight = m.LogicalLengthY(std::max(double(MIN_TEXT_PIXELS), m.DeviceLengthY(h)));
  // Placed in the region shown, so that a zoom keeps it in view.
  const QRectF shown = ShownArea();
  const double right = shown.left() + 0.98 * shown.width();
  const double stroke = 0.04 * shown.width();
  auto key = [&](double y, const QColor &colour, const QString &name) {
    p.setPen(PixelPen(colour, 2));
    p.drawLine(QPointF(right - stroke, y), QPointF(right, y));
    DrawText(p, {right - 1.25 * stroke, y}, name, Right | VCenter, h, colour);
  };
  double y = shown.top() + 0.96 * shown.height();
  key(y, RATE_COLOUR, QStringLiteral("particles"));
  if (tipShown && !computing)
    key(y - 1.4 * lineHeight, TIP_COLOUR, QStringLiteral("gauge (tips)"));
  p.setPen(PixelPen(Qt::black));
}

void CBigRainIntensityView::AddPoints(size_t fromSegment) {
  for (size_t i = fromSegment; i < segments.size(); ++i) {
    const RateSegment &s = segments[i];
    ratePoints.emplace_back(axis.XOf(s.startSec), s.y);
    ratePoints.emplace_back(axis.XOf(s.endSec), s.y);
  }
}

bool CBigRainIntensityView::RunStep(RainRateRun &engine, IntervalReader &reader) {
  if (run != 1)
    return false;
  const size_t segmentsBefore = engine.Segments().size();
  const IntervalReader::Outcome outcome = reader.Next();
  if (outcome == IntervalReader::Particle) {
    const HydRecord &h = reader.Record();
    IntegrationState *state = doc->GetIntegrationState();
    if (!engine.Started())
      state->startTim = h.tim;
    engine.Add(h.tim, reader.LineFrequency(), RainRateRun::RainOf(h.volume, h.area));
    state->endTim = h.tim;
    doc->GetIntegrationSettings(IntegrationKind::RainRate).result = engine.Total();
  } else if (outcome == IntervalReader::DataEnd || outcome == IntervalReader::Failure) {
    // A record whose computation failed is passed over (BadRecord); an error ends the run.
    emit Finished();
    if (outcome == IntervalReader::Failure)
      doc->ShowMessage(reader.Message());
    return false;
  }
  if (engine.Segments().size() > segmentsBefore)
    TakeSegments(engine, segmentsBefore);
  return run == 1;
}

void CBigRainIntensityView::TakeSegments(const RainRateRun &engine, size_t fromSegment) {
  const size_t pointsBefore = ratePoints.size();
  segments.insert(segments.end(), engine.Segments().begin() + long(fromSegment),
                  engine.Segments().end());
  AddPoints(fromSegment);
  // Only the new part of the curve is drawn onto the picture; it joins the part before.
  if (!image.isNull()) {
    QPainter p(&image);
    ApplyMapping(p);
    DrawRatePoints(p, pointsBefore > 0 ? pointsBefore - 1 : 0);
  }
  ScheduleRepaint();
}

void CBigRainIntensityView::Start() {
  if (computing)
    return; // one run at a time
  ratePoints.clear();
  segments.clear();
  run = 1;
  Rebuild();
  if (!doc)
    return;
  IntegrationSettings &r = doc->GetIntegrationSettings(IntegrationKind::RainRate);
  IntegrationState *state = doc->GetIntegrationState();
  if (!state)
    return;
  r.result = 0;
  computing = 1;
  RainRateRun engine(r.mode, r.rainInterval, r.timeInterval);
  IntervalReader reader(*doc);
  RunInSlices([&] { return RunStep(engine, reader); }, SLICE_MS);

  state->valid = true;
  computing = 0;
  run = 0;
  if (tipShown)
    UpdateTipCurve();
  Rebuild();
  emit FiguresChanged();
}

QRectF CBigRainIntensityView::PlotArea() const {
  return {0, 0, double(axis.X()), double(axis.Y())};
}

BigDiagramView::Axis CBigRainIntensityView::XAxis() const {
  const double spu = axis.SecondsPerUnit();
  return {1 / spu, -axis.AxisStart() / spu, QStringLiteral("time"), QString(),
          BigDiagramView::Axis::Clock};
}

BigDiagramView::Axis CBigRainIntensityView::YAxis() const {
  return {10, 0, QStringLiteral("rate"), QStringLiteral("mm/h")};
}

void CBigRainIntensityView::FitToData() {
  double first = HUGE_VAL, last = -HUGE_VAL;
  for (const RateSegment &s : segments) {
    first = std::min(first, s.startSec);
    last = std::max(last, s.endSec);
  }
  if (tipShown)
    for (const RateSegment &s : tipCurve.segments) {
      first = std::min(first, s.startSec);
      last = std::max(last, s.endSec);
    }
  if (!(last > first))
    return;
  const BigDiagramView::Axis x = XAxis();
  const double left = std::max(0.0, x.LogicalOf(first));
  const double right = std::min(double(axis.X()), x.LogicalOf(last));
  ClearZoom();
  ZoomTo(QRectF(QPointF(left, 0), QPointF(right, axis.Y())));
}

void CBigRainIntensityView::AddMenuActions(QMenu &menu) {
  BigDiagramView::AddMenuActions(menu);
  QAction *fit = menu.addAction(QStringLiteral("Fit"));
  fit->setObjectName(QStringLiteral("fit"));
  fit->setEnabled(!computing && !segments.empty());
  connect(fit, &QAction::triggered, this, [this] { FitToData(); });
  if (windowBefore) {
    QAction *reset = menu.addAction(QStringLiteral("Reset Time"));
    reset->setObjectName(QStringLiteral("resetTime"));
    reset->setEnabled(!computing);
    connect(reset, &QAction::triggered, this, [this] { ResetTime(); });
  }
}

TimeSpan CBigRainIntensityView::SpanBetween(double x1, double x2) const {
  const LogicalMapping m = Mapping();
  const BigDiagramView::Axis x = XAxis();
  const QRectF shown = ShownArea();
  auto seconds = [&](double device) {
    const double l = std::clamp(m.ToLogical(QPointF(device, 0)).x(), shown.left(), shown.right());
    return x.ValueOf(l);
  };
  FilterRecord filter;
  if (doc)
    doc->GetFilterSettings(filter);
  return TimeSpan::Covering(seconds(x1), seconds(x2), filter.startTime.Seconds(),
                            doc ? filter.endTime.Seconds() : 24 * 3600);
}

void CBigRainIntensityView::SetTimeWindow(const TimeSpan &span) {
  if (!doc || span.Empty() || computing)
    return;
  FilterRecord filter;
  doc->GetFilterSettings(filter);
  if (!windowBefore)
    windowBefore = filter;
  filter.startTime = TimeSpan::Clock(span.from);
  filter.endTime = TimeSpan::Clock(span.to);
  doc->SetFilterSettings(filter);
  LayOnNewWindow();
}

bool CBigRainIntensityView::ResetTime() {
  if (!doc || !windowBefore || computing)
    return false;
  doc->SetFilterSettings(*std::exchange(windowBefore, std::nullopt));
  LayOnNewWindow();
  return true;
}

void CBigRainIntensityView::LayOnNewWindow() {
  ClearZoom();
  Layout();
  // The curve stays, laid on the new axis.
  ratePoints.clear();
  AddPoints(0);
  if (tipShown)
    UpdateTipCurve();
  Rebuild();
  update();
}

const RateSegment *CBigRainIntensityView::StepAt(double seconds) const {
  for (const RateSegment &s : segments)
    if (seconds >= s.startSec && seconds < s.endSec)
      return &s;
  return nullptr;
}

bool CBigRainIntensityView::OwnsDrag(const QMouseEvent &event) const {
  const QPoint bottom = DevicePixel(QPointF(0, 0));
  const QRect clip = StateClip();
  const int axisY = clip.isEmpty() ? bottom.y() : clip.bottom();
  return event.position().y() > axisY;
}

void CBigRainIntensityView::Clicked(QPointF device) {
  const QPointF l = Mapping().ToLogical(device);
  const QRectF shown = ShownArea();
  if (l.x() < shown.left() || l.x() > shown.right() || l.y() < shown.top() ||
      l.y() > shown.bottom())
    return;
  if (const RateSegment *s = StepAt(XAxis().ValueOf(l.x()))) {
    const TimeSpan span = TimeSpan::Covering(s->startSec, s->endSec, 0, 48 * 3600);
    emit CursorTextChanged(QStringLiteral("step %1  %2 mm/h")
                               .arg(QString::fromStdString(span.Text()))
                               .arg(double(s->rate), 0, 'f', 2));
  }
}

void CBigRainIntensityView::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || computing || !OwnsDrag(*event)) {
    BigDiagramView::mousePressEvent(event);
    return;
  }
  spanning = true;
  spanStartX = spanEndX = event->position().x();
  update();
}

void CBigRainIntensityView::mouseMoveEvent(QMouseEvent *event) {
  if (spanning) {
    spanEndX = event->position().x();
    update();
  }
  BigDiagramView::mouseMoveEvent(event);
}

void CBigRainIntensityView::mouseReleaseEvent(QMouseEvent *event) {
  if (!spanning || event->button() != Qt::LeftButton) {
    BigDiagramView::mouseReleaseEvent(event);
    return;
  }
  spanning = false;
  spanEndX = event->position().x();
  update();
  if (std::abs(spanEndX - spanStartX) < 3)
    return;
  const TimeSpan span = SpanBetween(spanStartX, spanEndX);
  if (span.Empty())
    return;
  QMenu menu(this);
  QAction *window = menu.addAction(
      QStringLiteral("Set time window to %1").arg(QString::fromStdString(span.Text())));
  window->setObjectName(QStringLiteral("setTimeWindow"));
  QAction *dsd = menu.addAction(QStringLiteral("Drop size distribution of this span"));
  dsd->setObjectName(QStringLiteral("spanDsd"));
  const QPoint at = event->globalPosition().toPoint();
  QAction *chosen = execSpanMenu ? execSpanMenu(menu, at) : menu.exec(at);
  if (chosen == window)
    SetTimeWindow(span);
  else if (chosen == dsd)
    emit SpanDsdRequested(span);
}

void CBigRainIntensityView::paintEvent(QPaintEvent *event) {
  BigDiagramView::paintEvent(event);
  if (!spanning)
    return;
  QPainter p(this);
  const QRect clip = StateClip();
  const double top = clip.isEmpty() ? DevicePixel(QPointF(0, axis.Y())).y() : clip.top();
  const double bottom = clip.isEmpty() ? DevicePixel(QPointF(0, 0)).y() : clip.bottom();
  QColor band(0, 0, 192, 48);
  p.fillRect(QRectF(QPointF(std::min(spanStartX, spanEndX), top),
                    QPointF(std::max(spanStartX, spanEndX), bottom)),
             band);
}

void CBigRainIntensityView::OnScaleUp() {
  ClearZoom();
  axis.ScaleUp();
  Layout();
  Rebuild();
}

void CBigRainIntensityView::OnScaleDown() {
  ClearZoom();
  axis.ScaleDown();
  Layout();
  Rebuild();
}

void CBigRainIntensityView::OnToggle() {
  if (computing)
    return;
  IntegrationSettings *r = doc ? &doc->GetIntegrationSettings(IntegrationKind::RainRate) : nullptr;
  if (!doc || !r)
    return;
  if (!tipsRead) {
    std::string message;
    const std::string path = TipFilePath(doc->GetFilePath());
    TipFileReader reader;
    computing = 1;
    run = 1;
    int status = reader.Open(path, &message);
    if (status) {
      // The reading takes the events between slices of lines, as a run does.
      RunInSlices(
          [&] {
            status = reader.Read(TIP_LINES_PER_STEP, &message);
            if (status == 2 && run != 1) {
              reader.Stop();
              status = 1;
            }
            return status == 2;
          },
          SLICE_MS);
    }
    computing = 0;
    if (!status) {
      run = 0;
      doc->ShowMessage(message);
      return;
    }
    tipList = reader.Result().tips;
    const std::string skipped = BadTipLinesNote(reader.Result());
    if (!skipped.empty())
      doc->ShowMessage(skipped);
    // A file without tips is read again at the next toggle.
    tipsRead = !tipList.empty();
  }
  if (tipShown) {
    tipShown = 0;
    r->gaugeTotal = -1.0f;
  } else {
    tipShown = 1;
    r->gaugeTotal = gaugeTotal;
    UpdateTipCurve();
  }
  Rebuild();
  emit FiguresChanged();
}

void CBigRainIntensityView::UpdateTipCurve() {
  const float tipSize = tipSizeSource ? tipSizeSource() : 0.1f;
  // The total counts the tips of the time window, as the particles' total does.
  double fromSec = -HUGE_VAL, toSec = HUGE_VAL;
  if (doc) {
    fromSec = doc->GetFilter().startTime.Seconds();
    toSec = doc->GetFilter().endTime.Seconds();
  }
  tipCurve = ComputeTipCurve(tipList, axis, tipSize, fromSec, toSec);
  if (!tipCurve.found)
    return;
  gaugeTotal = tipCurve.gaugeTotal;
  if (IntegrationSettings *r =
          doc ? &doc->GetIntegrationSettings(IntegrationKind::RainRate) : nullptr)
    r->gaugeTotal = gaugeTotal;
  emit FiguresChanged();
}

void CBigRainIntensityView::Reset() {
  ratePoints.clear();
  segments.clear();
  gaugeTotal = -1.0f;
  if (tipShown && !computing)
    UpdateTipCurve();
  Rebuild();
}

std::string CBigRainIntensityView::DataTable() {
  if (segments.empty() && !(tipShown && !tipCurve.segments.empty()))
    return {};
  std::string table = diagramcsv::RAIN_RATE_COLUMNS;
  for (const RateSegment &s : segments)
    diagramcsv::AppendRainRateRow(table, "particles", s);
  if (tipShown)
    for (const RateSegment &s : tipCurve.segments)
      diagramcsv::AppendRainRateRow(table, "gauge", s);
  return table;
}

bool CBigRainIntensityView::IsIdle() {
  run = 0;
  return computing == 0;
}
