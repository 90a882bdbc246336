// The velocity check: the terminal velocity it compares with, its two forms at their edges, and
// the options that switch it on.
#include "document/VelocityQc.h"
#include "DocumentOptions.h"
#include "document/TerminalVelocity.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

VelocityQc Fraction(double f) {
  VelocityQc qc;
  qc.mode = VelocityQc::Mode::Fraction;
  qc.fraction = f;
  return qc;
}

VelocityQc Tolerance(double t) {
  VelocityQc qc;
  qc.mode = VelocityQc::Mode::Tolerance;
  qc.tolerance = t;
  return qc;
}

} // namespace

TEST(TerminalVelocityTest, MeasuredPointsLinearBetweenThemTheFitBeyond) {
  using terminalvelocity::OfRainDrop;
  EXPECT_DOUBLE_EQ(OfRainDrop(1.0), 4.03);
  EXPECT_DOUBLE_EQ(OfRainDrop(6.5), 9.18);
  EXPECT_NEAR(OfRainDrop(1.1), (4.03 + 4.64) / 2, 1e-12);
  EXPECT_NEAR(OfRainDrop(2.2), (6.49 + 7.27) / 2, 1e-12);
  // Beyond the largest drop measured: the fit, which lies above the last point.
  EXPECT_NEAR(OfRainDrop(8.0), 9.65 - 10.3 * std::exp(-4.8), 1e-12);
  EXPECT_GT(OfRainDrop(6.6), 9.18);
  // Below the smallest, down to rest at D = 0 instead of the fit's negative speeds.
  EXPECT_NEAR(OfRainDrop(0.05), 0.135, 1e-12);
  EXPECT_EQ(OfRainDrop(0.0), 0.0);
  EXPECT_LT(terminalvelocity::Fitted(0.05), 0.0);
  EXPECT_TRUE(std::isnan(OfRainDrop(std::nan(""))));
}

TEST(VelocityQcTest, FractionFormKeepsItsEdges) {
  const VelocityQc qc = Fraction(0.5);
  // v_T(1 mm) = 4.03 m/s: 2.015 to 6.045, edges included even as the record's floats.
  EXPECT_TRUE(qc.Keeps(1.0f, 2.015f));
  EXPECT_TRUE(qc.Keeps(1.0f, 6.045f));
  EXPECT_TRUE(qc.Keeps(1.0, 4.03));
  EXPECT_FALSE(qc.Keeps(1.0f, 2.01f));
  EXPECT_FALSE(qc.Keeps(1.0f, 6.05f));
  // A drop beyond the table against the fit: v_T(8 mm) = 9.565 m/s.
  const double vt = 9.65 - 10.3 * std::exp(-4.8);
  EXPECT_TRUE(qc.Keeps(8.0, vt * 1.5));
  EXPECT_FALSE(qc.Keeps(8.0, vt * 1.5 + 1e-3));
  EXPECT_FALSE(qc.Keeps(8.0, vt * 0.5 - 1e-3));
  // A particle at rest is no falling drop, unless the fraction reaches down to 0.
  EXPECT_FALSE(qc.Keeps(1.0, 0.0));
  EXPECT_TRUE(Fraction(1.0).Keeps(1.0, 0.0));
  EXPECT_FALSE(qc.Keeps(1.0, std::nan("")));
}

TEST(VelocityQcTest, ToleranceFormKeepsItsEdges) {
  const VelocityQc qc = Tolerance(1.0);
  EXPECT_TRUE(qc.Keeps(1.0f, 3.03f));
  EXPECT_TRUE(qc.Keeps(1.0f, 5.03f));
  EXPECT_FALSE(qc.Keeps(1.0f, 3.02f));
  EXPECT_FALSE(qc.Keeps(1.0f, 5.04f));
  EXPECT_TRUE(qc.Keeps(2.2, 6.88 + 1.0));
  EXPECT_FALSE(qc.Keeps(2.2, 6.88 - 1.01));
  // Zero velocity lies within a tolerance larger than v_T.
  EXPECT_FALSE(qc.Keeps(1.0, 0.0));
  EXPECT_TRUE(Tolerance(4.03).Keeps(1.0, 0.0));
  EXPECT_TRUE(Tolerance(1.0).Keeps(8.0, 9.65 - 10.3 * std::exp(-4.8) - 1.0));
}

TEST(VelocityQcTest, OffKeepsEverythingAndEachFormSaysWhatItDoes) {
  const VelocityQc off;
  EXPECT_FALSE(off.On());
  EXPECT_TRUE(off.Keeps(1.0, 0.0));
  EXPECT_TRUE(off.Keeps(1.0, 30.0));
  EXPECT_EQ(off.Description(), "off");
  EXPECT_EQ(Fraction(0.5).Description(), "fraction 0.5");
  EXPECT_EQ(Tolerance(2).Description(), "tolerance 2 m/s");
}

TEST(VelocityQcTest, TheOptionsSwitchOneFormOn) {
  DocumentOptions o;
  FilterRecord filter;
  std::string error;
  ASSERT_TRUE(o.BuildFilter(filter, error)) << error;
  EXPECT_FALSE(filter.velocityQc.On()) << "off unless asked for";

  o.qcFraction = "0.3";
  EXPECT_TRUE(o.Any());
  ASSERT_TRUE(o.BuildFilter(filter, error)) << error;
  EXPECT_EQ(filter.velocityQc, Fraction(0.3));

  o.qcTolerance = std::string("2");
  EXPECT_FALSE(o.BuildFilter(filter, error));
  EXPECT_NE(error.find("exclude each other"), std::string::npos) << error;

  o.qcFraction.clear();
  ASSERT_TRUE(o.BuildFilter(filter, error)) << error;
  EXPECT_EQ(filter.velocityQc, Tolerance(2));

  for (const char *bad : {"0", "-1", "x", "nan"}) {
    o.qcTolerance = bad;
    EXPECT_FALSE(o.BuildFilter(filter, error)) << bad;
    EXPECT_NE(error.find("--qc-velocity-tolerance"), std::string::npos) << error;
    o.qcTolerance.clear();
    o.qcFraction = bad;
    EXPECT_FALSE(o.BuildFilter(filter, error)) << bad;
    EXPECT_NE(error.find("--qc-velocity:"), std::string::npos) << error;
    o.qcFraction.clear();
  }
}
