#pragma once
#include "CDiagramView.h"

#include <string>
#include <vector>

// The record table of an enlarged-diagram frame: the file, its date, the time window and filter,
// and a block that depends on the frame's diagram.
class CBigInfoView : public CDiagramView {
public:
  // The frame kinds: rain rate, drop size distribution, vertical velocity, horizontal velocity,
  // oblateness, drop view.
  enum Kind { RainRate = 0, DropSize = 1, VVel = 2, HVel = 3, Obl = 4, DropView = 5 };

  CBigInfoView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void SetKind(int kind);
  int GetKind() const { return kind; }
  // Reads the document anew and repaints; the frame's diagram calls it when its figures change.
  void Refresh();

  void OnParticle() override { Refresh(); }
  void OnReset(int) override { Refresh(); }

  struct Item {
    QRectF cell; // logical, x 0-1350, y 0-190 downwards; a point when the text hangs off it
    std::string text;
    int align = Left | VCenter;
    QColor colour = Qt::black;
  };
  const std::vector<Item> &Items() const { return items; }
  // The text shown at a logical point or cell, "" when none starts there.
  std::string TextAt(double x, double y) const;

protected:
  QPointF WindowOrg() const override { return {0, 0}; }
  QSizeF WindowExt() const override { return {1350, 190}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override { Refresh(); }

private:
  void Text(double x, double y, const std::string &text, QColor colour = Qt::black);
  void Cell(double x1, double y1, double x2, double y2, const std::string &text,
            int align = Left | VCenter, QColor colour = Qt::black);
  void KindBlock();

  int kind = RainRate;
  std::vector<Item> items;
};
