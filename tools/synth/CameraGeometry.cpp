#include "CameraGeometry.h"

#include <algorithm>

namespace synth {

namespace {
// The optical centre of a line, fixed whatever the line length.
constexpr double OPTICAL_CENTRE = 255.5;
} // namespace

CameraGeometry::CameraGeometry(const MainHeader &h) : header(h) {}

double CameraGeometry::ScaleA(double pixelB) const {
  return (header.L0_1 - (pixelB - OPTICAL_CENTRE) * header.scaleB) * header.scaleA / header.L0_1;
}

double CameraGeometry::ScaleB(double pixelA) const {
  return ((pixelA - OPTICAL_CENTRE) * header.scaleA + header.L0_2) * header.scaleB / header.L0_2;
}

float CameraGeometry::PlaneDistance(float centreA, float centreB) const {
  const float m = float(2 * header.halfPixels - 1);
  const float d1 = header.planeDistance1, d2 = header.planeDistance2, d3 = header.planeDistance3;
  const float d4 = d1 + d3 - d2;
  const float far = (d3 - d4) / m * centreA + d4;
  const float near = (d2 - d1) / m * centreA + d1;
  return (far - near) / m * centreB + near;
}

float CameraGeometry::MeasuringArea(int minPosA, int maxPosA, int minPosB, int maxPosB) const {
  const float maxPix = float(2 * header.halfPixels - 1);
  const float hA = float(maxPosA - minPosA) * 0.5f, hB = float(maxPosB - minPosB) * 0.5f;
  const float loA = std::max(0.0f, float(header.firstPixel) + 1 + hA);
  const float hiA = std::min(maxPix, float(header.lastPixel) - 1 - hA);
  const float loB = std::max(0.0f, float(header.firstPixel) + 1 + hB);
  const float hiB = std::min(maxPix, float(header.lastPixel) - 1 - hB);
  const double effA = ScaleA((double(hiB) + loB) / 2);
  const double effB = ScaleB((double(hiA) + loA) / 2);
  return float((hiA - loA + 1) * effA * (hiB - loB + 1) * effB);
}

} // namespace synth
