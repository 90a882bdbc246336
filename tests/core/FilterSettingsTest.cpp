#include "document/FilterSettings.h"
#include "particle/CHydData.h"
#include "synth/HydWriter.h"

#include <gtest/gtest.h>

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

TEST_F(FilterTest, DefaultsOfRecordAndDocument) {
  const FilterSettings stored;
  EXPECT_EQ(stored.maxPixA, 511);
  EXPECT_EQ(stored.maxPixB, 511);
  EXPECT_EQ(stored.windowTitle, "Fernwald, Ostland");
  EXPECT_FLOAT_EQ(stored.tipSize, 0.1f);
  const FilterRecord doc = FilterRecord::DocumentDefaults();
  EXPECT_EQ(doc.maxPixA, 1023);
  EXPECT_EQ(doc.maxPixB, 1023);
  EXPECT_EQ(doc.diamMax, 50.0f);
  EXPECT_EQ(doc.velMax, 30.0f);
  EXPECT_EQ(doc.oblMax, 2.0f);
  EXPECT_EQ(doc.endTime.Seconds(), 0) << "an empty window until the stored settings arrive";
}

TEST_F(FilterTest, AssignAndCopyMoveOnlyTheFixedPart) {
  FilterSettings app;
  app.windowTitle = "Elsewhere";
  app.tipSize = 0.2f;
  FilterRecord in;
  in.diamMin = 1.5f;
  in.dropType = 3;
  in.endTime = At(12, 0, 0);
  app.Assign(in);
  FilterRecord out;
  app.CopyTo(out);
  EXPECT_EQ(out.diamMin, 1.5f);
  EXPECT_EQ(out.dropType, 3);
  EXPECT_EQ(out.endTime.hour, 12);
  EXPECT_EQ(app.windowTitle, "Elsewhere");
  EXPECT_EQ(app.tipSize, 0.2f);
}

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
  filter.startTime.millisecond = 900; // milliseconds play no part
  record.tim = start;
  EXPECT_EQ(filter.TimeTest(&record), 1);

  EXPECT_EQ(filter.TimeTest(nullptr), -1);
  record.mainHeader = nullptr;
  EXPECT_EQ(filter.TimeTest(&record), -1);
  EXPECT_EQ(filter.RecordTest(&record), -1);
}

TEST_F(FilterTest, RecordTestChecks) {
  EXPECT_EQ(filter.RecordTest(&record), 1);

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
  filter.velMin = 6.5f;
  EXPECT_EQ(filter.RecordTest(&record), 0);
  filter.velMin = 0;
  filter.oblMax = 0.8f;
  EXPECT_EQ(filter.RecordTest(&record), 0);
  filter.oblMax = 2;

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
