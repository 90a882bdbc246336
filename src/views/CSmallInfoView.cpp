#include "CSmallInfoView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <QPainter>

namespace {
constexpr double TEXT_HEIGHT = 50;     // logical units in a row of 71
constexpr double CELL_CHAR_WIDTH = 26; // 16 characters of a value in its cell
} // namespace

CSmallInfoView::CSmallInfoView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {}

QRectF CSmallInfoView::LabelCell(int row) {
  if (row == 9)
    return QRectF(QPointF(70, 881), QPointF(430, 947));
  return QRectF(QPointF(70, 57 + 91 * row), QPointF(430, 128 + 91 * row));
}

QRectF CSmallInfoView::ValueCell(int row) {
  if (row == 9)
    return QRectF(QPointF(470, 881), QPointF(930, 947));
  return QRectF(QPointF(470, 57 + 91 * row), QPointF(930, 128 + 91 * row));
}

void CSmallInfoView::DrawFrame(QPainter &p) {
  p.drawRect(QRectF(QPointF(50, 42), QPointF(950, 1043)));
  for (int y = 133; y < 1043; y += 91)
    p.drawLine(50, y, 950, y);
  p.drawLine(450, 42, 450, 952);
  for (int i = 0; i < info::ParticleRows::ROWS; ++i) {
    const QRectF c = LabelCell(i);
    DrawTextInRect(p, c.topLeft(), c.bottomRight(), info::ParticleRows::LABELS[size_t(i)],
                   Left | VCenter, FittingHeight(TEXT_HEIGHT, CELL_CHAR_WIDTH), Qt::black, true);
  }
}

void CSmallInfoView::DrawState(QPainter &p) {
  if (rows)
    for (int i = 0; i < info::ParticleRows::ROWS; ++i) {
      const QRectF c = ValueCell(i);
      DrawTextInRect(p, c.topLeft(), c.bottomRight(),
                     QString::fromStdString(rows->values[size_t(i)]), Right | VCenter,
                     FittingHeight(TEXT_HEIGHT, CELL_CHAR_WIDTH), Qt::black, true);
    }
  if (!fileLabel.empty()) {
    const QRectF l = LabelCell(9), v = ValueCell(9);
    DrawTextInRect(p, l.topLeft(), l.bottomRight(), QString::fromStdString(fileLabel),
                   Left | VCenter, FittingHeight(TEXT_HEIGHT, CELL_CHAR_WIDTH), Qt::black, true);
    DrawTextInRect(p, v.topLeft(), v.bottomRight(), QString::fromStdString(filePosition),
                   Right | VCenter, FittingHeight(TEXT_HEIGHT, CELL_CHAR_WIDTH), Qt::black, true);
  }
  if (!statusLine.empty()) {
    const QRectF s = StatusCell();
    DrawTextInRect(p, s.topLeft(), s.bottomRight(), QString::fromStdString(statusLine),
                   Left | VCenter, FittingHeight(TEXT_HEIGHT, CELL_CHAR_WIDTH), QColor(192, 0, 0),
                   true);
  }
}

void CSmallInfoView::ClearValues() {
  rows.reset();
  fileLabel.clear();
  filePosition.clear();
  statusLine.clear();
}

void CSmallInfoView::ReadValues() {
  ClearValues();
  if (!doc || cleared)
    return;
  int status = -1;
  std::string message;
  const HydRecord *r = doc->GetHydHeader(&status, &message);
  const bool ended =
      status == CPluvicamDoc::statusEndOfFile || status == CPluvicamDoc::statusOutOfTime;
  if (!r) {
    if (ended)
      statusLine = message;
    // A record whose particle could not be read: the message and where it lies.
    if (doc->HasHydFile() && status == CPluvicamDoc::statusBadRecord)
      statusLine = "position " + std::to_string(doc->LastRecordStart()) + ": " + message;
    return;
  }
  if (status == CPluvicamDoc::statusBadRecord)
    statusLine = message;
  if (ended)
    return;
  TimeOfDay time;
  const bool hasTime = doc->TimToTimeOfDay(r->tim, &time) == 1;
  WindRecord wind;
  const bool hasWind = doc->GetWindData(&wind);
  rows = info::RowsFor(*r, hasTime ? &time : nullptr, doc->IsSno(), hasWind ? &wind : nullptr);
  if (doc->HasHydFile()) {
    fileLabel = info::FileLabel(doc->GetFileName(), r->format);
    filePosition = info::FilePosition(r->startPos, doc->GetFileLength());
  }
}

void CSmallInfoView::OnParticle() {
  cleared = false;
  valuesStale = true;
  Rebuild();
}

void CSmallInfoView::OnReset(int) {
  // Empty value cells until the next particle.
  cleared = true;
  valuesStale = false;
  ClearValues();
  Rebuild();
}

void CSmallInfoView::Resized() {
  valuesStale = true;
  Rebuild();
}

void CSmallInfoView::PrepareState() {
  if (!valuesStale)
    return;
  valuesStale = false;
  ReadValues();
}

const CSmallInfoView &CSmallInfoView::Values() const {
  const_cast<CSmallInfoView *>(this)->PrepareState();
  return *this;
}
