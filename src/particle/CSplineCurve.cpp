#include "CSplineCurve.h"

#include <vector>

int CSplineCurve::Create(const CPointD *points, int count, std::string *message) {
  length = 0;
  if (points == nullptr) {
    if (message)
      *message = "Create: points = NULL";
    return 0;
  }
  // A closed polygon needs three corners and the closing copy.
  if (count < 4) {
    if (message)
      *message = "Create: number of points < 4";
    return 0;
  }
  std::vector<CPointD> xData(static_cast<size_t>(count));
  std::vector<CPointD> yData(static_cast<size_t>(count));
  double s = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0)
      s += points[i - 1].Distance(points[i]);
    xData[i] = CPointD(s, points[i].x);
    yData[i] = CPointD(s, points[i].y);
  }
  if (!xSpline.SetData(xData.data(), count, message) ||
      !ySpline.SetData(yData.data(), count, message))
    return 0;
  length = s;
  return 1;
}

CPointD CSplineCurve::Evaluate(double s) const {
  return CPointD(xSpline.Evaluate(s), ySpline.Evaluate(s));
}
