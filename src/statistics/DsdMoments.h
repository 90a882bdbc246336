#pragma once
#include <optional>

// Integral quantities of a binned drop size distribution N(D) in 1/(m³·mm), each class taken at
// its centre (k + 0.5)·ΔD. A quantity without a defined value is empty.
struct DsdMoments {
  std::optional<double> nt;     // total concentration, 1/m³
  std::optional<double> w;      // liquid water content, g/m³
  std::optional<double> z;      // reflectivity factor, dBZ
  std::optional<double> dm;     // mass-weighted mean diameter, mm
  std::optional<double> d0;     // median volume diameter, mm
  std::optional<double> nw;     // normalised intercept, 1/(mm·m³)
  std::optional<double> mu;     // gamma shape from the moments 2, 4 and 6
  std::optional<double> lambda; // gamma slope, 1/mm

  // `classes` holds `count` classes of width `deltaD` mm starting at 0 mm.
  static DsdMoments Of(const double *classes, int count, double deltaD);
};
