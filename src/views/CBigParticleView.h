#pragma once
#include "DiagramView.h"

#include <QLineF>
#include <QPolygonF>
#include <QString>
#include <vector>

// One camera of the current particle enlarged in the drop view: the outline (rain) or the
// segments (snow) at 100/zoom logical units per mm, the chords, width line and axis of the
// symmetric correction, and the particle's measures with, when the correction display is on,
// the corrected ones beside them.
class CBigParticleView : public DiagramView {
  Q_OBJECT
public:
  // index 0 shows camera A (front view), index 1 camera B (side view).
  CBigParticleView(CPluvicamDoc *doc, int index, QWidget *parent = nullptr);

  int GetIndex() const { return index; }
  bool CorrectionDisplay() const { return correctionDisplay; }

  // The particle panel's messages: a new particle stands; the correction was switched.
  void OnNewParticle();
  void OnCorrectionSwitched();

  struct Text {
    QPointF at; // logical, the text's top left corner
    QString text;
    QColor colour;
  };
  const std::vector<Text> &Texts() const { return texts; }
  // The text that starts at a logical point, empty when none does.
  QString TextAt(double x, double y) const;
  const QPolygonF &Outline() const { return outline; }
  // Chord halves in logical units, each with its colour.
  struct Line {
    QLineF line;
    QColor colour;
  };
  const std::vector<Line> &CorrectionLines() const { return lines; }

  // The particle is clipped to this logical rectangle.
  static QRectF ClipRect() { return QRectF(QPointF(-50, -50), QPointF(1200, 1400)); }
  static QColor CameraColour(int index) {
    return index == 0 ? QColor(192, 0, 0) : QColor(0, 0, 192);
  }

protected:
  QPointF WindowOrg() const override { return {-200, 1500}; }
  QSizeF WindowExt() const override { return {1400, -1700}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;

private:
  void TakeParticle();
  void TakeContour(const HydRecord &r, int status);
  void TakeSnow(const HydRecord &r);
  void TakeTexts(const HydRecord &r, int status);
  void AddText(double x, double y, const QString &text);

  int index;
  bool correctionDisplay = false;
  int zoom = 1;
  QPolygonF outline;
  int outlineWidth = 1;    // logical units: one camera pixel
  std::vector<Line> lines; // chords, width line and axis, in drawing order
  struct Stroke {
    QLineF line;
    int width = 1; // logical units
  };
  std::vector<Stroke> strokes;
  std::vector<Text> texts;
};
