#include "DiagramView.h"

#include "DiagramPicture.h"
#include "document/CPluvicamDoc.h"
#include "statistics/SegmentClip.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <cmath>

const QColor DiagramView::BACKGROUND(192, 192, 192);

namespace {
// Large enough to hold any text that an alignment anchors to one side of it.
constexpr double TEXT_ROOM = 100000;
// Where the last picture went; the next save dialog opens there.
QString pictureFolder;
} // namespace

QPen PixelPen(const QColor &colour, int width) {
  QPen pen(colour, width);
  pen.setCosmetic(true);
  return pen;
}

DiagramView::DiagramView(CPluvicamDoc *document, QWidget *parent) : QWidget(parent), doc(document) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  repaintTimer.setSingleShot(true);
  repaintTimer.setInterval(16);
  connect(&repaintTimer, &QTimer::timeout, this, [this] {
    Flush();
    update();
  });
  if (doc)
    doc->AddListener(this);
}

DiagramView::~DiagramView() {
  if (doc)
    doc->RemoveListener(this);
}

LogicalMapping DiagramView::Mapping() const {
  const QSizeF viewport(width(), height());
  if (IsotropicMapping())
    return LogicalMapping::Isotropic(WindowOrg(), WindowExt(), {}, viewport);
  QPointF org = WindowOrg();
  QSizeF ext = WindowExt();
  const LogicalMapping asked = LogicalMapping::Anisotropic(org, ext, {}, viewport);
  const double need = LeftMarginPixels(asked);
  const double right = org.x() + ext.width();
  if (need > 0 && need < viewport.width() / 2 && right > 0 && asked.ToDevice({0, 0}).x() < need) {
    // The left edge that puts x = 0 exactly `need` pixels in, the right edge kept.
    const double left = -need * right / (viewport.width() - need);
    org.setX(left);
    ext.setWidth(right - left);
  }
  AdjustWindow(org, ext, viewport);
  return LogicalMapping::Anisotropic(org, ext, {}, viewport);
}

double DiagramView::LogicalLengthX(double pixels) const {
  const double perUnit = Mapping().DeviceLengthX(1);
  return perUnit > 0 ? pixels / perUnit : 0;
}

double DiagramView::YLabelMargin(const LogicalMapping &m,
                                 std::initializer_list<const char *> labels, double tick,
                                 double height) {
  double widest = 0;
  for (const char *label : labels)
    widest = std::max(widest, TextPixels(m, QString::fromLatin1(label), height));
  // One pixel more, so that nothing touches the pane's edge.
  return widest + m.DeviceLengthX(tick) + Y_LABEL_GAP + 1;
}

double DiagramView::TextPixels(const LogicalMapping &m, const QString &text, double height) {
  return QFontMetricsF(TextFont(m, height, false)).horizontalAdvance(text);
}

QPoint DiagramView::DevicePixel(QPointF logical) const {
  const QPointF d = Mapping().ToDevice(logical);
  return {int(std::floor(d.x())), int(std::floor(d.y()))};
}

const QImage &DiagramView::Image() const {
  // The image is a cache of the view's state: building it does not change what the view shows.
  const_cast<DiagramView *>(this)->Flush();
  return image;
}

void DiagramView::Flush() {
  if (stale) {
    stale = false;
    PrepareState();
    Draw();
  }
  DrawPending();
}

QImage &DiagramView::Canvas() {
  Flush();
  return image;
}

void DiagramView::Rebuild() {
  stale = true;
  ScheduleRepaint();
}

void DiagramView::Draw() {
  if (image.size() != size())
    image = QImage(size(), QImage::Format_RGB32);
  if (image.isNull())
    return;
  // Axes and labels are laid out once per size: text layout is the dearest part of a redraw,
  // and some views redraw for every particle.
  if (frame.size() != image.size()) {
    frame = QImage(size(), QImage::Format_RGB32);
    frame.fill(BACKGROUND);
    QPainter p(&frame);
    ApplyMapping(p);
    PaintFrame(p);
  }
  image = frame.copy();
  {
    QPainter p(&image);
    ApplyMapping(p);
    ClipToState(p);
    DrawState(p);
  }
}

