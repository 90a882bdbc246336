// The window-free arithmetic of the small views and record tables.
#include "statistics/DsdMath.h"
#include "statistics/InfoTexts.h"
#include "statistics/RainStepCurve.h"
#include "statistics/TopViewGrid.h"

#include <gtest/gtest.h>

TEST(SmallDsd, AccumulatesConcentrationPerQuarterMillimetreClass) {
  dsd::SmallDsd d;
  EXPECT_FALSE(d.IntervalOpen());
  EXPECT_TRUE(d.Add(1000, 1.3, 50, 4)); // class 5: 10^6 / 200
  EXPECT_TRUE(d.IntervalOpen());
  EXPECT_EQ(d.IntervalStart(), 1000);
  EXPECT_TRUE(d.Add(1500, 1.49, 100, 5));  // class 5 again
  EXPECT_TRUE(d.Add(1600, 9.99, 100, 10)); // class 39, the last
  EXPECT_DOUBLE_EQ(d.Classes()[5], 5000 + 2000);
  EXPECT_DOUBLE_EQ(d.Classes()[39], 1000);
  EXPECT_EQ(d.IntervalStart(), 1000) << "later particles do not move the start";

  // Normalised per second and per mm: 3000 lines at 1000 lines/s over classes of 0.25 mm.
  d.Close(4000, 1000);
  EXPECT_FALSE(d.IntervalOpen());
  EXPECT_DOUBLE_EQ(d.Classes()[5], 7000 / (3.0 * 0.25));
  EXPECT_DOUBLE_EQ(d.Max(), d.Classes()[5]);

  // The next particle opens a fresh interval.
  EXPECT_TRUE(d.Add(5000, 0.1, 100, 1));
  EXPECT_EQ(d.IntervalStart(), 5000);
  EXPECT_DOUBLE_EQ(d.Classes()[5], 0);
  EXPECT_DOUBLE_EQ(d.Classes()[0], 10000);
}

TEST(SmallDsd, ZeroAndOutOfRangeGuards) {
  dsd::SmallDsd d;
  EXPECT_FALSE(d.Add(0, 2.0, 0, 5)) << "no area: no concentration";
  EXPECT_FALSE(d.Add(0, 2.0, 40, 0)) << "no velocity: no concentration";
  EXPECT_FALSE(d.Add(0, 10.0, 40, 5)) << "10 mm is beyond the 40 classes";
  EXPECT_FALSE(d.Add(0, -0.3, 40, 5)) << "a negative diameter has no class";
  EXPECT_TRUE(d.IntervalOpen()) << "the particles still open the interval";
  EXPECT_EQ(d.Max(), 0);
  EXPECT_TRUE(d.Bars().empty()) << "nothing to draw without a maximum";

  d.Close(0, 1000);
  EXPECT_FALSE(d.IntervalOpen());

  // An interval of no length, or without line frequency, is taken as one second.
  d.Add(700, 2.0, 100, 4); // class 8: 2500
  d.Close(700, 1000);
  EXPECT_DOUBLE_EQ(d.Classes()[8], 2500 / 0.25);
  d.Add(700, 2.0, 100, 4);
  d.Close(900, 0);
  EXPECT_DOUBLE_EQ(d.Classes()[8], 2500 / 0.25);
  for (double c : d.Classes())
    EXPECT_TRUE(std::isfinite(c));
}

TEST(SmallDsd, BarsOnTheLogarithmicPercentAxis) {
  EXPECT_EQ(dsd::LogHeight(100), 10000);
  EXPECT_EQ(dsd::LogHeight(1), 5000);
  EXPECT_EQ(dsd::LogHeight(0.01), 0);
  EXPECT_LT(dsd::LogHeight(0.001), 0) << "below 0.01 % the bar hangs below the axis";
  EXPECT_GE(dsd::LogHeight(1e-300), -32768);

  dsd::SmallDsd d;
  d.Add(0, 0.1, 1e6, 1); // class 0: 1
  d.Add(0, 2.6, 1e4, 1); // class 10: 100
  d.Add(0, 9.0, 1e2, 1); // class 36: 10000, not drawn but the maximum
  d.Close(1000, 1000);   // one second
  const auto bars = d.Bars();
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].x, 0);
  EXPECT_EQ(bars[0].width, 250);
  EXPECT_EQ(bars[0].height, dsd::LogHeight(0.01));
  EXPECT_EQ(bars[1].x, 2500);
  EXPECT_EQ(bars[1].height, dsd::LogHeight(1.0));
}

TEST(DsdBars, ClassesBelowTheAxisStopAtIt) {
  // 1 in a million of the largest class: far below 0.01 %. The small view's bars share BarHeight.
  const dsd::ClassGeometry g = dsd::GeometryFor(0.25f, 1);
  std::vector<double> classes(size_t(g.count), 0.0);
  classes[0] = 1e6;
  classes[1] = 1;
  classes[2] = 200; // 0.02 %
  const auto big = dsd::BigBars(classes.data(), g);
  ASSERT_EQ(big.size(), 3u);
  EXPECT_EQ(big[0].height, 10000);
  EXPECT_EQ(big[1].height, 0) << "not below the axis, into its labels";
  EXPECT_EQ(big[2].height, dsd::LogHeight(0.02));
}

