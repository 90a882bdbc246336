#pragma once
#include "statistics/DiagramDot.h"

#include <QColor>
#include <string>
#include <vector>

class CPluvicamDoc;
class LogicalMapping;
class QPainter;

// The dots an enlarged diagram has collected, kept in logical units with the particle behind
// each, so that a new size, mode or zoom draws them again instead of losing them. Each dot
// covers the one device pixel its logical point falls on, the pixel a run marks live.
class DotLayer {
public:
  explicit DotLayer(QColor colour) : colour(colour) {}

  void Add(const DiagramDot &dot) { dots.push_back(dot); }
  void Clear() { dots.clear(); }
  std::size_t Size() const { return dots.size(); }
  const std::vector<DiagramDot> &All() const { return dots; }
  QColor Colour() const { return colour; }
  // The dots' particles as CSV in the order they came; empty when there are none.
  std::string Table(const CPluvicamDoc *doc) const;
  // Onto a painter of client size; its transform is left as it was. On a vector device each
  // covered pixel becomes a square of one pixel, once however many dots fall on it.
  void Draw(QPainter &p, const LogicalMapping &mapping) const;

private:
  QColor colour;
  std::vector<DiagramDot> dots;
};
