#pragma once
#include "PlotPoint.h"

#include <cstdint>
#include <vector>

struct HydRecord;

// What a dot diagram keeps of each particle it placed: where the dot went and which particle it
// stands for, so that the dot leads back to its record and its numbers can be saved.
struct DiagramDot {
  PlotPoint at;
  int32_t position = 0; // the start of the particle's record in the file
  double tim = 0;       // camera lines
  float diameter = 0;
  float velocity = 0;
  float hVelA = 0;
  float hVelB = 0;
  float oblateness = 0;

  static DiagramDot Of(const HydRecord &record, PlotPoint at);
};

// The dot nearest to the logical point (x, y) within `radius` device pixels, where a logical unit
// is `pixelsX` pixels across and `pixelsY` pixels high; the latest of equally near dots (the one
// drawn on top). -1 when none is within reach.
long NearestDot(const std::vector<DiagramDot> &dots, double x, double y, double pixelsX,
                double pixelsY, double radius);
