// `pluvicam-cli rainrate` end to end on a synthetic day with its gauge: the output contract, the
// totals against the generator's truth, and the rows against the run computed in process.
#include "CliRunner.h"
#include "TestFiles.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/RainRateRun.h"
#include "statistics/TipFile.h"
#include "synth/DayGenerator.h"
#include "synth/HydWriter.h"
#include "synth/TipGauge.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

struct Row {
  std::string source;
  double startSec, endSec;
  std::string startTime, endTime;
  double rate;
};

struct Output {
  int status = -1;
  std::string header;
  std::vector<Row> rows;
  std::string err;
  std::string lastErrLine;
};

Output RainRate(const std::string &arguments) {
  Output o;
  const std::string errPath =
      (std::filesystem::temp_directory_path() / ("pluvicam-rr-err-" + std::to_string(getpid())))
          .string();
  const CliRun run = RunCli("rainrate " + arguments, errPath);
  o.status = run.status;
  o.err = run.err;
  std::filesystem::remove(errPath);
  std::istringstream errLines(o.err);
  for (std::string line; std::getline(errLines, line);)
    o.lastErrLine = line;

  std::istringstream in(run.out);
  std::getline(in, o.header);
  for (std::string line; std::getline(in, line);) {
    Row r;
    std::istringstream cells(line);
    std::string cell;
    std::getline(cells, r.source, ',');
    std::getline(cells, cell, ',');
    r.startSec = std::stod(cell);
    std::getline(cells, cell, ',');
    r.endSec = std::stod(cell);
    std::getline(cells, r.startTime, ',');
    std::getline(cells, r.endTime, ',');
    std::getline(cells, cell, ',');
    r.rate = std::stod(cell);
    o.rows.push_back(r);
  }
  return o;
}

// "rain: X mm  gauge: Y mm" (or "gauge: none").
bool Totals(const std::string &line, double &rain, double &gauge) {
  char word[16] = {};
  if (std::sscanf(line.c_str(), "rain: %lf mm  gauge: %lf mm", &rain, &gauge) == 2)
    return true;
  gauge = -1;
  return std::sscanf(line.c_str(), "rain: %lf mm  gauge: %15s", &rain, word) == 2 &&
         std::string(word) == "none";
}

} // namespace

class RainRateCliTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir = std::filesystem::temp_directory_path() / ("pluvicam-rr-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = "day";
    o.seed = 11;
    o.hours = 2;
    day = new synth::DayResult(synth::GenerateDay(o));
  }
  static void TearDownTestSuite() {
    delete day;
    std::filesystem::remove_all(dir);
  }
  static std::string Day() { return (dir / "day.hyd").string(); }

  static std::filesystem::path dir;
  static synth::DayResult *day;
};

std::filesystem::path RainRateCliTest::dir;
synth::DayResult *RainRateCliTest::day = nullptr;

TEST_F(RainRateCliTest, RowsParticlesFirstThenTheGaugeWithBothTotals) {
  const Output o = RainRate(Day());
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.header, "source,startSec,endSec,startTime,endTime,rainRate");
  ASSERT_FALSE(o.rows.empty());
  bool gaugeSeen = false;
  size_t particles = 0;
  for (const Row &r : o.rows) {
    gaugeSeen |= r.source == "gauge";
    ASSERT_EQ(r.source, gaugeSeen ? "gauge" : "particles");
    particles += r.source == "particles";
    ASSERT_LE(r.startSec, r.endSec);
    ASSERT_GT(r.rate, 0); // by rain there are no zero rows
    if (r.source == "gauge") {
      // Steps at the tips' whole seconds.
      EXPECT_EQ(r.startSec, std::trunc(r.startSec));
      EXPECT_EQ(r.endSec, std::trunc(r.endSec));
    } else {
      // Each row stands for the default 0.05 mm; the ends are printed to 9 digits.
      const double dt = r.endSec - r.startSec;
      EXPECT_NEAR(r.rate * dt / 3600, 0.05, 0.05 * 1.1e-4 / dt);
    }
  }
  EXPECT_TRUE(gaugeSeen);
  // Times truncate every part.
  const Row &first = o.rows.front();
  char expect[32];
  const long s = long(first.startSec);
  std::snprintf(expect, sizeof expect, "%02ld:%02ld:%02ld.%02ld", s / 3600, s / 60 % 60, s % 60,
                long(first.startSec * 100) % 100);
  EXPECT_EQ(first.startTime, expect);

  double rain = 0, gauge = 0;
  ASSERT_TRUE(Totals(o.lastErrLine, rain, gauge)) << o.lastErrLine;
  // Each segment took at least its 0.05 mm.
  EXPECT_GE(rain, particles * 0.05);
  // The gauge caught the rain times its catch factor, in whole tips; the tool's tip size is the
  // desktop's first-start value, which is the generator's bucket.
  const double tipMm = synth::TipGauge::TIP_MM;
  const double catchFactor = day->truth.catchFactor;
  EXPECT_LE(std::abs(gauge - rain), rain * std::abs(1 - catchFactor) + tipMm + 1e-3)
      << "catch factor " << catchFactor << ", rain " << rain << ", gauge " << gauge;
  EXPECT_NEAR(gauge, tipMm * double(day->truth.tips), 1e-4);
}