TEST(DsdClassGeometry, WidthsAndCountsBoundedByTheTable) {
  struct Case {
    float deltaD;
    int s, w, n;
  } cases[] = {{0.05f, 1, 50, 200}, {0.10f, 2, 50, 200}, {0.15f, 1, 150, 66}, {0.20f, 5, 40, 250},
               {0.25f, 2, 125, 80}, {0.05f, 2, 25, 400}, {0.05f, 5, 10, 400}, {0.10f, 5, 20, 400}};
  for (const Case &c : cases) {
    const dsd::ClassGeometry g = dsd::GeometryFor(c.deltaD, c.s);
    EXPECT_EQ(g.width, c.w) << c.deltaD << " " << c.s;
    EXPECT_EQ(g.count, c.n) << c.deltaD << " " << c.s;
  }
  EXPECT_EQ(dsd::GeometryFor(0, 1).count, 0) << "no class width, no classes";
  EXPECT_EQ(dsd::GeometryFor(0.0001f, 1).count, 0) << "bars below one unit";
  EXPECT_EQ(dsd::GeometryFor(0.25f, 0).count, 0);
}

namespace {
RateEntry Entry(double endTim, float duration, bool complete = true) {
  RateEntry e;
  e.complete = complete;
  e.endTim = endTim;
  e.startTim = endTim - duration * 1000.0;
  e.duration = duration;
  return e;
}
} // namespace

TEST(RainStepCurve, StepsRightToLeftAndTrimsBeyondThirtyMinutes) {
  // 1000 lines per second; newest first.
  const std::deque<RateEntry> list = {Entry((10 * 3600 + 30 * 60) * 1000.0, 600),
                                      Entry(0, 0), // no duration: skipped
                                      Entry(0, 900), Entry(0, 400), Entry(0, 50)};
  ASSERT_EQ(rainrate::NewestComplete(list), 0);
  const rainrate::StepCurve c = rainrate::BuildStepCurve(list, 0, 1000);
  EXPECT_EQ(c.endLabel, "10:30");
  EXPECT_EQ(c.startLabel, "10:00");
  const std::vector<std::pair<int, int>> expected = {{1800, 60}, {1200, 60}, {1200, 40},
                                                     {300, 40},  {300, 90},  {0, 90}};
  EXPECT_EQ(c.points, expected);
  EXPECT_EQ(c.entriesNeeded, 4u) << "the entry that crossed the left edge is the oldest needed";
  EXPECT_EQ(list.size(), 5u) << "the curve leaves the document's list alone";
}

TEST(RainStepCurve, OpenHeadAndMidnight) {
  const std::deque<RateEntry> list = {Entry(0, 0, false), Entry(600 * 1000.0, 36)};
  ASSERT_EQ(rainrate::NewestComplete(list), 1);
  const rainrate::StepCurve c = rainrate::BuildStepCurve(list, 1, 1000);
  EXPECT_EQ(c.endLabel, "00:10");
  EXPECT_EQ(c.startLabel, "23:40") << "thirty minutes before 00:10 is the day before";
  ASSERT_EQ(c.points.size(), 2u);
  EXPECT_EQ(c.points[0], std::make_pair(1800, 1000)) << "0.1 mm in 36 s is 10 mm/h";
  EXPECT_EQ(c.points[1], std::make_pair(1764, 1000));
  EXPECT_EQ(c.entriesNeeded, 2u) << "nothing older than 30 minutes";

  std::deque<RateEntry> open = {Entry(0, 0, false)};
  EXPECT_EQ(rainrate::NewestComplete(open), -1);
  EXPECT_EQ(rainrate::NewestComplete({}), -1);
  const rainrate::StepCurve none = rainrate::BuildStepCurve(list, 1, 0);
  EXPECT_TRUE(none.points.empty()) << "no line frequency";
  EXPECT_EQ(none.entriesNeeded, list.size()) << "a curve not drawn drops nothing";
  EXPECT_TRUE(rainrate::BuildStepCurve(list, 5, 1000).points.empty());
  EXPECT_EQ(rainrate::RateUnits(1e-9f), 1000000) << "a vanishing duration stays drawable";
}

TEST(RecordTable, HorizontalVelocityDirection) {
  struct Case {
    double a, b, magnitude, direction;
  } cases[] = {{0, -1.5, 1.5, 180},
               {-1, 0, 1, 90},
               {0, 2, 2, 0},
               {1, 0, 1, 270},
               {-1, -1, std::sqrt(2.0), 135},
               {-1, 1, std::sqrt(2.0), 45},
               {3, 4, 5, 323.13010235415598}};
  for (const Case &c : cases) {
    const info::HorizontalVelocity v = info::HorizontalVelocityOf(c.a, c.b);
    EXPECT_NEAR(v.magnitude, c.magnitude, 1e-12) << c.a << " " << c.b;
    EXPECT_NEAR(v.direction, c.direction, 1e-9) << c.a << " " << c.b;
    EXPECT_GE(v.direction, 0);
    EXPECT_LT(v.direction, 360);
  }
}

