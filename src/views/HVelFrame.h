#pragma once
#include "DiagramView.h"

// The horizontal velocity diagrams' common frame: ±36 m/s around the centre, the two axes, rings
// at 10, 20 and 30 m/s and the arrows of the two cameras.
namespace hvelframe {

inline QPointF WindowOrg() { return {-3600, 3600}; }
inline QSizeF WindowExt() { return {7200, -7200}; }

struct Texts {
  double titleHeight;
  double labelHeight;
  const char *cameraA;
  QPointF cameraAAnchor;
  int cameraAAlign;
  const char *cameraB;
  QPointF cameraBAnchor;
  int cameraBAlign;
  double cameraBAngle; // 270 reads downwards
};

// Draws the frame with the texts of `view` (its mapping sets their size).
void Draw(const DiagramView &view, QPainter &p, const Texts &texts);

} // namespace hvelframe
