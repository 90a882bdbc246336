// The enlarged rain rate diagram's arithmetic: the run's segments by rain and by time, the axes,
// the tip file and the gauge's curve.
#include "statistics/RainRateAxis.h"
#include "statistics/RainRateRun.h"
#include "statistics/TipCurve.h"
#include "statistics/TipFile.h"
#include "statistics/TipFileReader.h"

#include "document/IntegrationSettings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr double LF = 1000; // camera lines per second

TimeOfDay At(int hour, int minute, int second = 0) {
  TimeOfDay t;
  t.hour = int16_t(hour);
  t.minute = int16_t(minute);
  t.second = int16_t(second);
  return t;
}

TipFileResult Parse(const std::string &text, int expectStatus = 1, std::string *message = nullptr) {
  TipFileResult result;
  std::string m;
  EXPECT_EQ(ParseTipText(text, result, &m), expectStatus) << m;
  if (message)
    *message = m;
  return result;
}

} // namespace

TEST(RainRateRun, ByRainASegmentEachTimeTheAmountIsReached) {
  RainRateRun run(IntegrationMode::Rain, 0.05f, 15.0f);
  // 0.02 mm every second: the amount is reached by every third particle of an interval, and the
  // next interval starts at the particle that completed the one before.
  for (int i = 0; i < 7; ++i)
    run.Add((100 + i) * LF, LF, 0.02f);
  ASSERT_EQ(run.Segments().size(), 2u);
  const RateSegment &a = run.Segments()[0];
  EXPECT_DOUBLE_EQ(a.startSec, 100);
  EXPECT_DOUBLE_EQ(a.endSec, 102);
  EXPECT_DOUBLE_EQ(a.rate, double(0.05f) * 3600 / 2);
  EXPECT_EQ(a.y, 900);
  EXPECT_DOUBLE_EQ(run.Segments()[1].startSec, 102);
  EXPECT_DOUBLE_EQ(run.Segments()[1].endSec, 105);
  EXPECT_NEAR(run.Total(), 0.14, 1e-6);
  EXPECT_DOUBLE_EQ(run.FirstTim(), 100 * LF);
  EXPECT_DOUBLE_EQ(run.LastTim(), 106 * LF);

  // Everything at one instant has no duration: the sum keeps growing until time passes.
  RainRateRun still(IntegrationMode::Rain, 0.05f, 15.0f);
  for (int i = 0; i < 5; ++i)
    still.Add(10 * LF, LF, 0.02f);
  EXPECT_TRUE(still.Segments().empty());
  still.Add(12 * LF, LF, 0.0f);
  ASSERT_EQ(still.Segments().size(), 1u);
  EXPECT_DOUBLE_EQ(still.Segments()[0].rate, double(0.05f) * 3600 / 2);
}

TEST(RainRateRun, ByTimeGapsAreZeroUntilOneSecondIntoTheNextInterval) {
  RainRateRun run(IntegrationMode::Time, 0.05f, 60.0f);
  for (double s : {0.0, 10.0, 30.0})
    run.Add((3600 + s) * LF, LF, 0.1f);
  // Three minutes without rain, then a particle 250 s after the first.
  run.Add((3600 + 250) * LF, LF, 0.1f);
  ASSERT_EQ(run.Segments().size(), 2u);
  const RateSegment &full = run.Segments()[0];
  EXPECT_DOUBLE_EQ(full.startSec, 3600);
  EXPECT_DOUBLE_EQ(full.endSec, 3660);
  EXPECT_NEAR(full.rate, 60 * 0.3, 1e-4);
  EXPECT_EQ(full.y, 180);
  const RateSegment &gap = run.Segments()[1];
  EXPECT_DOUBLE_EQ(gap.startSec, 3660);
  EXPECT_DOUBLE_EQ(gap.endSec, 3600 + 240 + 1.0);
  EXPECT_EQ(gap.rate, 0);
  EXPECT_EQ(gap.y, 0);
  // The particle that closed the interval opened the next one, which is never drawn.
  EXPECT_NEAR(run.OpenRain(), 0.1, 1e-7);
  EXPECT_NEAR(run.Total(), 0.4, 1e-6);
  run.Add((3600 + 299) * LF, LF, 0.1f);
  EXPECT_EQ(run.Segments().size(), 2u);
  run.Add((3600 + 300) * LF, LF, 0.0f);
  ASSERT_EQ(run.Segments().size(), 3u);
  EXPECT_DOUBLE_EQ(run.Segments()[2].startSec, 3840);
  EXPECT_NEAR(run.Segments()[2].rate, 60 * 0.2, 1e-4);
}

