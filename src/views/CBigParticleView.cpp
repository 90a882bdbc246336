#include "CBigParticleView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CContour.h"
#include "particle/CSnoData.h"
#include "statistics/PlotPoint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr double TITLE_N = 40;
constexpr double LABEL_N = 30;
constexpr double TEXT_N = 32;
// Characters of the widest text row must fit the 780 units before the second column.
constexpr double TEXT_CHAR_WIDTH = 25;
constexpr double TEXT_RIGHT_EDGE = 1160; // the window ends at 1200

QString Arrow(double v) {
  return v > 0 ? QStringLiteral("(->)") : v < 0 ? QStringLiteral("(<-)") : QString();
}
} // namespace

CBigParticleView::CBigParticleView(CPluvicamDoc *doc, int cameraIndex, QWidget *parent)
    : DiagramView(doc, parent), index(cameraIndex) {
  setObjectName(QStringLiteral("CBigParticleView%1").arg(index));
  SetPictureName(index == 0 ? QStringLiteral("drop-a") : QStringLiteral("drop-b"));
  TakeParticle();
}

QString CBigParticleView::TextAt(double x, double y) const {
  for (const Text &t : texts)
    if (t.at == QPointF(x, y))
      return t.text;
  return {};
}

void CBigParticleView::OnNewParticle() {
  TakeParticle();
  Rebuild();
}

void CBigParticleView::OnCorrectionSwitched() {
  correctionDisplay = !correctionDisplay;
  TakeParticle();
  Rebuild();
}

void CBigParticleView::DrawFrame(QPainter &p) {
  p.setPen(PixelPen(Qt::black));
  p.drawLine(-100, -100, 1050, -100);
  p.drawLine(-100, -100, -100, 1050);
  const double h = FontHeight(LABEL_N);
  // The axes span 10, 20 or 50 mm.
  const int perLabel = zoom == 5 ? 20 : zoom == 2 ? 50 : 100;
  for (int u = 0; u <= 1000; u += 100) {
    p.drawLine(u, -100, u, -140);
    p.drawLine(-100, u, -140, u);
    const QString label = QString::asprintf("%d", u / perLabel);
    DrawText(p, {double(u), -150}, label, HCenter | Top, h);
    DrawText(p, {-150, double(u)}, label, Right | VCenter, h);
  }
  DrawText(p, {1070, -100}, QStringLiteral("mm"), Left | VCenter, h);
  DrawText(p, {-100, 1070}, QStringLiteral("mm"), HCenter | Bottom, h);
  DrawText(p, {500, 1500}, index == 0 ? QStringLiteral("FRONT VIEW") : QStringLiteral("SIDE VIEW"),
           HCenter | Top, FontHeight(TITLE_N), QColor(255, 0, 0));
}

void CBigParticleView::DrawState(QPainter &p) {
  const QColor colour = CameraColour(index);
  const LogicalMapping m = Mapping();
  p.setClipRect(ClipRect());
  if (!outline.isEmpty()) {
    const int width = std::max(1, int(std::lround(m.DeviceLengthX(outlineWidth))));
    QPen pen = PixelPen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin); // a mitred sharp corner of a thick pen grows a spike
    p.setPen(pen);
    p.drawPolygon(outline);
  }
  for (const Stroke &s : strokes) {
    QPen pen = PixelPen(colour, std::max(1, int(std::lround(m.DeviceLengthX(s.width)))));
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(s.line);
  }
  for (const Line &l : lines) {
    p.setPen(PixelPen(l.colour));
    p.drawLine(l.line);
  }
  p.setClipping(false);
  const double h = FittingHeight(FontHeight(TEXT_N), TEXT_CHAR_WIDTH);
  for (const Text &t : texts) {
    // A long text of the second column is set smaller, so that it stays inside; the margin
    // takes the rounding of the font to whole pixels.
    const int length = int(t.text.trimmed().size());
    const double room = (TEXT_RIGHT_EDGE - t.at.x()) / std::max(1, length);
    DrawText(p, t.at, t.text, Left | Top, std::min(h, FittingHeight(h, room)), t.colour);
  }
}

void CBigParticleView::AddText(double x, double y, const QString &text) {
  texts.push_back({QPointF(x, y), text, CameraColour(index)});
}

void CBigParticleView::TakeParticle() {
  outline.clear();
  lines.clear();
  strokes.clear();
  texts.clear();
  if (!doc)
    return;
  if (const int factor = std::max<int>(1, doc->GetViewFactor()); factor != zoom) {
    zoom = factor; // the tick labels follow the scale
    InvalidateFrame();
  }
  int status = -1;
  const HydRecord *r = doc->GetHydHeader(&status);
  // Only a particle on show: not one the filter passed over when stepping was stopped.
  if (!r || (status != CPluvicamDoc::statusAccepted && status != CPluvicamDoc::statusBadRecord))
    return;
  if (doc->IsSno())
    TakeSnow(*r);
  else
    TakeContour(*r, status);
  TakeTexts(*r, status);
}

