#pragma once
#include <algorithm>
#include <cmath>

namespace dsd {

// Class geometry of the enlarged view: bar width w in logical units and the number of classes
// over the 10000-unit axis, bounded by the class table.
struct ClassGeometry {
  static constexpr int TABLE_SIZE = 400;
  int width = 0;
  int count = 0;
};

inline ClassGeometry GeometryFor(float deltaD, int viewFactor) {
  ClassGeometry g;
  if (!(deltaD > 0) || viewFactor <= 0)
    return g;
  // Computed in single precision, as the two fields multiply.
  const float w = 1000.0f * deltaD / float(viewFactor);
  if (!(w >= 1.0f) || w > 10000.0f)
    return g;
  g.width = int(w);
  // Fine classes at a large scale would overrun the table: the axis then ends earlier.
  g.count = std::min(10000 / g.width, ClassGeometry::TABLE_SIZE);
  return g;
}

// The diameter class of a drop: slot k holds [k·deltaD, (k+1)·deltaD) mm. Diameters are whole
// hundredths of a millimetre, so many lie exactly on an edge, where the quotient in floating point
// may come out just below the whole number; the allowance of a thousandth of a class keeps such a
// drop in the class its edge opens. -1 for a diameter of no class (negative, not a number).
inline int ClassOf(double diameter, double deltaD) {
  const double k = std::floor(diameter / deltaD + 0.001);
  return k >= 0 && k < 1e9 ? int(k) : -1;
}

} // namespace dsd
