#pragma once
#include "statistics/PlotPoint.h"

#include <QColor>
#include <vector>

class LogicalMapping;
class QPainter;

// The dots an enlarged diagram has collected, kept in logical units so that a new size or mode
// draws them again instead of losing them. Each dot covers the one device pixel its logical
// point falls on, the pixel a run marks live.
class DotLayer {
public:
  explicit DotLayer(QColor colour) : colour(colour) {}

  void Add(PlotPoint dot) { dots.push_back(dot); }
  void Clear() { dots.clear(); }
  std::size_t Size() const { return dots.size(); }
  QColor Colour() const { return colour; }
  // Onto a painter of client size; its transform is left as it was.
  void Draw(QPainter &p, const LogicalMapping &mapping) const;

private:
  QColor colour;
  std::vector<PlotPoint> dots;
};