void CBigParticleView::TakeContour(const HydRecord &r, int status) {
  int valid = 0;
  const CContour *contour = doc->GetContour(index == 0 ? Camera::A : Camera::B, &valid);
  if (!contour || !valid)
    return;
  const double s = 100.0 / zoom;
  auto at = [s](double x, double y) { return QPointF(PlotUnits(s * x), PlotUnits(s * y)); };
  for (const CSegment &seg : contour->GetSegments())
    outline << at(seg.start.x, seg.start.y);
  outlineWidth = std::max(1, PlotUnits(s * contour->GetXScale()));

  const uint8_t flags = index == 0 ? r.corrFlagsA : r.corrFlagsB;
  if (flags != 0 || status == CPluvicamDoc::statusBadRecord)
    return;
  const QColor grey(128, 128, 128), white(255, 255, 255);
  for (const CContour::Chord &c : contour->GetChords()) {
    const QPointF start = at(c.start.x, c.start.y), mid = at(c.mid.x, c.mid.y),
                  end = at(c.end.x, c.end.y);
    // The half towards smaller x grey, the other white.
    const bool startLeft = c.start.x <= c.end.x;
    lines.push_back({QLineF(start, mid), startLeft ? grey : white});
    lines.push_back({QLineF(mid, end), startLeft ? white : grey});
  }
  if (correctionDisplay) {
    const CContour::PointF l = contour->GetWidthLeft(), w = contour->GetWidthRight();
    lines.push_back({QLineF(at(l.x, l.y), at(w.x, w.y)), QColor(0, 192, 0)});
  }
  const CContour::PointF top = contour->GetAxisTop(), bottom = contour->GetAxisBottom();
  lines.push_back({QLineF(at(top.x, top.y), at(bottom.x, bottom.y)), QColor(255, 255, 0)});
}

void CBigParticleView::TakeSnow(const HydRecord &r) {
  const auto *snow = dynamic_cast<const CSnoData *>(doc->GetHydData());
  if (!snow)
    return;
  const CSnoData::Line *cameraLines = index == 0 ? snow->linesA : snow->linesB;
  const int count = std::clamp<int>(index == 0 ? r.linesA : r.linesB, 0, CSnoData::MAX_LINES);
  const double offset = index == 0 ? r.minPosA : r.minPosB;
  const double sx = (index == 0 ? r.scaleSysA : r.scaleSysB) * 100.0 / zoom;
  const double sy = r.scaleHeight * 100.0 / zoom;
  const int width = std::max(1, PlotUnits(sx + 3));
  for (int i = 0; i < count; ++i) {
    const int segments = std::clamp<int>(cameraLines[i].segmentCount, 0, CSnoData::MAX_SEGMENTS);
    const double y = PlotUnits((i + 0.5) * sy);
    for (int k = 0; k < segments; ++k) {
      const CSnoData::Segment &seg = cameraLines[i].segments[k];
      strokes.push_back({QLineF(PlotUnits(sx * (seg.start + 0.5 - offset)), y,
                                PlotUnits(sx * (seg.end + 0.5 - offset)), y),
                         width});
    }
  }
}

void CBigParticleView::TakeTexts(const HydRecord &r, int status) {
  const bool a = index == 0;
  const double height = a ? r.heightA : r.heightB;
  const double width = a ? r.widthA : r.widthB;
  AddText(10, 1400, QString::asprintf("height           %.2f mm   ", height));
  AddText(10, 1340, QString::asprintf("width            %.2f mm   ", width));
  if (doc->IsSno())
    return;
  AddText(10, 1280, QString::asprintf("heigth/width     %.2f      ", height / width));
  const double hVel = a ? r.hVelA : r.hVelB;
  AddText(10, 1220, QString::asprintf("horiz. velocity  %.2f m/s ", std::abs(hVel)) + Arrow(hVel));

  // Without a correction run (a contour that could not be built) there is nothing to show.
  if (!correctionDisplay || status == CPluvicamDoc::statusBadRecord)
    return;
  const uint8_t flags = a ? r.corrFlagsA : r.corrFlagsB;
  AddText(800, 1500, QStringLiteral("SYMM. CORR."));
  if (flags != 0) {
    // One reason a row, in the rows the corrected values would take: on one line they would
    // run out of the view or shrink below legibility.
    AddText(800, 1460, QStringLiteral("non poss."));
    const std::pair<uint8_t, const char *> reasons[] = {
        {CContour::FLAG_OVERFLOW, "buffer overflow"},
        {CContour::FLAG_NO_MINIMUM, "no minimum found"},
        {CContour::FLAG_NO_SOLUTION, "no solution found"},
        {CContour::FLAG_NOT_ORTHOGONAL, "orthogon. error"}};
    double y = 1400;
    for (const auto &[bit, text] : reasons)
      if (flags & bit) {
        AddText(800, y, QLatin1String(text));
        y -= 60;
      }
    return;
  }
  const double corrHeight = a ? r.corrHeightA : r.corrHeightB;
  const double corrWidth = a ? r.corrWidthA : r.corrWidthB;
  const double corrHVel = a ? r.corrHVelA : r.corrHVelB;
  AddText(800, 1460, QString::asprintf("(rms = %hd um)  ", a ? r.rmsA : r.rmsB));
  AddText(800, 1400, QString::asprintf("%5.2f mm   ", corrHeight));
  AddText(800, 1340, QString::asprintf("%5.2f mm   ", corrWidth));
  AddText(800, 1280, QString::asprintf("%5.2f      ", corrHeight / corrWidth));
  AddText(800, 1220,
          QString::asprintf("%5.2f m/s ", std::abs(corrHVel)) +
              (corrHVel > 0 ? QStringLiteral("(->)") : QStringLiteral("(<-)")));
  AddText(10, 1160, QStringLiteral("canting                      "));
  AddText(800, 1160, QString::asprintf("%5.2f deg  ", double(a ? r.cantingA : r.cantingB)));
}