TEST(RecordTable, RowsOfAParticle) {
  HydRecord r;
  r.diameter = 2.345f;
  r.velocity = 6.78f;
  r.oblateness = 0.914f;
  r.hVelA = 0;
  r.hVelB = -1.5f;
  r.area = 1234.5678f;
  r.dropType = 4;
  TimeOfDay t;
  t.hour = 6, t.minute = 5, t.second = 4, t.millisecond = 32;
  WindRecord wind{250, 180, 7, -512};

  info::ParticleRows rows = info::RowsFor(r, &t, false, &wind);
  EXPECT_EQ(rows.values[0], "06:05:04.032");
  EXPECT_EQ(rows.values[1], " 2.35 mm");
  EXPECT_EQ(rows.values[2], " 6.8 m/s");
  EXPECT_EQ(rows.values[3], " 0.91");
  EXPECT_EQ(rows.values[4], " 1.5 m/s, 180.0\u00B0");
  EXPECT_EQ(rows.values[5], " 2.5 m/s, 180.0\u00B0");
  EXPECT_EQ(rows.values[6], "-5.1 deg C");
  EXPECT_EQ(rows.values[7], "hail");
  EXPECT_EQ(rows.values[8], "1234.57 mm\u00B2");

  rows = info::RowsFor(r, nullptr, true, nullptr);
  EXPECT_EQ(rows.values[0], "----------") << "no time without line frequency";
  EXPECT_EQ(rows.values[4], "----------") << "snow has no horizontal velocity";
  EXPECT_EQ(rows.values[5], "----------");
  EXPECT_EQ(rows.values[6], "----------");

  EXPECT_EQ(info::ClassName(0), "not class.");
  EXPECT_EQ(info::ClassName(6), "invalid");
  EXPECT_EQ(info::ClassName(9), "9") << "codes without a name show their number";
  EXPECT_EQ(info::FileLabel("day1.hyd", 4), "day1 (4)");
  EXPECT_EQ(info::FileLabel("day1.old.hyd", 3), "day1 (3)") << "up to the first dot";
  EXPECT_EQ(info::FilePosition(1234, 99999), "1234:99999");
}

TEST(TopViewArea, SizeAndCountGrid) {
  EXPECT_EQ(topview::AreaSize(256, 1023, 1023), 512) << "the main header decides";
  EXPECT_EQ(topview::AreaSize(0, 1023, 511), 1024);
  EXPECT_EQ(topview::AreaSize(0, 300, 700), 701);
  EXPECT_EQ(topview::AreaSize(0, -5, -9), 1) << "never an empty area";
  EXPECT_EQ(topview::CountGrid::Centre(10, 13), 11);

  topview::CountGrid g;
  g.Reset(512);
  for (int i = 1; i <= 7; ++i)
    EXPECT_EQ(g.Add(100, 111, 200, 203), std::min(i, 5)) << "counts stop at 5";
  EXPECT_EQ(g.Count(105, 201), 5);
  EXPECT_EQ(g.Add(505, 517, 0, 3), 1) << "centre 511 is the last cell";
  EXPECT_EQ(g.Add(506, 518, 0, 3), 0) << "centre 512 lies beyond it";
  EXPECT_EQ(g.Add(-9, -2, 0, 3), 0) << "left of the area";
  EXPECT_EQ(g.Add(0, 3, 600, 700), 0) << "beyond the area";
  g.Reset(16);
  EXPECT_EQ(g.Count(105, 201), 0);
  EXPECT_EQ(g.Size(), 16);
}

TEST(SmallDsd, MainRunStepsCloseTheIntervalUnlessTheParticleIsUndefined) {
  dsd::SmallDsd d;
  EXPECT_FALSE(d.Take(1000, 1.3, 50, 4, false, 1000)) << "no rain step completed yet";
  // area · velocity = 0 ends the particle's processing before the step test.
  EXPECT_FALSE(d.Take(2000, 2.0, 0, 4, true, 1000));
  EXPECT_TRUE(d.IntervalOpen());
  EXPECT_FALSE(d.Take(2000, 2.0, 40, 0, true, 1000));
  EXPECT_TRUE(d.IntervalOpen());
  // Beyond the classes the particle is not counted but still closes the step.
  EXPECT_TRUE(d.Take(3000, 12.0, 40, 5, true, 1000));
  EXPECT_FALSE(d.IntervalOpen());
  EXPECT_DOUBLE_EQ(d.Classes()[5], 5000 / (2.0 * 0.25));
}
