#include "CSmallTopView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <QPainter>

namespace {
constexpr double TITLE_FRACTION = 0.06;
constexpr double LABEL_FRACTION = 0.03;
constexpr size_t MAX_PENDING_MARKS = 4096;
} // namespace

CSmallTopView::CSmallTopView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {
  grid.Reset(size);
}

QColor CSmallTopView::CountColour(int count) {
  switch (count) {
  case 1:
    return QColor(0, 0, 0);
  case 2:
    return QColor(192, 0, 0);
  case 3:
    return QColor(0, 192, 0);
  case 4:
    return QColor(0, 0, 192);
  default:
    return QColor(192, 0, 192);
  }
}

QRectF CSmallTopView::UsableRect() const {
  return QRectF(PixelPoint(firstPixel, firstPixel), PixelPoint(lastPixel, lastPixel)).normalized();
}

QRectF CSmallTopView::FilterRect() const {
  return QRectF(PixelPoint(minPixA, minPixB), PixelPoint(maxPixA, maxPixB)).normalized();
}

void CSmallTopView::SetUp() {
  if (doc) {
    const FilterRecord &f = doc->GetFilter().Fixed();
    minPixA = f.minPixA, maxPixA = f.maxPixA, minPixB = f.minPixB, maxPixB = f.maxPixB;
    int halfPixels = 0;
    if (const MainHeader *m = doc->CurrentMainHeader();
        m && doc->GetFileState() != CPluvicamDoc::fileNone) {
      halfPixels = m->halfPixels;
      if (halfPixels > 0)
        firstPixel = m->firstPixel, lastPixel = m->lastPixel;
    }
    size = topview::AreaSize(halfPixels, maxPixA, maxPixB);
    if (halfPixels <= 0)
      firstPixel = 0, lastPixel = size - 1;
  }
  grid.Reset(mode == Distribution ? size : 0);
  hasPrevious = false;
  pendingMarks.clear(); // the rebuild starts from the frame
  InvalidateFrame();    // the area and the filter ranges are part of the frame
  Rebuild();
}

void CSmallTopView::DrawFrame(QPainter &p) {
  const double s = size;
  const double title = TITLE_FRACTION * s * 1.2, label = LABEL_FRACTION * s * 1.2;
  const double gap = s / 80;
  // Camera A's pixels along the bottom, camera B's down the left side.
  p.drawLine(QPointF(0, -gap), QPointF(s, -gap));
  p.drawLine(QPointF(-gap, 0), QPointF(-gap, s));
  for (int i = 0; i <= 4; ++i) {
    const int pix = i * size / 4;
    const QPointF a = PixelPoint(pix, 0), b = PixelPoint(0, pix);
    p.drawLine(QPointF(a.x(), -gap), QPointF(a.x(), -2 * gap));
    p.drawLine(QPointF(-gap, b.y()), QPointF(-2 * gap, b.y()));
    const QString text = QString::asprintf("%i", pix);
    if (i > 0 && i < 4)
      DrawText(p, {a.x(), -2 * gap}, text, HCenter | Top, label);
    DrawText(p, {-2 * gap, b.y()}, text, Right | VCenter, label);
  }
  DrawText(p, {s + gap, -gap}, "A", Left | VCenter, title, QColor(255, 0, 0));
  DrawText(p, {-gap, s + gap}, "B", HCenter | Bottom, title, QColor(255, 0, 0));

  p.setPen(PixelPen(QColor(128, 128, 128)));
  p.drawRect(UsableRect());
  p.setPen(PixelPen(QColor(0, 0, 192)));
  p.drawRect(FilterRect());
}

void CSmallTopView::DrawMark(const QRectF &r, const QColor &c) {
  // A painter per mark would cost more than the run's particle itself.
  pendingMarks.push_back({r, c});
  if (pendingMarks.size() >= MAX_PENDING_MARKS)
    Flush(); // without an event loop to show them, memory stays bounded
}

void CSmallTopView::DrawPending() {
  if (pendingMarks.empty() || image.isNull()) {
    pendingMarks.clear();
    return;
  }
  QPainter p(&image);
  ApplyMapping(p);
  p.setClipRect(UsableRect());
  for (size_t i = 0; i < pendingMarks.size(); ++i) {
    const Mark &m = pendingMarks[i];
    // The same ellipse drawn again next covers exactly these pixels: only its colour stays.
    if (i + 1 < pendingMarks.size() && pendingMarks[i + 1].rect == m.rect)
      continue;
    p.setPen(PixelPen(m.colour));
    p.setBrush(m.colour);
    p.drawEllipse(m.rect);
  }
  pendingMarks.clear();
}

void CSmallTopView::OnParticle() {
  const HydRecord *r = AcceptedRecord();
  if (!r || image.isNull())
    return;
  if (mode == Distribution) {
    const int count = grid.Add(r->minPosA, r->maxPosA, r->minPosB, r->maxPosB);
    if (count > 0) {
      const int cx = topview::CountGrid::Centre(r->minPosA, r->maxPosA);
      const int cy = topview::CountGrid::Centre(r->minPosB, r->maxPosB);
      SetLogicalPixel(PixelPoint(cx, cy), CountColour(count));
    }
  } else {
    const QRectF mark =
        QRectF(PixelPoint(r->minPosA, r->minPosB), PixelPoint(r->maxPosA, r->maxPosB)).normalized();
    if (hasPrevious)
      DrawMark(previous, QColor(192, 0, 0));
    DrawMark(mark, QColor(255, 255, 0));
    previous = mark;
    hasPrevious = true;
  }
  ScheduleRepaint();
}

void CSmallTopView::OnReset(int flag) {
  // Completed rain intervals do not concern the area view.
  if (flag == 0)
    SetUp();
}

void CSmallTopView::OnTopViewReset() { SetUp(); }

void CSmallTopView::SetAreaMode(AreaMode newMode) {
  mode = newMode;
  SetUp();
}

void CSmallTopView::Resized() { SetUp(); }
