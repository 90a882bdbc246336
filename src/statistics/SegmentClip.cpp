#include "SegmentClip.h"

bool ClipSegment(Segment &s, double left, double bottom, double right, double top) {
  // Liang-Barsky: the segment as s(t) = start + t·d, t in [0, 1], narrowed edge by edge.
  const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  double enter = 0, leave = 1;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {s.x1 - left, right - s.x1, s.y1 - bottom, top - s.y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0)
        return false; // parallel to the edge and outside it
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > leave)
        return false;
      if (t > enter)
        enter = t;
    } else {
      if (t < enter)
        return false;
      if (t < leave)
        leave = t;
    }
  }
  s = {s.x1 + enter * dx, s.y1 + enter * dy, s.x1 + leave * dx, s.y1 + leave * dy};
  return true;
}