TEST_F(RainRateCliTest, ByTimeTheRatesIntegrateBackToTheTotal) {
  const Output o = RainRate(Day() + " --mode time --interval 60 --no-gauge");
  ASSERT_EQ(o.status, 0) << o.err;
  double integral = 0, previousEnd = -1;
  for (const Row &r : o.rows) {
    ASSERT_EQ(r.source, "particles");
    integral += r.rate * (r.endSec - r.startSec) / 3600;
    if (r.rate > 0) {
      EXPECT_NEAR(r.endSec - r.startSec, 60, 1e-6);
    }
    // Back to back; a gap row ends one second into the interval after it.
    if (previousEnd >= 0) {
      EXPECT_NEAR(r.startSec, previousEnd, 1.0 + 1e-6);
    }
    previousEnd = r.endSec;
  }
  double rain = 0, gauge = 0;
  ASSERT_TRUE(Totals(o.lastErrLine, rain, gauge)) << o.lastErrLine;
  EXPECT_EQ(gauge, -1);

  // The same run in process tells what rain lies in the last interval, which is not drawn.
  CPluvicamDoc doc;
  FilterRecord filter = FilterRecord::DocumentDefaults();
  filter.endTime.hour = 24;
  doc.SetFilterSettings(filter);
  ASSERT_EQ(doc.OpenHydFile(Day()), 1);
  RainRateRun run(IntegrationMode::Time, 0.05f, 60.0f);
  int status = 0;
  while (CHydData *p = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status)) {
    if (status != CPluvicamDoc::statusAccepted)
      continue;
    const HydRecord &h = *p->GetHydHeader();
    run.Add(h.tim, h.mainHeader->lineFrequency, RainRateRun::RainOf(h.volume, h.area));
  }
  ASSERT_EQ(run.Segments().size(), o.rows.size());
  EXPECT_NEAR(run.Total(), rain, 1e-4);
  // The total is summed in single precision, as the record table shows it.
  EXPECT_NEAR(integral + run.OpenRain(), rain, 1e-4 * rain);
  EXPECT_GT(rain, 0.5);
}

TEST_F(RainRateCliTest, WindowGaugeAndBadInput) {
  // A window of an hour: rows inside it, the gauge on its axis.
  const Output hour = RainRate(Day() + " --from 06:30 --to 07:30 --tip-size 0.4");
  ASSERT_EQ(hour.status, 0) << hour.err;
  // The axis runs from 06:00 to 08:00; the particles start with the window.
  for (const Row &r : hour.rows) {
    EXPECT_GE(r.startSec, r.source == "gauge" ? 6 * 3600 : 6.5 * 3600) << r.source;
    EXPECT_LE(r.endSec, 8 * 3600) << r.source;
  }
  double rain = 0, gauge = 0;
  ASSERT_TRUE(Totals(hour.lastErrLine, rain, gauge)) << hour.lastErrLine;
  // The gauge's total counts the tips of the window, as the particles' does, not those of the
  // whole axis.
  TipFileResult tips;
  ASSERT_TRUE(ReadTipFile((dir / "day.tip").string(), tips, nullptr));
  int inWindow = 0, onAxis = 0;
  for (float t : tips.tips) {
    inWindow += t >= 6.5 * 3600 && t < 7.5 * 3600 + 1;
    onAxis += t >= 6 * 3600 && t < 8 * 3600 + 1;
  }
  ASSERT_LT(inWindow, onAxis) << "the day rains outside the window too";
  EXPECT_NEAR(gauge, 0.4 * inWindow, 1e-4);
  // Twice the tip size, twice the gauge's rates.
  const Output small = RainRate(Day() + " --from 06:30 --to 07:30");
  double rain1 = 0, gauge1 = 0;
  ASSERT_TRUE(Totals(small.lastErrLine, rain1, gauge1));
  EXPECT_NEAR(gauge, 2 * gauge1, 1e-4);
  EXPECT_EQ(rain, rain1);

  // Without a tip file: a message, the particle rows all the same.
  std::filesystem::copy_file(dir / "day.hyd", dir / "lone.hyd");
  std::filesystem::copy_file(dir / "day.hd", dir / "lone.hd");
  const Output lone = RainRate((dir / "lone.hyd").string());
  EXPECT_EQ(lone.status, 0);
  EXPECT_NE(lone.err.find("no tip-file available"), std::string::npos) << lone.err;
  EXPECT_FALSE(lone.rows.empty());
  EXPECT_TRUE(Totals(lone.lastErrLine, rain, gauge));
  EXPECT_EQ(gauge, -1);
  // A bad tip file says so.
  {
    std::ofstream tip(dir / "lone.tip");
    tip << "GAUGE 3.0\n";
  }
  EXPECT_NE(RainRate((dir / "lone.hyd").string()).err.find("TIP-file error: unknown version 3.0 !"),
            std::string::npos);

  const Output badInterval = RainRate(Day() + " --mode time --interval 10");
  EXPECT_EQ(badInterval.status, 2);
  EXPECT_NE(badInterval.err.find("15 and 43200 sec"), std::string::npos);
  EXPECT_EQ(RainRate(Day() + " --interval 6").status, 2);
  EXPECT_EQ(RainRate(Day() + " --mode objects").status, 2);
  EXPECT_EQ(RainRate((dir / "none.hyd").string()).status, 2);
}

