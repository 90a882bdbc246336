#pragma once
#include "DiagramView.h"
#include "data/FilterRange.h"
#include "statistics/TopViewGrid.h"

#include <vector>

// The measuring area seen from above in pixels (camera A along x, camera B along y) with the
// usable area and the filter's pixel ranges; marks every accepted particle, by position and size
// or as a count per centre pixel.
class CSmallTopView : public DiagramView {
  Q_OBJECT
public:
  enum AreaMode { PositionSize = 0, Distribution = 1 };

  CSmallTopView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;
  void OnTopViewReset() override;

  // The main control panel's area display mode; a switch sets the view up anew.
  void SetAreaMode(AreaMode newMode);
  AreaMode AreaModeValue() const { return mode; }

  int AreaSize() const { return size; }
  const topview::CountGrid &Grid() const { return grid; }
  // Logical rectangles of the usable area and of the filter's pixel ranges.
  QRectF UsableRect() const;
  QRectF FilterRect() const;
  // Logical point of a pixel pair: camera B's pixel counts down from the top.
  QPointF PixelPoint(double pixA, double pixB) const { return {pixA, size - 1 - pixB}; }

  static QColor CountColour(int count);

protected:
  QPointF WindowOrg() const override { return {-size / 10.0, size + size / 10.0}; }
  QSizeF WindowExt() const override { return {size + size / 5.0, -(size + size / 5.0)}; }
  void DrawFrame(QPainter &p) override;
  void Resized() override;

private:
  // Re-reads the area and the filter, clears the marks and draws the frame.
  void SetUp();
  void DrawMark(const QRectF &r, const QColor &c);
  void DrawPending() override;

  AreaMode mode = PositionSize;
  int size = 1024;
  int firstPixel = 0;
  int lastPixel = MAX_PIXEL_1024;
  int minPixA = 0, maxPixA = MAX_PIXEL_1024, minPixB = 0, maxPixB = MAX_PIXEL_1024;
  topview::CountGrid grid;
  // Marks of the particles since the image was last brought up to date, drawn in one go.
  struct Mark {
    QRectF rect;
    QColor colour;
  };
  std::vector<Mark> pendingMarks;
  bool hasPrevious = false;
  QRectF previous;
};
