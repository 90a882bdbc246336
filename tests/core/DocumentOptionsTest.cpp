#include "DocumentOptions.h"

#include <gtest/gtest.h>

TEST(DocumentOptions, TimesOfDay) {
  TimeOfDay t;
  ASSERT_TRUE(ParseTimeOfDay("06:30", t));
  EXPECT_EQ(t.Seconds(), 6 * 3600 + 30 * 60);
  ASSERT_TRUE(ParseTimeOfDay("6:30:15", t));
  EXPECT_EQ(t.Seconds(), 6 * 3600 + 30 * 60 + 15);
  ASSERT_TRUE(ParseTimeOfDay("24:00:00", t));
  EXPECT_EQ(t.Seconds(), 86400);
  // Short and malformed texts are refused without reading past their end.
  for (const char *bad : {"", "6", "06:", "06:3:", "06:30:", "06:30:1x", "24:00:01", "06:60",
                          "123:00", "06-30", "06:30:15:00"})
    EXPECT_FALSE(ParseTimeOfDay(bad, t)) << bad;
}

TEST(DocumentOptions, RangesAndFilter) {
  double lo = 0, hi = 0;
  ASSERT_TRUE(ParseRange("-1.5:2", lo, hi));
  EXPECT_EQ(lo, -1.5);
  EXPECT_EQ(hi, 2);
  for (const char *bad : {"", "1", "1:", ":2", "3:2", "a:b", "1:2:3"})
    EXPECT_FALSE(ParseRange(bad, lo, hi)) << bad;

  DocumentOptions o;
  FilterRecord f;
  std::string error;
  o.from = "10:00";
  ASSERT_TRUE(o.BuildFilter(f, error));
  EXPECT_EQ(f.endTime.Seconds(), 86400) << "to the end of the day";
  o.to = "09:59";
  EXPECT_FALSE(o.BuildFilter(f, error));
  EXPECT_EQ(error, "--to must be later than --from");
  o.to = "11:00";
  o.pixelB = "1.5:3";
  EXPECT_FALSE(o.BuildFilter(f, error)) << "pixels are whole";
}
