#include "DiagramDot.h"

#include "particle/CHydData.h"

DiagramDot DiagramDot::Of(const HydRecord &r, PlotPoint at) {
  return {at, r.startPos, r.tim, r.diameter, r.velocity, r.hVelA, r.hVelB, r.oblateness};
}

long NearestDot(const std::vector<DiagramDot> &dots, double x, double y, double pixelsX,
                double pixelsY, double radius) {
  long best = -1;
  double bestSquare = radius * radius;
  for (size_t i = 0; i < dots.size(); ++i) {
    const double dx = (dots[i].at.x - x) * pixelsX;
    const double dy = (dots[i].at.y - y) * pixelsY;
    const double square = dx * dx + dy * dy;
    if (square <= bestSquare) {
      bestSquare = square;
      best = long(i);
    }
  }
  return best;
}
