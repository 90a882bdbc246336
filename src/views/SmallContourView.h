#pragma once
#include "DiagramView.h"
#include "particle/CHydData.h"

#include <QLineF>
#include <QPolygonF>
#include <vector>

// One camera's outline of the current particle at 100/zoom logical units per mm, with the
// symmetry axis; the common part of the small front and side views.
class SmallContourView : public DiagramView {
  Q_OBJECT
public:
  SmallContourView(CPluvicamDoc *doc, QWidget *parent, Camera camera, const QString &title,
                   const QColor &colour);

  void OnParticle() override;
  void OnReset(int flag) override;

  const QPolygonF &Outline() const { return outline; }
  const QLineF &Axis() const { return axis; }

  // The particle is clipped to this logical rectangle.
  static QRectF ClipRect() { return QRectF(QPointF(-50, -50), QPointF(900, 850)); }

protected:
  QPointF WindowOrg() const override { return {-200, 900}; }
  QSizeF WindowExt() const override { return {1100, -1100}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;

private:
  // A snow particle's segments, each a horizontal stroke in logical units.
  struct Stroke {
    QLineF line;
    int width = 1;
  };
  void TakeSnow(const HydRecord &r, double unitsPerMm);

  Camera camera;
  QString title;
  QColor colour;
  int zoom = 1; // of the particle shown, for the tick labels
  QPolygonF outline;
  QLineF axis;
  bool hasAxis = false;
  std::vector<Stroke> strokes;
  std::vector<ShadowRun> runs; // kept to spare an allocation per particle
};
