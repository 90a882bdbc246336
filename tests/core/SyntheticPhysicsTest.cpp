// The generator's building blocks, tested against the physics they claim.
#include "synth/CameraGeometry.h"
#include "synth/DropPhysics.h"
#include "synth/HydWriter.h"
#include "synth/PrecipitationPath.h"
#include "synth/RainDropScanner.h"
#include "synth/RandomStream.h"
#include "synth/WindSeries.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(SyntheticPhysics, NormalisedGammaHasItsDmAndNw) {
  for (double mu : {0.0, 2.0, 6.0})
    for (double dm : {0.6, 1.5, 2.4}) {
      const auto dsd = synth::GammaDsd::FromNormalised(8000, dm, mu);
      double m3 = 0, m4 = 0;
      for (double d = 0.0005; d < 30; d += 0.001) {
        m3 += d * d * d * dsd(d) * 0.001;
        m4 += d * d * d * d * dsd(d) * 0.001;
      }
      // Dm = M4/M3, and Nw = 4^4/(pi rho_w) W / Dm^4 with W = pi rho_w/6 M3.
      EXPECT_NEAR(m4 / m3, dm, 1e-3 * dm) << mu;
      EXPECT_NEAR(256 / 6.0 * m3 / std::pow(dm, 4), 8000, 8) << mu << " " << dm;
    }
}

TEST(SyntheticPhysics, ScannedEllipseDecodesToItsAxesAndDrift) {
  synth::RandomStream random(5);
  const double scale = 0.18, lineStep = 0.05;
  struct Case {
    double a, c, theta, drift;
  };
  for (const Case k : {Case{1.0, 0.9, 0, 0}, Case{2.5, 1.5, 0.1, 0}, Case{1.5, 1.2, 0, 0.02}}) {
    double width = 0, height = 0, shift = 0;
    const int runs = 400;
    for (int i = 0; i < runs; ++i) {
      std::vector<int16_t> left, right;
      synth::RainDropScanner::ScanEllipse(k.a, k.c, k.theta, lineStep, random.Uniform(),
                                          256 + random.Uniform(), scale, k.drift, left, right);
      int maxWidth = 0;
      for (size_t l = 0; l < left.size(); ++l)
        maxWidth = std::max(maxWidth, right[l] - left[l]);
      width += maxWidth * scale;
      height += double(left.size()) * lineStep;
      const size_t last = left.size() - 1;
      shift += ((left[last] + right[last]) - (left[0] + right[0])) / 2.0 / double(last);
    }
    // A canted ellipse is taller: its vertical extent is 2 sqrt(a^2 sin^2 + c^2 cos^2).
    const double s = std::sin(k.theta), co = std::cos(k.theta);
    EXPECT_NEAR(height / runs, 2 * std::sqrt(k.a * k.a * s * s + k.c * k.c * co * co), 0.01);
    EXPECT_NEAR(width / runs, 2 * k.a, 0.04 * k.a);
    // The drift shears the lines; canting alone also tilts the chord centres.
    if (k.theta == 0) {
      EXPECT_NEAR(shift / runs, k.drift / scale, 0.01);
    }
  }
}

TEST(SyntheticPhysics, CameraGeometryAsTheReaderHasIt) {
  MainHeader h = synth::TypicalMainHeader(0);
  h.planeDistance1 = 20;
  h.planeDistance2 = 22;
  h.planeDistance3 = 21;
  h.firstPixel = 0;
  h.lastPixel = 511;
  const synth::CameraGeometry g(h);
  EXPECT_FLOAT_EQ(g.PlaneDistance(0, 0), 20);
  EXPECT_FLOAT_EQ(g.PlaneDistance(511, 0), 22);
  EXPECT_FLOAT_EQ(g.PlaneDistance(511, 511), 21);
  EXPECT_FLOAT_EQ(g.PlaneDistance(0, 511), 19);
  // A 10-pixel particle can lie at 500 positions each way, at the nominal scales on average.
  EXPECT_NEAR(g.MeasuringArea(100, 110, 200, 210), 500 * 500 * h.scaleA * h.scaleB, 1e-3);
  // Perspective: camera A's pixels shrink away from camera A, camera B's grow.
  EXPECT_LT(g.ScaleA(500), g.ScaleA(10));
  EXPECT_GT(g.ScaleB(500), g.ScaleB(10));
}

TEST(SyntheticPhysics, RainPathHasStratiformBurstAndDrizzle) {
  synth::RandomStream random(11);
  const synth::PrecipitationPath path(random, 6 * 3600, 9 * 3600, false);
  double peak = 0, peakDm = 0;
  int light = 0, drizzle = 0, dry = 0, wet = 0;
  for (double t = 6 * 3600; t < 9 * 3600; t += 10) {
    const auto s = path.At(t);
    if (s.rate > peak)
      peak = s.rate, peakDm = s.dm;
    dry += s.rate == 0;
    wet += s.rate > 0;
    light += s.rate >= 0.8 && s.rate <= 4;
    drizzle += s.rate > 0 && s.rate < 0.5 && s.dm < 0.8;
  }
  EXPECT_GT(peak, 30);
  EXPECT_LT(peak, 90);
  EXPECT_GT(peakDm, 1.8);
  EXPECT_GT(light, wet / 2);
  EXPECT_GT(drizzle, wet / 10);
  EXPECT_GT(dry, 0);
}

TEST(SyntheticPhysics, WindDriftsSmoothly) {
  synth::RandomStream random(2);
  const synth::PrecipitationPath path(random, 6 * 3600, 10 * 3600, false);
  const synth::WindSeries wind(random, path, false);
  const auto bytes = wind.Bytes();
  ASSERT_EQ(bytes.size(), 28800u * 8);
  double maxStep = 0, maxTurn = 0;
  for (int k = 1; k < synth::WindSeries::SLOTS; ++k) {
    const double t = k * 3.0;
    maxStep = std::max(maxStep, std::abs(wind.Speed(t) - wind.Speed(t - 3)));
    const double turn = std::abs(wind.Direction(t) - wind.Direction(t - 3));
    maxTurn = std::max(maxTurn, std::min(turn, 360 - turn));
  }
  EXPECT_LT(maxStep, 0.5);
  EXPECT_LT(maxTurn, 5);
}

} // namespace
