#pragma once
#include "DiagramView.h"
#include "Pane.h"
#include "statistics/DsdMoments.h"

#include <optional>

#include <string>
#include <vector>

// The record table of an enlarged-diagram frame: the file, its date, the time window and filter,
// and a block that depends on the frame's diagram.
class CBigInfoView : public DiagramView {
  Q_OBJECT
public:
  CBigInfoView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void SetKind(BigKind kind);
  BigKind GetKind() const { return kind; }
  // Reads the document anew and repaints; the frame's diagram calls it when its figures change.
  void Refresh();

  // The integral quantities of the drop size distribution's last Run, shown below its figures.
  void SetDsdMoments(const DsdMoments &moments) { dsdMoments = moments; }
  // The document's current particle in the rows below the count: a dot of the diagram was
  // selected.
  void SetParticleShown(bool shown) { particleShown = shown; }
  void ClearDsdMoments() { dsdMoments.reset(); }

  void OnParticle() override { Refresh(); }
  void OnReset(int) override { Refresh(); }

  struct Item {
    QRectF cell; // logical, x 0-1350, y 0-190 downwards; a point when the text hangs off it
    std::string text;
    int align = Left | VCenter;
    QColor colour = Qt::black;
  };
  // The text shown at a logical point or cell, "" when none starts there.
  std::string TextAt(double x, double y) const;

protected:
  QPointF WindowOrg() const override { return {0, 0}; }
  // The drop size distribution's table has two more rows for its integral quantities.
  QSizeF WindowExt() const override { return {1350, kind == BigKind::Dsd ? 266.0 : 190.0}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override { Refresh(); }

private:
  void Text(double x, double y, const std::string &text, QColor colour = Qt::black);
  void Cell(double x1, double y1, double x2, double y2, const std::string &text,
            int align = Left | VCenter, QColor colour = Qt::black);
  void KindBlock();
  void MomentRows();
  void ParticleRows();

  BigKind kind = BigKind::RainRate;
  std::optional<DsdMoments> dsdMoments;
  bool particleShown = false;
  std::vector<Item> items;
};
