#pragma once
// The measuring area seen from above: its size in pixels and the count grid of the
// distribution display; no window here.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace topview {

// Pixels across the measuring area: 2·halfPixels of the current main header, else the larger
// filter maximum plus 1.
inline int AreaSize(int halfPixels, int maxPixA, int maxPixB) {
  if (halfPixels > 0)
    return 2 * halfPixels;
  return std::max(1, std::max(maxPixA, maxPixB) + 1);
}

// Particle counts per centre pixel, capped at 5, over a size × size area.
class CountGrid {
public:
  static constexpr int CAP = 5;

  void Reset(int areaSize) {
    size = std::max(0, areaSize);
    counts.assign(size_t(size) * size_t(size), 0);
  }
  int Size() const { return size; }

  // Centre cell of a particle's extent (integer halves).
  static int Centre(int minPos, int maxPos) { return minPos + (maxPos - minPos) / 2; }

  // Counts the particle's centre cell; returns the new count, or 0 when the cell lies outside.
  int Add(int minPosA, int maxPosA, int minPosB, int maxPosB) {
    const int cx = Centre(minPosA, maxPosA);
    const int cy = Centre(minPosB, maxPosB);
    if (cx < 0 || cy < 0 || cx > size - 1 || cy > size - 1)
      return 0;
    uint8_t &c = counts[size_t(cy) * size_t(size) + size_t(cx)];
    if (c < CAP)
      ++c;
    return c;
  }
  int Count(int cx, int cy) const {
    if (cx < 0 || cy < 0 || cx >= size || cy >= size)
      return 0;
    return counts[size_t(cy) * size_t(size) + size_t(cx)];
  }

private:
  int size = 0;
  std::vector<uint8_t> counts;
};

} // namespace topview
