#pragma once
#include "CPointD.h"

#include <string>
#include <vector>

// Interpolation of data points (t, f), held as CPointD with x = t and y = f, t increasing.
class Interpolation {
public:
  virtual ~Interpolation() = default;

  virtual double Evaluate(double t) const = 0;
  // Copies the data points. Returns 1, or 0 with `message` filled.
  virtual int SetData(const CPointD *dataPoints, int count, std::string *message = nullptr);

  int GetCount() const { return int(points.size()); }
  const std::vector<CPointD> &GetPoints() const { return points; }

protected:
  std::vector<CPointD> points;
};