TEST(RainRateRun, OtherModesAndBadParticlesDrawNothing) {
  for (IntegrationMode mode : {IntegrationMode::FullTimeRange, IntegrationMode::Objects}) {
    RainRateRun run(mode, 0.05f, 60.0f);
    for (int i = 0; i < 100; ++i)
      run.Add(i * LF * 100, LF, 1.0f);
    EXPECT_TRUE(run.Segments().empty());
    EXPECT_EQ(run.Total(), 0.0f);
    EXPECT_TRUE(run.Started());
  }
  RainRateRun run(IntegrationMode::Rain, 0.05f, 15.0f);
  run.Add(1 * LF, 0, 1.0f); // no line frequency
  EXPECT_FALSE(run.Started());
  EXPECT_EQ(RainRateRun::RainOf(5, 0), 0.0f);
  EXPECT_EQ(RainRateRun::RainOf(std::numeric_limits<float>::infinity(), 1), 0.0f);
  EXPECT_FLOAT_EQ(RainRateRun::RainOf(1.5f, 3.0f), 0.5f);
}

TEST(RainRateAxis, LayoutsFromTheTimeWindow) {
  RainRateAxis axis;
  axis.Layout(At(10, 20), At(12, 0));
  EXPECT_EQ(axis.AxisStart(), 36000);
  EXPECT_EQ(axis.AxisEnd(), 43200);
  EXPECT_EQ(axis.SecondsPerUnit(), 1);
  EXPECT_EQ(axis.X(), 7200);
  EXPECT_EQ(axis.TimeSteps().minor, 60);
  EXPECT_EQ(axis.TimeSteps().major, 600);
  EXPECT_EQ(axis.XOf(36000 + 59.9), 59);

  axis.Layout(At(0, 0), At(23, 59, 59));
  EXPECT_EQ(axis.AxisStart(), 0);
  EXPECT_EQ(axis.AxisEnd(), 86400);
  EXPECT_EQ(axis.SecondsPerUnit(), 5);
  EXPECT_EQ(axis.X(), 17280);
  EXPECT_EQ(axis.TimeSteps().minor, 3600);
  EXPECT_EQ(axis.TimeSteps().major, 14400);
  EXPECT_EQ(axis.XOf(86399), 17279);

  // Six hours still go by the second, seven by five seconds.
  axis.Layout(At(6, 0), At(11, 30));
  EXPECT_EQ(axis.SecondsPerUnit(), 1);
  EXPECT_EQ(axis.TimeSteps().major, 3600);
  axis.Layout(At(6, 0), At(12, 1));
  EXPECT_EQ(axis.SecondsPerUnit(), 5);
  EXPECT_EQ(axis.TimeSteps().minor, 900);
  // A window that does not end after it starts still has an hour to draw on.
  axis.Layout(At(0, 0), At(0, 0));
  EXPECT_EQ(axis.Range(), 3600);
  // Far outside any plot, coordinates stay drawable.
  EXPECT_EQ(axis.XOf(1e300), 10000000);
  EXPECT_EQ(RainRateAxis::YOf(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(RainRateAxis, ScaleStaysInsideTheTable) {
  RainRateAxis axis;
  EXPECT_EQ(axis.RateMax(), 50);
  EXPECT_EQ(axis.Y(), 500);
  std::vector<int> seen;
  for (int i = 0; i < 12; ++i) {
    axis.ScaleUp();
    seen.push_back(axis.RateMax());
  }
  EXPECT_EQ(seen,
            (std::vector<int>{100, 150, 200, 500, 1000, 1500, 2000, 2000, 2000, 2000, 2000, 2000}));
  for (int i = 0; i < 12; ++i)
    axis.ScaleDown();
  EXPECT_EQ(axis.RateMax(), 5);
  EXPECT_EQ(axis.RateSteps().minor, 1);
  EXPECT_EQ(axis.RateSteps().major, 10);
  axis.ScaleUp();
  EXPECT_EQ(axis.RateMax(), 10);
  EXPECT_EQ(axis.RateSteps().minor, 5);
}

TEST(TipFile, Version10TipsAndNegativeHours) {
  const TipFileResult r = Parse("GAUGE 1.0\n"
                                "T 10:00:00.50\n"
                                "M 10:00:36.50\n" // an M line of 1.0 is a tip
                                "T -1:00:00.00\n" // the next day
                                "T 01:00:00.00\n");
  EXPECT_EQ(r.version, 0);
  ASSERT_EQ(r.tips.size(), 4u);
  EXPECT_FLOAT_EQ(r.tips[0], 36000.5f);
  EXPECT_FLOAT_EQ(r.tips[1], 36036.5f);
  EXPECT_FLOAT_EQ(r.tips[2], 86400 - 3600);
  EXPECT_FLOAT_EQ(r.tips[3], 86400 + 3600);
}

TEST(TipFile, Version11HeadAndMLines) {
  // The second line is an M line: it and the third line are the head.
  TipFileResult r = Parse("PLUVIO 1.1\n"
                          "M 06:00:00.00 - 01/06/2026\n"
                          "T 06:00:10.00\n"
                          "T 06:00:20.00\n"
                          "M 07:00:00.00 - 01/06/2026\n" // not midnight: a tip
                          "M 00:00:00.00 - 02/06/2026\n"
                          "T 00:00:05.00\n");
  EXPECT_EQ(r.version, 1);
  ASSERT_EQ(r.tips.size(), 3u);
  EXPECT_FLOAT_EQ(r.tips[0], 6 * 3600 + 20);
  EXPECT_FLOAT_EQ(r.tips[1], 7 * 3600);
  EXPECT_FLOAT_EQ(r.tips[2], 86400 + 5);

  // Without an M line only the second line is the head.
  r = Parse("X 1.1\nT 06:00:10.00\nT 06:00:20.00\n");
  ASSERT_EQ(r.tips.size(), 1u);
  EXPECT_FLOAT_EQ(r.tips[0], 6 * 3600 + 20);
  // Hundredths count as written: ".5" is five hundredths.
  r = Parse("X 1.1\nM 0:0:0.0\nM 0:0:0.0\nT 00:00:01.5\n");
  ASSERT_EQ(r.tips.size(), 1u);
  EXPECT_FLOAT_EQ(r.tips[0], 1.05f);
}

TEST(TipFile, BadFilesGiveMessagesAndNeverInventTips) {
  std::string message;
  Parse("", 0, &message);
  EXPECT_EQ(message, "TIP-file error: the file is empty !");
  Parse("PLUVIO 2.0\nT 10:00:00.00\n", 0, &message);
  EXPECT_EQ(message, "TIP-file error: unknown version 2.0 !");
  Parse("PLUVIO\n", 0, &message);
  EXPECT_EQ(message, "TIP-file error: unknown version  !");
  EXPECT_TRUE(Parse("PLUVIO 1.0\n").tips.empty());
  EXPECT_TRUE(Parse("PLUVIO 1.1\n").tips.empty());

  // Blank lines carry nothing; text is no tip, however the lines before looked.
  TipFileResult r = Parse("G 1.0\nT 10:00:00.00\n\nT garbage\n\n");
  EXPECT_EQ(r.tips.size(), 1u);
  EXPECT_EQ(r.skippedLines, 2);
  EXPECT_EQ(r.badLines, (std::vector<long>{4}));
  // A partly readable time is no tip: the previous line's fields are not taken again.
  r = Parse("G 1.0\nT 10:20:30.40\nT 11:xx\n");
  EXPECT_EQ(r.tips.size(), 1u);
  EXPECT_EQ(r.badLines, (std::vector<long>{3}));
  // A line is its whole length, however long.
  r = Parse("G 1.0\nT 10:00:00.00" + std::string(60, ' ') + "comment\nT 10:00:36.00\n");
  EXPECT_EQ(r.tips.size(), 1u);
  r = Parse("G 1.0\nT 10:00:00.00" + std::string(36, ' ') + "T 10:00:05.00\n");
  EXPECT_TRUE(r.tips.empty());
  // Huge numbers are no fields.
  r = Parse("G 1.1\nM 0:0:0.0\nM 0:0:0.0\nT 99999999999999999999999:1:1.1\nT 65537:0:0.0\n");
  EXPECT_TRUE(r.tips.empty());
  EXPECT_EQ(r.badLines, (std::vector<long>{4, 5}));
}

TEST(TipFile, EveryFieldInRangeAndNothingBehind) {
  TipFileResult r = Parse("G 1.1\n"
                          "T 06:00:00.00\n"   // the head
                          "T 24:00:00.00\n"   // 3: hour
                          "T 10:60:00.00\n"   // 4: minute
                          "T 10:00:60.00\n"   // 5: second
                          "T 10:00:00.100\n"  // 6: hundredths
                          "T 10:00:00\n"      // 7: no hundredths
                          "T -1:00:00.00\n"   // 8: negative hours are version 1.0's
                          "T 10:00:01.00 x\n" // 9: text behind
                          "T 10:00:02.00\r\n"
                          "M 10:00:03.00 - 01/06/2026\n"
                          "T\n"); // 12: no time
  EXPECT_EQ(r.badLines, (std::vector<long>{3, 4, 5, 6, 7, 8, 9, 12}));
  EXPECT_EQ(r.tips, (std::vector<float>{36002, 36003}));

  // The date of an M line is checked too, though it is not used.
  r = Parse("G 1.1\nT 06:00:00.00\n"
            "M 12:00:00.00 - 32/06/2026\n"
            "M 12:00:00.00 - 01/13/2026\n"
            "M 12:00:00.00 - 01/06\n"
            "M 00:00:00.00 - 02/06/2026\n"
            "T 00:00:01.00\n");
  EXPECT_EQ(r.badLines, (std::vector<long>{3, 4, 5}));
  EXPECT_EQ(r.tips, (std::vector<float>{86401}));
}

TEST(TipFile, BadLinesAreCountedAndTooManyRefuseTheFile) {
  std::string text = "G 1.0\nT 10:00:00.00\n";
  for (int i = 0; i < 10; ++i)
    text += "T 10:00:0" + std::to_string(i) + ".0x\n";
  text += "T 10:01:00.00\n";
  TipFileResult r = Parse(text);
  EXPECT_EQ(r.tips.size(), 2u);
  ASSERT_EQ(r.badLines.size(), MAX_BAD_TIP_LINES);
  EXPECT_EQ(r.badLines.front(), 3);
  EXPECT_EQ(r.badLines.back(), 12);
  EXPECT_EQ(BadTipLinesNote(r).rfind("tip-file: lines 3, 4, 5, ", 0), 0u) << BadTipLinesNote(r);
  EXPECT_EQ(BadTipLinesNote(Parse("G 1.0\nT 1\n")), "tip-file: line 2 is not a tip line; skipped");
  EXPECT_EQ(BadTipLinesNote(Parse("G 1.0\nT 10:00:00.00\n")), "");

  // One more, and it is no tip file: a head like one and random bytes after it.
  std::string message;
  r = Parse(text + "\x8f\x01garbage\n", 0, &message);
  EXPECT_EQ(message, "TIP-file error: more than 10 lines are not tip lines (lines 3, 4, 5, 6, 7, "
                     "8, 9, 10, 11, 12, 14) !");
  std::string noise = "GAUGE 1.0\n";
  for (int i = 0; i < 200; ++i)
    noise += char((i * 37 + 11) % 251 + 1) + std::string(i % 7 == 0 ? "\n" : "");
  Parse(noise, 0, &message);
  EXPECT_EQ(message.rfind("TIP-file error: more than 10 lines", 0), 0u) << message;
}

TEST(TipFile, FilesOnDisk) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("pluvicam-tip-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "folder.tip");
  EXPECT_EQ(TipFilePath("/a/b/day.hyd"), "/a/b/day.tip");
  EXPECT_EQ(TipFilePath("/a.b/day"), "/a.tip");
  EXPECT_EQ(TipFilePath("day"), ".tip");

  TipFileResult r;
  std::string message;
  EXPECT_EQ(ReadTipFile((dir / "missing.tip").string(), r, &message), 0);
  EXPECT_EQ(message, "no tip-file available");
  EXPECT_EQ(ReadTipFile((dir / "folder.tip").string(), r, &message), 0);
  EXPECT_EQ(message, "Could not open tip-file because:" + (dir / "folder.tip").string() +
                         " is not a regular file");

  const auto path = (dir / "day.tip").string();
  {
    std::ofstream out(path);
    out << "PLUVIO 1.1\nM 06:00:00.00 - 01/06/2026\nM 06:00:00.00 - 01/06/2026\n";
    for (int i = 0; i < 2000; ++i)
      out << "T 06:" << 10 + i / 60 << ':' << i % 60 << ".00\n";
  }
  ASSERT_EQ(ReadTipFile(path, r, &message), 1) << message;
  EXPECT_EQ(r.tips.size(), 2000u);
  // Stopped after the first slice: the tips so far stay.
  int asked = 0;
  ASSERT_EQ(ReadTipFile(path, r, &message, [&] { return ++asked < 2; }), 1);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.tips.size(), 512u);
  std::filesystem::remove_all(dir);
}

TEST(TipCurve, RatesAndTheGaugeTotal) {
  RainRateAxis axis;
  axis.Layout(At(10, 0), At(11, 0));
  // Two tips 36 s apart at 0.1 mm: 10 mm/h.
  TipCurve c = ComputeTipCurve({36000.5f, 36036.5f}, axis, 0.1f);
  ASSERT_TRUE(c.found);
  ASSERT_EQ(c.segments.size(), 1u);
  EXPECT_EQ(c.segments[0].y, 100);
  EXPECT_NEAR(c.segments[0].rate, 10, 1e-5);
  EXPECT_EQ(c.segments[0].startSec, 36000);
  EXPECT_EQ(c.segments[0].endSec, 36036);
  EXPECT_FLOAT_EQ(c.gaugeTotal, 0.2f);

  // Five tips on the axis: 0.5 mm; tips before the axis, past its end or at the same instant.
  c = ComputeTipCurve({100, 35999.9f, 36010, 36020, 40000, 36030, 36030, 36100}, axis, 0.1f);
  EXPECT_EQ(c.tipCount, 5);
  EXPECT_FLOAT_EQ(c.gaugeTotal, 0.5f);
  EXPECT_EQ(c.segments.size(), 3u); // the repeated instant has no rate
  EXPECT_EQ(c.segments.back().startSec, 36030);

  // One tip alone gives no total; nothing on the axis leaves everything as it was.
  EXPECT_FLOAT_EQ(ComputeTipCurve({36010}, axis, 0.1f).gaugeTotal, -1.0f);
  EXPECT_FALSE(ComputeTipCurve({1, 2, 3}, axis, 0.1f).found);
  EXPECT_FALSE(ComputeTipCurve({39601, 39700}, axis, 0.1f).found);
  EXPECT_TRUE(ComputeTipCurve({39600, 39700}, axis, 0.1f).found);
}
