#include "ParticleGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace particle {

float PlaneDistance(const MainHeader &h, float centreA, float centreB) {
  // The largest pixel index is odd, so M is never 0.
  const float m = float(2 * int(h.halfPixels) - 1);
  // The fourth corner completes the plane through the three calibrated ones.
  const float d4 = h.planeDistance1 + h.planeDistance3 - h.planeDistance2;
  const float dFar = (h.planeDistance3 - d4) / m * centreA + d4;
  const float dNear = (h.planeDistance2 - h.planeDistance1) / m * centreA + h.planeDistance1;
  return (dFar - dNear) / m * centreB + dNear;
}

float Velocity(float planeDistance, double lineFrequency, int16_t absv) {
  if (absv == 0)
    return 100.0f;
  return float(double(planeDistance) * lineFrequency / (1000.0 * std::abs(int(absv)) * 0.5));
}

float SphereVolume(float diameter) {
  if (diameter > 0) {
    const double d = diameter;
    return float(PI / 6.0 * d * d * d);
  }
  return 0.001f;
}

float Oblateness(HydRecord &r) {
  if (r.widthA == 0 || r.widthB == 0) {
    r.oblateness = 0;
    return 0;
  }
  r.oblA = float(double(r.heightA) / r.widthA);
  r.oblB = float(double(r.heightB) / r.widthB);
  r.oblateness = float(std::sqrt(double(r.oblA) * r.oblB));
  return r.oblateness;
}

float EffectiveArea(const MainHeader &h, const HydRecord &r, const FilterRange &f) {
  const float halfA = float(r.maxPosA - r.minPosA) * 0.5f;
  const float halfB = float(r.maxPosB - r.minPosB) * 0.5f;
  const float loA = std::max(float(f.minPixA), float(h.firstPixel + 1) + halfA);
  const float hiA = std::min(float(f.maxPixA), float(h.lastPixel - 1) - halfA);
  const float loB = std::max(float(f.minPixB), float(h.firstPixel + 1) + halfB);
  const float hiB = std::min(float(f.maxPixB), float(h.lastPixel - 1) - halfB);
  if (h.L0_1 == 0 || h.L0_2 == 0)
    return 0;
  // Each camera's pixel size depends on the distance to it, which the other camera tells; the
  // optical centre stays at 255.5 whatever the line length.
  const double effA = (h.L0_1 - ((double(hiB) + loB) / 2 - 255.5) * h.scaleB) * h.scaleA / h.L0_1;
  const double effB = (((double(hiA) + loA) / 2 - 255.5) * h.scaleA + h.L0_2) * h.scaleB / h.L0_2;
  return float((double(hiA) - loA + 1) * effA * (double(hiB) - loB + 1) * effB);
}

} // namespace particle
