#pragma once

// A line segment cut to a rectangle, for pictures whose format keeps no clip of its own.
struct Segment {
  double x1, y1, x2, y2;
};

// The part of `s` inside the rectangle [left, right] × [bottom, top]; false when none is.
bool ClipSegment(Segment &s, double left, double bottom, double right, double top);
