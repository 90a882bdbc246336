#include "CAkima.h"

#include <algorithm>
#include <cmath>
#include <utility>

int CAkima::SolveEquationSystem(Matrix m, Vector r, Vector &x, std::string *message) {
  auto fail = [message](const char *text) {
    if (message)
      *message = text;
    return 0;
  };
  for (int k = 0; k < 4; ++k) {
    int pivot = k;
    double max = 0;
    for (int i = k; i < 4; ++i) {
      if (std::fabs(m[i][k]) > max) {
        max = std::fabs(m[i][k]);
        pivot = i;
      }
    }
    if (max == 0)
      return fail("SolveEquationSystem: max = 0");
    std::swap(m[k], m[pivot]);
    std::swap(r[k], r[pivot]);
    for (int i = k + 1; i < 4; ++i) {
      if (m[k][k] == 0)
        return fail("SolveEquationSystem: division by zero");
      const double factor = m[i][k] / m[k][k];
      for (int j = k; j < 4; ++j)
        m[i][j] -= factor * m[k][j];
      r[i] -= factor * r[k];
    }
  }
  for (int i = 3; i >= 0; --i) {
    double sum = r[i];
    for (int j = i + 1; j < 4; ++j)
      sum -= m[i][j] * x[j];
    if (m[i][i] == 0)
      return fail("SolveEquationSystem: division by zero");
    x[i] = sum / m[i][i];
  }
  return 1;
}

int CAkima::SetData(const CPointD *dataPoints, int count, std::string *message) {
  slopes.clear();
  pointSlopes.clear();
  coefficients.clear();
  if (dataPoints == nullptr) {
    if (message)
      *message = "CAkima::SetData: dataPoints = NULL";
    points.clear();
    return 0;
  }
  // The periodic extension reaches back three points.
  if (count < 3) {
    if (message)
      *message = "CAkima::SetData: number of points < 3";
    points.clear();
    return 0;
  }
  if (!Interpolation::SetData(dataPoints, count, message))
    return 0;

  const int n = count;
  slopes.assign(size_t(n) + 3, 0.0);
  // The slopes m(-2) .. m(n): the segments' and two extrapolated ones at each end.
  auto m = [this](int j) -> double & {
    const int k = j + 2;
    return slopes[size_t(k)];
  };
  for (int j = 0; j <= n - 2; ++j) {
    const double dt = points[j + 1].x - points[j].x;
    m(j) = dt == 0 ? 0.0 : (points[j + 1].y - points[j].y) / dt;
  }
  m(-2) = m(n - 3);
  m(-1) = m(n - 2);
  m(n - 1) = m(0);
  m(n) = m(1);

  pointSlopes.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    const double wR = std::fabs(m(i + 1) - m(i));
    const double wL = std::fabs(m(i - 1) - m(i - 2));
    pointSlopes[i] = wL + wR == 0 ? (m(i - 1) + m(i)) / 2 : (wL * m(i) + wR * m(i - 1)) / (wL + wR);
  }

  coefficients.resize(size_t(n - 1));
  for (int i = 0; i < n - 1; ++i) {
    const double t0 = points[i].x;
    const double t1 = points[i + 1].x;
    const Matrix a = {{{t0 * t0 * t0, t0 * t0, t0, 1},
                       {t1 * t1 * t1, t1 * t1, t1, 1},
                       {3 * t0 * t0, 2 * t0, 1, 0},
                       {3 * t1 * t1, 2 * t1, 1, 0}}};
    const Vector r = {points[i].y, points[i + 1].y, pointSlopes[i], pointSlopes[i + 1]};
    if (!SolveEquationSystem(a, r, coefficients[i], message)) {
      coefficients.clear();
      return 0;
    }
  }
  return 1;
}

double CAkima::Evaluate(double t) const {
  if (coefficients.empty())
    return 0;
  // First interval i with t(i) <= t <= t(i+1).
  auto it = std::lower_bound(points.begin() + 1, points.end(), t,
                             [](const CPointD &p, double v) { return p.x < v; });
  if (it == points.end())
    return 0;
  const size_t i = size_t(it - points.begin()) - 1;
  if (!(points[i].x <= t))
    return 0;
  const Vector &c = coefficients[i];
  return ((c[0] * t + c[1]) * t + c[2]) * t + c[3];
}
