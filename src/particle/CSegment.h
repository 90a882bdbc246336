#pragma once
#include "CPointD.h"

// A directed segment of a closed polygon.
class CSegment {
public:
  CPointD end;
  CPointD start;

  CSegment() = default;
  CSegment(const CPointD &start, const CPointD &end);
};
