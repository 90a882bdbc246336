#include "CPointD.h"

#include <cmath>

bool CPointD::operator==(const CPointD &other) const {
  return std::fabs(x - other.x) < 1e-20 && std::fabs(y - other.y) < 1e-20;
}

double CPointD::Distance(const CPointD &other) const {
  const double dx = x - other.x;
  const double dy = y - other.y;
  return std::sqrt(dx * dx + dy * dy);
}
