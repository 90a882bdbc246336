#pragma once
#include "CAkima.h"
#include "CPointD.h"

#include <string>

// A closed curve through polygon points, parameterised by arc length along the polygon.
class CSplineCurve {
public:
  // `points` is a closed polygon (last point = first) without consecutive duplicates.
  // Returns 1, or 0 with `message` filled.
  int Create(const CPointD *points, int count, std::string *message = nullptr);

  // The point at arc length s; (0, 0) outside [0, length] or before Create.
  CPointD Evaluate(double s) const;
  double GetLength() const { return length; }
  const CAkima &GetXSpline() const { return xSpline; }
  const CAkima &GetYSpline() const { return ySpline; }

private:
  double length = 0;
  CAkima ySpline;
  CAkima xSpline;
};
