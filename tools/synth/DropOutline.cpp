#include "DropOutline.h"

#include <algorithm>
#include <cmath>

namespace synth {

DropEdges RasteriseDrop(const DropShape &shape, double mmPerPixel, double mmPerLine,
                        int firstPixel) {
  const double pi = std::acos(-1.0);
  const int corners = 1440;
  const double halfW = shape.width / 2;
  const double halfH = shape.width * shape.axisRatio / 2;
  const double c = std::cos(shape.tiltDeg * pi / 180);
  const double s = std::sin(shape.tiltDeg * pi / 180);
  std::vector<double> xs(corners), ys(corners);
  for (int k = 0; k < corners; ++k) {
    const double u = 2 * pi * k / corners;
    const double x = halfW * std::sin(u) * (1 - shape.egg * std::cos(u));
    const double y = -halfH * std::cos(u);
    ys[k] = x * s + y * c;
    xs[k] = x * c - y * s + shape.shear * ys[k];
  }
  const double top = *std::min_element(ys.begin(), ys.end());
  const double bottom = *std::max_element(ys.begin(), ys.end());

  DropEdges edges;
  edges.lines = int((bottom - top) / mmPerLine);
  std::vector<int> left, right;
  for (int i = 0; i < edges.lines; ++i) {
    const double y = top + (i + 0.5) * mmPerLine;
    double lo = 1e300, hi = -1e300;
    for (int k = 0; k < corners; ++k) {
      const int n = (k + 1) % corners;
      if ((ys[k] <= y) == (ys[n] <= y))
        continue;
      const double x = xs[k] + (y - ys[k]) / (ys[n] - ys[k]) * (xs[n] - xs[k]);
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    const int l = int(std::ceil(lo / mmPerPixel - 0.5));
    const int r = int(std::floor(hi / mmPerPixel - 0.5));
    left.push_back(l);
    right.push_back(std::max(l, r));
  }
  const int shift = firstPixel - *std::min_element(left.begin(), left.end());
  for (int i = 0; i < edges.lines; ++i) {
    edges.left.push_back(int16_t(left[i] + shift));
    edges.right.push_back(int16_t(right[i] + shift));
  }
  edges.minPos = int16_t(firstPixel);
  edges.maxPos = *std::max_element(edges.right.begin(), edges.right.end());
  return edges;
}

} // namespace synth