TEST_F(RainRateCliTest, AFailedRecordIsPassedOverAsTheDropSizeDistributionDoes) {
  // Drops around a record whose computation fails: the run goes on to the window's end.
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(testdata::DAY + 6 * 3600));
  for (int i = 0; i < 40; ++i) {
    if (i == 20)
      testdata::AddFailingRecord(w, testdata::Tim(6 * 3600 + 100.5));
    testdata::AddImageDrop(w, testdata::Tim(6 * 3600 + 5 * i + 1), testdata::RoundDropImage(2.5),
                           250);
  }
  const std::string path = (dir / "bad.hyd").string();
  w.Write(path, (dir / "bad.hd").string());

  const Output rate = RainRate(path + " --no-gauge");
  EXPECT_EQ(rate.status, 0) << rate.err;
  EXPECT_NE(rate.err.find(": CRainData::SetHydHeader"), std::string::npos) << rate.err;
  double rain = 0, gauge = 0;
  ASSERT_TRUE(Totals(rate.lastErrLine, rain, gauge)) << rate.lastErrLine;

  const CliRun full = RunCli("dsd " + path + " --mode full", (dir / "dsd-err.txt").string());
  ASSERT_EQ(full.status, 0) << full.err;
  const auto rows = CsvRows(TextLines(full.out));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("count"), "40") << "every drop";
  EXPECT_NEAR(rain, std::stod(rows[0].at("collectedRain")), 1e-4)
      << "the same total as the full window's";
}

TEST_F(RainRateCliTest, TipLinesAndTheTipSizeAreChecked) {
  std::filesystem::copy_file(dir / "day.hyd", dir / "tips.hyd");
  std::filesystem::copy_file(dir / "day.hd", dir / "tips.hd");
  const std::string data = (dir / "tips.hyd").string();
  {
    std::ofstream tip(dir / "tips.tip");
    tip << "GAUGE 1.0\nT 06:10:00.00\nT 06:1x\nT 06:20:00.00\nT 06:30:00.00 and more\n";
  }
  const Output some = RainRate(data);
  EXPECT_EQ(some.status, 0);
  EXPECT_NE(some.err.find("tip-file: lines 3, 5 are not a tip line; skipped"), std::string::npos)
      << some.err;
  double rain = 0, gauge = 0;
  ASSERT_TRUE(Totals(some.lastErrLine, rain, gauge)) << some.lastErrLine;
  EXPECT_NEAR(gauge, 0.4, 1e-6) << "the two good tips only";

  // A head like a tip file's and random bytes behind it: refused, the particles all the same.
  {
    std::ofstream tip(dir / "tips.tip", std::ios::binary);
    tip << "GAUGE 1.0\n";
    for (int i = 0; i < 4000; ++i)
      tip << char((i * 7919 + 13) % 256);
  }
  const Output noise = RainRate(data);
  EXPECT_NE(noise.err.find("TIP-file error: more than 10 lines are not tip lines"),
            std::string::npos)
      << noise.err;
  EXPECT_FALSE(noise.rows.empty());
  ASSERT_TRUE(Totals(noise.lastErrLine, rain, gauge));
  EXPECT_EQ(gauge, -1);

  for (const char *size : {"nan", "inf", "1e39", "0", "-1", "10.5", "0.2mm"}) {
    const Output bad = RainRate(Day() + " --tip-size " + size);
    EXPECT_EQ(bad.status, 2) << size;
    EXPECT_NE(bad.err.find("at most 10"), std::string::npos) << size << ": " << bad.err;
  }
  EXPECT_EQ(RainRate(Day() + " --tip-size 10").status, 0);
}
