#pragma once

// A point of a contour in mm: x across the camera line, y down the scan lines.
class CPointD {
public:
  double y = 0;
  double x = 0;

  CPointD() = default;
  CPointD(double x, double y) : y(y), x(x) {}

  // Equal when both coordinates agree to within 1e-20.
  bool operator==(const CPointD &other) const;
  double Distance(const CPointD &other) const;
};
