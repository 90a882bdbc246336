#include "RainDropScanner.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {
// Nearest pixel; llround is a library call and this runs for every line of every drop.
int16_t NearestPixel(double p) { return int16_t(int(p + 4096.5) - 4096); }
} // namespace

void RainDropScanner::ScanEllipse(double a, double c, double theta, double lineStep, double phase,
                                  double centre, double scale, double drift,
                                  std::vector<int16_t> &left, std::vector<int16_t> &right) {
  left.clear();
  right.clear();
  // The canted ellipse A x^2 + 2B x y + C y^2 = 1; its vertical half extent is sqrt(A/(AC-B^2)).
  const double cs = std::cos(theta), sn = std::sin(theta);
  const double ia = 1 / (a * a), ic = 1 / (c * c);
  const double qa = cs * cs * ia + sn * sn * ic;
  const double qb = cs * sn * (ia - ic);
  const double qc = sn * sn * ia + cs * cs * ic;
  const double yMax = std::sqrt(qa / (qa * qc - qb * qb));
  const double invQa = 1 / qa, invScale = 1 / scale;
  for (int k = 0;; ++k) {
    const double along = (phase + k) * lineStep;
    if (along > 2 * yMax && k > 0)
      break;
    const double y = std::min(along - yMax, yMax);
    const double root = std::sqrt(std::max(0.0, qb * qb * y * y - qa * (qc * y * y - 1)));
    const double middle = -qb * y * invQa + (phase + k) * drift;
    left.push_back(NearestPixel(centre + (middle - root * invQa) * invScale));
    right.push_back(NearestPixel(centre + (middle + root * invQa) * invScale));
  }
}

double RainDropScanner::Scan(const RainDrop &drop, RainImage &image) const {
  const double lf = geometry.LineFrequency();
  const double radius = drop.diameter / 2;
  // Same volume as the sphere: a^2 c = r^3 with c = r_axis a.
  const double a = radius / std::cbrt(drop.axisRatio), c = a * drop.axisRatio;
  const double lineStep = drop.fallSpeed * 1000 / lf; // mm of fall per line

  const double scaleA = geometry.ScaleA(drop.pixelB), scaleB = geometry.ScaleB(drop.pixelA);
  const double startA = drop.arrival * lf, firstA = std::ceil(startA);
  ScanEllipse(a, c, drop.cantA, lineStep, firstA - startA, drop.pixelA, scaleA,
              drop.speedA * 1000 / lf, image.leftA, image.rightA);

  // Camera B sees the drop on the second plane, later by the fall through the plane distance.
  // Its position there is drawn as it is seen (in a uniform rain field the drift between the
  // planes only shifts which drops show up where).
  const double delay =
      geometry.PlaneDistance(float(drop.pixelA), float(drop.pixelB)) / (drop.fallSpeed * 1000);
  const double startB = (drop.arrival + delay) * lf, firstB = std::ceil(startB);
  ScanEllipse(a, c, drop.cantB, lineStep, firstB - startB, drop.pixelB, scaleB,
              drop.speedB * 1000 / lf, image.leftB, image.rightB);
  return firstA;
}

} // namespace synth
