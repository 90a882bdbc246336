#pragma once
#include "Interpolation.h"

#include <array>

// Periodic Akima interpolation of the data points of a closed curve (last point = first point).
// Each interval holds its own cubic in the absolute parameter t.
class CAkima : public Interpolation {
public:
  using Matrix = std::array<std::array<double, 4>, 4>;
  using Vector = std::array<double, 4>;

  // a·t³ + b·t² + c·t + d of the first interval holding t; 0 outside all intervals.
  double Evaluate(double t) const override;
  // Needs at least 3 points with strictly increasing t. Returns 1, or 0 with `message` filled.
  int SetData(const CPointD *dataPoints, int count, std::string *message = nullptr) override;

  // Solves m·x = r by elimination with row pivoting. Returns 1, or 0 with `message` filled.
  static int SolveEquationSystem(Matrix m, Vector r, Vector &x, std::string *message = nullptr);

  // Slopes at the data points.
  const std::vector<double> &GetPointSlopes() const { return pointSlopes; }

private:
  std::vector<double> slopes;       // interval slopes m(-2) .. m(N), at index j + 2
  std::vector<double> pointSlopes;  // Akima slope at each data point
  std::vector<Vector> coefficients; // a, b, c, d per interval
};