void DiagramView::ScheduleRepaint() {
  if (!repaintTimer.isActive())
    repaintTimer.start();
}

void DiagramView::ApplyMapping(QPainter &p) const {
  p.setTransform(Mapping().Transform());
  p.setClipping(false);
  p.setBrush(Qt::NoBrush);
  p.setPen(PixelPen(Qt::black));
}

double DiagramView::FontHeight(double n) const { return logicalDpiY() * n / 72.0; }

double DiagramView::FittingHeight(double height, double charWidth) const {
  const LogicalMapping m = Mapping();
  // Courier's advance is 0.6 of its height.
  return std::min(height, m.LogicalLengthY(m.DeviceLengthX(charWidth) / 0.6));
}

QFont DiagramView::TextFont(const LogicalMapping &m, double height, bool bold) {
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  // Plain pixels in the text colour, as the diagrams have always drawn them.
  font.setStyleStrategy(QFont::NoAntialias);
  // Scaled with the pane, but never below what can still be read ("50" must not become "S0").
  font.setPixelSize(std::max(MIN_TEXT_PIXELS, int(std::lround(m.DeviceLengthY(height)))));
  font.setBold(bold);
  return font;
}

double DiagramView::TextWidth(const QString &text, double height, bool bold) const {
  const LogicalMapping m = Mapping();
  const double pixels = QFontMetricsF(TextFont(m, height, bold)).horizontalAdvance(text);
  const double perUnit = m.DeviceLengthX(1);
  return perUnit > 0 ? pixels / perUnit : 0;
}

void DiagramView::DrawText(QPainter &p, QPointF at, const QString &text, int align, double height,
                           const QColor &colour, bool bold, double rotation) const {
  const LogicalMapping m = Mapping();
  const QPointF d = m.ToDevice(at);
  const QFont font = TextFont(m, height, bold);
  p.save();
  p.resetTransform();
  p.setClipping(false);
  p.setFont(font);
  p.setPen(colour);
  p.translate(d);
  // Escapement 2700: the text reads downwards.
  if (rotation != 0)
    p.rotate(-rotation);
  double x = -TEXT_ROOM / 2, y = -TEXT_ROOM / 2;
  int flags = 0;
  if (align & Left)
    x = 0, flags |= Qt::AlignLeft;
  else if (align & Right)
    x = -TEXT_ROOM, flags |= Qt::AlignRight;
  else
    flags |= Qt::AlignHCenter;
  if (align & Top)
    y = 0, flags |= Qt::AlignTop;
  else if (align & Bottom)
    y = -TEXT_ROOM, flags |= Qt::AlignBottom;
  else
    flags |= Qt::AlignVCenter;
  p.drawText(QRectF(x, y, TEXT_ROOM, TEXT_ROOM), flags, text);
  p.restore();
}

void DiagramView::DrawTextInRect(QPainter &p, QPointF c1, QPointF c2, const QString &text,
                                 int align, double height, const QColor &colour, bool bold) const {
  const LogicalMapping m = Mapping();
  const QRectF r = QRectF(m.ToDevice(c1), m.ToDevice(c2)).normalized();
  QPointF at;
  if (align & Left)
    at.setX(r.left());
  else if (align & Right)
    at.setX(r.right());
  else
    at.setX(r.center().x());
  if (align & Top)
    at.setY(r.top());
  else if (align & Bottom)
    at.setY(r.bottom());
  else
    at.setY(r.center().y());
  DrawText(p, m.ToLogical(at), text, align, height, colour, bold);
}

bool DiagramView::KeepsNoClip(const QPainter &p) {
  return p.paintEngine() && p.paintEngine()->type() == QPaintEngine::SVG;
}

void DiagramView::DrawClippedPolyline(QPainter &p, const QPolygonF &points, const QRectF &clip) {
  QList<QLineF> lines;
  for (qsizetype i = 1; i < points.size(); ++i) {
    Segment s{points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y()};
    if (ClipSegment(s, clip.left(), clip.top(), clip.right(), clip.bottom()))
      lines << QLineF(s.x1, s.y1, s.x2, s.y2);
  }
  p.drawLines(lines);
}

