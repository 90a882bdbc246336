#include "DropPhysics.h"

#include <algorithm>
#include <cmath>

namespace synth {

double TerminalVelocity(double diameterMm) {
  return std::max(0.05, 9.65 - 10.3 * std::exp(-0.6 * diameterMm));
}

double EquilibriumAxisRatio(double diameterMm) {
  const double d = diameterMm / 10; // the fit is in cm
  const double r = 1.0048 + d * (0.0057 + d * (-2.628 + d * (3.682 + d * -1.677)));
  return std::min(1.0, r);
}

double SnowFallVelocity(double diameterMm) { return 0.81 * std::pow(diameterMm, 0.16); }

double GammaDsd::operator()(double diameterMm) const {
  return n0 * std::pow(diameterMm, mu) * std::exp(-lambda * diameterMm);
}

GammaDsd GammaDsd::FromNormalised(double nw, double dm, double mu) {
  const double f = 6.0 / 256.0 * std::pow(4 + mu, mu + 4) / std::tgamma(mu + 4);
  return {nw * f / std::pow(dm, mu), mu, (4 + mu) / dm};
}

double RainRate(const GammaDsd &dsd, double lo, double hi) {
  const int steps = std::max(1, int(std::lround((hi - lo) / 0.01)));
  const double dd = (hi - lo) / steps;
  double sum = 0;
  for (int i = 0; i < steps; ++i) {
    const double d = lo + (i + 0.5) * dd;
    sum += d * d * d * TerminalVelocity(d) * dsd(d) * dd;
  }
  return 6 * PI * 1e-4 * sum;
}

} // namespace synth
