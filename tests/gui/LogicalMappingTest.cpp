#include "views/LogicalMapping.h"

#include <gtest/gtest.h>

TEST(LogicalMapping, AnisotropicWithYUpwards) {
  // 1000 x 1000 logical units with the origin at the lower left onto 200 x 100 pixels.
  auto m = LogicalMapping::Anisotropic({0, 0}, {1000, 1000}, {0, 100}, {200, -100});
  EXPECT_EQ(m.ToDevice({0, 0}), QPointF(0, 100));
  EXPECT_EQ(m.ToDevice({1000, 1000}), QPointF(200, 0));
  EXPECT_EQ(m.ToDevice({500, 250}), QPointF(100, 75));
  EXPECT_EQ(m.ToLogical({100, 75}), QPointF(500, 250));
  EXPECT_EQ(m.Transform().map(QPointF(500, 250)), QPointF(100, 75));
  EXPECT_DOUBLE_EQ(m.DeviceLengthY(100), 10);
}

TEST(LogicalMapping, IsotropicKeepsOneScaleAndTheSigns) {
  auto m = LogicalMapping::Isotropic({0, 0}, {1000, 1000}, {0, 100}, {200, -100});
  EXPECT_DOUBLE_EQ(m.viewportExt.width(), 100);
  EXPECT_DOUBLE_EQ(m.viewportExt.height(), -100);
  EXPECT_EQ(m.ToDevice({1000, 1000}), QPointF(100, 0));
  // A window whose y extent is negative grows upwards, as under the anisotropic mapping.
  auto up = LogicalMapping::Isotropic({-3600, 3600}, {7200, -7200}, {}, {800, 600});
  EXPECT_EQ(up.ToDevice({-3600, 3600}), QPointF(0, 0));
  EXPECT_EQ(up.ToDevice({3600, -3600}), QPointF(600, 600));
  EXPECT_EQ(up.ToDevice({0, 0}), QPointF(300, 300));
  auto zero = LogicalMapping::Anisotropic({0, 0}, {0, 0}, {0, 0}, {10, 10});
  EXPECT_EQ(zero.ToDevice({3, 3}), QPointF(30, 30)) << "no division by a zero extent";
}
