// Axis ticks of zoomed diagrams and the dot a click lands on.
#include "statistics/AxisTicks.h"
#include "statistics/DiagramDot.h"
#include "statistics/SegmentClip.h"
#include "statistics/TimeSpan.h"

#include <cmath>
#include <gtest/gtest.h>

using axisticks::Clock;
using axisticks::Linear;
using axisticks::Logarithmic;

TEST(DiagramNavigationTest, LinearTicksAreRoundAndWithinTheRange) {
  EXPECT_EQ(Linear(0, 10, 6), (std::vector<double>{0, 2, 4, 6, 8, 10}));
  EXPECT_EQ(Linear(0.37, 1.21, 5), (std::vector<double>{0.4, 0.6, 0.8, 1.0, 1.2}));
  EXPECT_EQ(Linear(-3, 3, 4), (std::vector<double>{-2, 0, 2}));
  EXPECT_EQ(Linear(1234, 1236, 3), (std::vector<double>{1234, 1235, 1236}));
  for (auto [lo, hi, most] : {std::tuple{0.0, 1e-3, 8}, {5.0, 5000.0, 3}, {-7.5, 12.25, 10}}) {
    const auto ticks = Linear(lo, hi, most);
    ASSERT_FALSE(ticks.empty());
    EXPECT_LE(int(ticks.size()), most);
    EXPECT_GE(ticks.front(), lo);
    EXPECT_LE(ticks.back(), hi);
  }
  EXPECT_TRUE(Linear(2, 2, 5).empty());
  EXPECT_TRUE(Linear(0, NAN, 5).empty());
}

TEST(DiagramNavigationTest, ClockAndLogarithmicTicks) {
  // 06:00 to 10:30 on at most 10 ticks: every half hour.
  const auto morning = Clock(6 * 3600, 10.5 * 3600, 10);
  ASSERT_EQ(morning.size(), 10u);
  EXPECT_EQ(morning[1] - morning[0], 1800);
  EXPECT_EQ(axisticks::ClockLabel(morning[1], 1800), "06:30");
  // Two minutes around the shower: seconds show.
  const auto shower = Clock(8 * 3600 + 50 * 60, 8 * 3600 + 52 * 60, 5);
  EXPECT_EQ(shower[1] - shower[0], 30);
  EXPECT_EQ(axisticks::ClockLabel(shower[1], 30), "08:50:30");

  EXPECT_EQ(Logarithmic(0.01, 100, 20),
            (std::vector<double>{0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100}));
  EXPECT_EQ(Logarithmic(0.01, 100, 6), (std::vector<double>{0.01, 0.1, 1, 10, 100}));
  // Within one decade the ticks are linear.
  EXPECT_EQ(Logarithmic(3, 7, 5), (std::vector<double>{3, 4, 5, 6, 7}));
  EXPECT_EQ(axisticks::Label(0.25, 0.05), "0.25");
  EXPECT_EQ(axisticks::Label(-0.0001, 0.5), "0.0");
  EXPECT_EQ(axisticks::Label(12, 2), "12");
}

TEST(DiagramNavigationTest, TheNearestDotWithinReachInPixels) {
  std::vector<DiagramDot> dots(3);
  dots[0].at = {1000, 1000};
  dots[1].at = {1100, 1000};
  dots[2].at = {1000, 1000}; // drawn over the first
  // 0.01 pixels per unit across, 0.02 up: dot 1 is 1 pixel right of (1000, 1000).
  EXPECT_EQ(NearestDot(dots, 1000, 1000, 0.01, 0.02, 4), 2);
  EXPECT_EQ(NearestDot(dots, 1080, 1000, 0.01, 0.02, 4), 1);
  // 150 units up are 3 pixels: within 4, not within 2.
  EXPECT_EQ(NearestDot(dots, 1100, 1150, 0.01, 0.02, 4), 1);
  EXPECT_EQ(NearestDot(dots, 1100, 1150, 0.01, 0.02, 2), -1);
  EXPECT_EQ(NearestDot({}, 0, 0, 1, 1, 4), -1);
}

TEST(DiagramNavigationTest, ATimeSpanCoversWholeSecondsWithinTheWindow) {
  const TimeSpan shower =
      TimeSpan::Covering(8 * 3600 + 52 * 60 + 10.4, 8 * 3600 + 48 * 60 + 0.6, 6 * 3600, 24 * 3600);
  EXPECT_EQ(shower.Text(), "08:48:00-08:52:11");
  EXPECT_EQ(TimeSpan::Clock(shower.to).minute, 52);
  EXPECT_EQ(TimeSpan::Covering(5 * 3600, 7 * 3600, 6 * 3600, 24 * 3600).Text(),
            "06:00:00-07:00:00");
  EXPECT_TRUE(TimeSpan::Covering(3600, 7200, 6 * 3600, 24 * 3600).Empty());
  EXPECT_TRUE(TimeSpan::Covering(NAN, 7200, 0, 86400).Empty());
}

TEST(DiagramNavigationTest, SegmentsAreCutToThePlot) {
  Segment rising{-10, -10, 10, 10};
  ASSERT_TRUE(ClipSegment(rising, 0, 0, 5, 8));
  EXPECT_DOUBLE_EQ(rising.x1, 0);
  EXPECT_DOUBLE_EQ(rising.y1, 0);
  EXPECT_DOUBLE_EQ(rising.x2, 5);
  EXPECT_DOUBLE_EQ(rising.y2, 5);
  // A step's rise above the top ends at the top; its level above the top is gone.
  Segment rise{3, 2, 3, 20}, level{3, 20, 6, 20};
  ASSERT_TRUE(ClipSegment(rise, 0, 0, 10, 8));
  EXPECT_DOUBLE_EQ(rise.y2, 8);
  EXPECT_FALSE(ClipSegment(level, 0, 0, 10, 8));
  Segment inside{1, 1, 2, 2};
  ASSERT_TRUE(ClipSegment(inside, 0, 0, 10, 8));
  EXPECT_DOUBLE_EQ(inside.x2, 2);
}
