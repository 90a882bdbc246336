#include "document/FilterSettings.h"
#include "document/StoredFilter.h"
#include "particle/CHydData.h"
#include "synth/HydWriter.h"

#include <gtest/gtest.h>
#include <map>

namespace {

constexpr double F = 1000.0; // lines per second, so that tim reads as milliseconds

class FilterTest : public ::testing::Test {
protected:
  void SetUp() override {
    header = synth::TypicalMainHeader(0);
    header.lineFrequency = F;
    record.mainHeader = &header; // firstPixel 4, lastPixel 507
    record.minPosA = record.minPosB = 100;
    record.maxPosA = record.maxPosB = 110;
    record.diameter = 2.0f;
    record.velocity = 6.0f;
    record.oblateness = 0.9f;
    record.dropType = 1;
  }
  static TimeOfDay At(int h, int m, int s) {
    TimeOfDay t;
    t.hour = int16_t(h);
    t.minute = int16_t(m);
    t.second = int16_t(s);
    return t;
  }

  MainHeader header;
  HydRecord record;
  FilterSettings filter{FilterRecord::DocumentDefaults()};
};

TEST_F(FilterTest, TimeWindowIncludesStartExcludesEnd) {
  filter.startTime = At(6, 0, 10);
  filter.endTime = At(6, 0, 20);
  const double start = (6 * 3600 + 10) * F, end = (6 * 3600 + 20) * F;
  record.tim = start;
  EXPECT_EQ(filter.TimeTest(&record), 1);
  EXPECT_EQ(filter.BeforeStart(&record), 0);
  record.tim = start - 1;
  EXPECT_EQ(filter.TimeTest(&record), 0);
  EXPECT_EQ(filter.BeforeStart(&record), 1);
  record.tim = end - 1;
  EXPECT_EQ(filter.TimeTest(&record), 1);
  record.tim = end;
  EXPECT_EQ(filter.TimeTest(&record), 0);
  EXPECT_EQ(filter.BeforeStart(&record), 0);

  EXPECT_EQ(filter.TimeTest(nullptr), -1);
  record.mainHeader = nullptr;
  EXPECT_EQ(filter.TimeTest(&record), -1);
  EXPECT_EQ(filter.RecordTest(&record), -1);
}

TEST_F(FilterTest, RecordTestChecks) {
  EXPECT_EQ(filter.RecordTest(&record), 1);
  FilterSettings copy;
  copy.Assign(filter);
  EXPECT_EQ(copy.maxPixA, 1023) << "the document's defaults, copied whole";

  filter.dropType = 4;
  EXPECT_EQ(filter.RecordTest(&record), 0) << "class 1 under a class 4 filter";
  record.dropType = 4;
  EXPECT_EQ(filter.RecordTest(&record), 1);

  // The border margin rejects whatever the ranges say.
  record.minPosA = header.firstPixel;
  EXPECT_EQ(filter.RecordTest(&record), 0);
  record.minPosA = 100;
  record.maxPosB = header.lastPixel;
  EXPECT_EQ(filter.RecordTest(&record), 0);
  record.maxPosB = 110;

  filter.diamMax = 2.0f;
  EXPECT_EQ(filter.RecordTest(&record), 1) << "bounds are inclusive";
  filter.diamMax = 1.99f;
  EXPECT_EQ(filter.RecordTest(&record), 0);
  filter.diamMax = 50;

  // Centre pixel of 10 and 13 is 11.
  record.minPosA = 10;
  record.maxPosA = 13;
  filter.minPixA = filter.maxPixA = 11;
  EXPECT_EQ(filter.RecordTest(&record), 1);
  filter.minPixA = filter.maxPixA = 12;
  EXPECT_EQ(filter.RecordTest(&record), 0);
  filter.minPixA = 0;
  filter.maxPixA = 1023;
  filter.maxPixB = 104; // centre of 100 and 110 is 105
  EXPECT_EQ(filter.RecordTest(&record), 0);
}

} // namespace

TEST(StoredFilterTest, BadValuesFallBackAndAreNamedInTheStoresOrder) {
  const std::map<std::string, std::string> store = {{"Velocity Max", "1e999"},
                                                    {"Diameter Min", "abc"},
                                                    {"Time_Start", "x7:00:00"},
                                                    {"Oblateness Max", "1.5"},
                                                    {"Hyd-Type", "65536"}};
  auto text = [&](const char *key, const char *fallback) {
    const auto found = store.find(key);
    return found == store.end() ? std::string(fallback) : found->second;
  };
  FilterSettings s;
  const std::vector<std::string> bad = storedfilter::ReadStoredFilter(s, text);
  const std::vector<std::string> expected = {"Time_Start", "Diameter Min", "Velocity Max",
                                             "Hyd-Type"};
  EXPECT_EQ(bad, expected);
  EXPECT_EQ(s.velMax, 30.0f);
  EXPECT_EQ(s.diamMin, 0.0f);
  EXPECT_EQ(s.startTime.Seconds(), 0);
  EXPECT_EQ(s.dropType, 0) << "65536 does not pass as class 0";
  EXPECT_EQ(s.oblMax, 1.5f) << "a good value is kept";
  EXPECT_EQ(s.windowTitle, "Fernwald, Ostland");
}