void DiagramView::ClipToState(QPainter &p) const {
  const QRect clip = StateClip();
  if (!clip.isEmpty()) {
    const QTransform kept = p.transform();
    p.resetTransform();
    p.setClipRect(clip);
    p.setTransform(kept);
  }
}

void DiagramView::SetLogicalPixel(QPointF logical, QColor colour) {
  const QPoint d = DevicePixel(logical);
  QImage &canvas = Canvas();
  const QRect clip = StateClip();
  if (canvas.rect().contains(d) && (clip.isEmpty() || clip.contains(d)))
    canvas.setPixel(d, colour.rgb());
}

void DiagramView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  image = QImage(size(), QImage::Format_RGB32);
  if (!image.isNull())
    Resized();
}

void DiagramView::paintEvent(QPaintEvent *) {
  Flush();
  QPainter p(this);
  if (image.isNull())
    p.fillRect(rect(), BACKGROUND);
  else
    p.drawImage(0, 0, image);
  ApplyMapping(p);
  ClipToState(p);
  DrawOverlay(p);
}

void DiagramView::PaintScene(QPainter &p) {
  p.drawImage(0, 0, Picture());
  ApplyMapping(p);
  DrawOverlay(p);
}

diagrampicture::Scene DiagramView::PictureScene() {
  if (Picture().isNull())
    return {};
  return {size(), [this](QPainter &p) { PaintScene(p); }};
}

const HydRecord *DiagramView::AcceptedRecord() const {
  if (!doc)
    return nullptr;
  int status = -1;
  const HydRecord *r = doc->GetHydHeader(&status);
  return status == CPluvicamDoc::statusAccepted ? r : nullptr;
}

const QImage &DiagramView::Picture() {
  if (image.size() != size())
    Rebuild();
  return Image();
}

bool DiagramView::SavePicture(const QString &path, QString *error, double scale) {
  return diagrampicture::Save(PictureScene(), path, scale,
                              doc ? doc->GetOutputGuard() : OutputGuard(), error);
}

void DiagramView::CopyPicture() {
  const QImage picture = diagrampicture::Render(PictureScene(), 1);
  if (!picture.isNull())
    QApplication::clipboard()->setImage(picture);
}

QMenu *DiagramView::CreatePictureMenu(QWidget *parent) {
  auto *menu = new QMenu(parent);
  QAction *save = menu->addAction(QStringLiteral("Save picture\u2026"));
  save->setObjectName(QStringLiteral("savePicture"));
  connect(save, &QAction::triggered, this, [this] { AskAndSavePicture(); });
  QAction *copy = menu->addAction(QStringLiteral("Copy picture"));
  copy->setObjectName(QStringLiteral("copyPicture"));
  connect(copy, &QAction::triggered, this, [this] { CopyPicture(); });
  const bool hasPicture = !Picture().isNull();
  save->setEnabled(hasPicture);
  copy->setEnabled(hasPicture);
  AddMenuActions(*menu);
  return menu;
}

void DiagramView::contextMenuEvent(QContextMenuEvent *event) {
  QMenu *menu = CreatePictureMenu(this);
  menu->exec(event->globalPos());
  delete menu;
}

void DiagramView::AskAndSavePicture() {
  QString folder = pictureFolder;
  QString name = QStringLiteral("diagram");
  if (doc && doc->HasHydFile()) {
    const QFileInfo data(QString::fromStdString(doc->GetFilePath()));
    if (folder.isEmpty())
      folder = data.absolutePath();
    name = data.completeBaseName();
  }
  if (!pictureName.isEmpty())
    name += QLatin1Char('-') + pictureName;
  QString filter;
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Save picture"),
                                   QFileInfo(folder, name + QStringLiteral(".png")).filePath(),
                                   diagrampicture::Filters(), &filter);
  if (path.isEmpty())
    return;
  path = diagrampicture::WithSuffix(path, filter);
  pictureFolder = QFileInfo(path).absolutePath();
  QString error;
  if (SavePicture(path, &error, diagrampicture::ScaleOf(filter)))
    return;
  if (doc)
    doc->ShowMessage(error.toStdString());
  else
    QMessageBox::warning(this, QStringLiteral("Save picture"), error);
}
