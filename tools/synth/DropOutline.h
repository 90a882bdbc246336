#pragma once
#include <cstdint>
#include <vector>

namespace synth {

// A drop silhouette: symmetric about its axis, wider towards the bottom when `egg` > 0 (a pure
// ellipse for 0), turned by `tiltDeg` and sheared by x += shear·y as a sideways-moving drop is.
// Lengths in mm, y growing downwards.
struct DropShape {
  double width = 3;
  double axisRatio = 0.8; // height / width
  double egg = 0.3;
  double tiltDeg = 0;
  double shear = 0;
};

// One camera's edge arrays as decompression delivers them.
struct DropEdges {
  std::vector<int16_t> left;
  std::vector<int16_t> right;
  int lines = 0;
  int16_t minPos = 0;
  int16_t maxPos = 0;
};

// Samples the silhouette at the centre of every scan line; a pixel is shadowed when its centre
// lies inside. The leftmost shadowed pixel becomes `firstPixel`.
DropEdges RasteriseDrop(const DropShape &shape, double mmPerPixel, double mmPerLine,
                        int firstPixel = 100);

} // namespace synth
