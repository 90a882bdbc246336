#pragma once
#include "data/MainHeader.h"

namespace synth {

// The instrument's geometry under one main header, computed the way the reader reconstructs it,
// so that what we draw decodes to the same numbers.
class CameraGeometry {
public:
  explicit CameraGeometry(const MainHeader &header);

  const MainHeader &Header() const { return header; }
  double LineFrequency() const { return header.lineFrequency; }
  // Pixels a whole silhouette must stay within: the border pixels are unusable.
  int FirstUsable() const { return header.firstPixel + 1; }
  int LastUsable() const { return header.lastPixel - 1; }

  // Perspective: camera A's pixel size depends on the distance to camera A, which camera B's
  // pixel position tells, and the other way round (mm per pixel).
  double ScaleA(double pixelB) const;
  double ScaleB(double pixelA) const;

  // Light-plane distance in mm at the silhouette centres (pixels), from the three calibrated
  // corners, in 32-bit floats as the reader does it.
  float PlaneDistance(float centreA, float centreB) const;

  // Effective measuring area in mm^2 for a particle with these pixel extents, with the full
  // pixel ranges: the area over which its centre can lie with the whole silhouette usable.
  float MeasuringArea(int minPosA, int maxPosA, int minPosB, int maxPosB) const;

private:
  MainHeader header;
};

} // namespace synth
