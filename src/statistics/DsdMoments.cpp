#include "DsdMoments.h"

#include <cmath>
#include <numbers>
#include <vector>

DsdMoments DsdMoments::Of(const double *classes, int count, double deltaD) {
  DsdMoments m;
  if (!classes || count <= 0 || !(deltaD > 0))
    return m;
  double m0 = 0, m2 = 0, m3 = 0, m4 = 0, m6 = 0;
  int filled = 0;
  std::vector<double> volume(size_t(count), 0.0); // N D³ ΔD per class
  for (int k = 0; k < count; ++k) {
    const double n = classes[k];
    if (!std::isfinite(n))
      return m;
    if (n != 0)
      ++filled;
    const double d = (k + 0.5) * deltaD;
    const double d2 = d * d, d3 = d2 * d;
    m0 += n * deltaD;
    m2 += n * d2 * deltaD;
    m3 += n * d3 * deltaD;
    m4 += n * d3 * d * deltaD;
    m6 += n * d3 * d3 * deltaD;
    volume[size_t(k)] = n * d3 * deltaD;
  }
  m.nt = m0;
  m.w = std::numbers::pi / 6 * 1e-3 * m3;
  if (m6 > 0)
    m.z = 10 * std::log10(m6);
  if (m3 > 0) {
    const double dm = m4 / m3;
    m.dm = dm;
    m.nw = 256 / std::numbers::pi * 1e3 * *m.w / (dm * dm * dm * dm);
    // The first class where the cumulative volume reaches half, interpolated inside it.
    const double half = m3 / 2;
    double below = 0;
    for (int k = 0; k < count; ++k) {
      const double above = below + volume[size_t(k)];
      if (above >= half) {
        const double share = volume[size_t(k)] > 0 ? (half - below) / volume[size_t(k)] : 0.0;
        m.d0 = (k + share) * deltaD;
        break;
      }
      below = above;
    }
  }
  if (filled >= 2 && m2 > 0 && m4 > 0 && m6 > 0) {
    const double eta = m4 * m4 / (m2 * m6);
    if (eta != 1) {
      const double a = 7 - 11 * eta;
      const double radicand = a * a - 4 * (eta - 1) * (30 * eta - 12);
      if (radicand >= 0) {
        const double mu = (a - std::sqrt(radicand)) / (2 * (eta - 1));
        const double slope = (4 + mu) * (3 + mu) * m2 / m4;
        if (std::isfinite(mu) && slope >= 0) {
          m.mu = mu;
          m.lambda = std::sqrt(slope);
        }
      }
    }
  }
  return m;
}
