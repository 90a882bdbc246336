#pragma once
// Physical laws of falling rain drops and snow flakes that the synthetic day follows.

namespace synth {

constexpr double PI = 3.141592653589793;

// Terminal fall velocity of a rain drop in m/s for an equivalent diameter in mm:
// v(D) = 9.65 - 10.3 exp(-0.6 D) (Atlas, Srivastava and Sekhon 1973, a fit to Gunn and Kinzer
// 1949). Never below 0.05 m/s so that tiny drops still fall.
double TerminalVelocity(double diameterMm);

// Equilibrium axis ratio (vertical over horizontal) of a rain drop, the polynomial fit of Beard
// and Chuang (1987) with D in cm: r = 1.0048 + 0.0057 D - 2.628 D^2 + 3.682 D^3 - 1.677 D^4,
// limited to at most 1.
double EquilibriumAxisRatio(double diameterMm);

// Fall velocity of snow aggregates in m/s, Locatelli and Hobbs (1974): v = 0.81 D^0.16 (D in mm).
double SnowFallVelocity(double diameterMm);

// Gamma drop size distribution N(D) = N0 D^mu exp(-lambda D) in m^-3 mm^-1 (D in mm).
struct GammaDsd {
  double n0 = 0;
  double mu = 0;
  double lambda = 1;

  double operator()(double diameterMm) const;
  // The normalised form of Testud et al. (2001): N(D) = Nw f(mu) (D/Dm)^mu exp(-(4+mu) D/Dm),
  // f(mu) = 6/4^4 (4+mu)^(mu+4) / Gamma(mu+4), with Dm the mass-weighted mean diameter.
  static GammaDsd FromNormalised(double nw, double dm, double mu);
};

// Rain rate in mm/h of a distribution over the diameters [lo, hi] mm:
// R = 6 pi 1e-4 * integral of D^3 v(D) N(D) dD (D in mm, v in m/s, N in m^-3 mm^-1).
double RainRate(const GammaDsd &dsd, double lo, double hi);

} // namespace synth
