// The command-line contracts of the oblateness diagram: the distribution and the calibration file.
#include "CliRunner.h"
#include "TestFiles.h"
#include "particle/CHydData.h"
#include "statistics/CalibrationExport.h"
#include "statistics/CalibrationSelection.h"
#include "statistics/OblatenessHistogram.h"
#include "synth/DayGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string &text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);)
    parts.push_back(part);
  return parts;
}

} // namespace

class DiagramCliTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    synth::DayOptions o = testdata::DayIn(dir, "day", 15, 0.25);
    o.particles = 3000;
    file = synth::GenerateDay(o).dataPath;
  }

  CliRun Cli(const std::string &arguments) { return RunCli(arguments, Path("err.txt")); }

  // Diameter, oblateness and velocity of every particle the document accepts with `options`.
  std::vector<HydRecord> Particles(const std::string &options) {
    CliRun run = Cli("particles " + file + " " + options);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<HydRecord> records;
    const auto lines = Split(run.out, '\n');
    const auto header = Split(lines.at(0), ',');
    auto column = [&](const char *name) {
      return size_t(std::find(header.begin(), header.end(), name) - header.begin());
    };
    const size_t d = column("diameter"), o = column("oblateness"), v = column("velocity");
    for (size_t i = 1; i < lines.size(); ++i) {
      const auto cells = Split(lines[i], ',');
      HydRecord r;
      r.diameter = std::strtof(cells.at(d).c_str(), nullptr);
      r.oblateness = std::strtof(cells.at(o).c_str(), nullptr);
      r.velocity = std::strtof(cells.at(v).c_str(), nullptr);
      records.push_back(r);
    }
    return records;
  }

  std::string file;
};

TEST_F(DiagramCliTest, ShapeCountsTheWindowAsTheDistributionDoes) {
  const auto records = Particles("--from 06:05 --to 06:12");
  ASSERT_GT(records.size(), 100u);
  OblatenessHistogram expected;
  for (const HydRecord &r : records)
    expected.Add(r.oblateness);

  CliRun run = Cli("shape " + file + " --from 06:05 --to 06:12");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 201u);
  EXPECT_EQ(lines[0], "bin,lower,upper,count");
  EXPECT_EQ(lines[1].rfind("0,0.00,0.01,", 0), 0u) << lines[1];
  EXPECT_EQ(lines[96].rfind("95,0.95,0.96,", 0), 0u) << lines[96];
  EXPECT_EQ(lines[200].rfind("199,1.99,2.00,", 0), 0u) << lines[200];
  for (int b = 0; b < OblatenessHistogram::BINS; ++b)
    EXPECT_EQ(std::stoll(Split(lines[size_t(b) + 1], ',').at(3)), expected.Count(b)) << b;
  const auto t = OblatenessHistogram::StatisticsTexts(expected.Summarise());
  EXPECT_EQ(run.err, t.maximum + "\n" + t.maxAt + "\n" + t.center + "\n");
  EXPECT_EQ(run.err.find("max at    = "), run.err.find('\n') + 1);

  run = Cli("shape " + file + " --from 06:05 --to 06:12 --oblateness 5:6");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "") << "nothing counted, nothing to say";
  EXPECT_EQ(Cli("shape " + Path("none.hyd")).status, 2);
}

TEST_F(DiagramCliTest, CalibrateGivesTheNumbersOfTheSelection) {
  const auto records = Particles("--from 06:00");
  CalibrationSelection selection;
  // As dragged at scale 2: 1 mm from 0.8 to 1.2 mm, 0.9 to 1.1 H/W; 2 mm from 1.7 to 2.3.
  selection.Set(1, {400, 1100}, {600, 900});
  selection.Set(3, {850, 1200}, {1150, 700});
  selection.Set(9, {4000, 1200}, {4500, 700});
  CalibrationExport expected(selection.Entries(), 2);
  for (const HydRecord &r : records)
    expected.Add(r);
  ASSERT_GT(expected.RangeOf(1).count, 0);
  ASSERT_GT(expected.RangeOf(3).count, 0);
  EXPECT_EQ(expected.RangeOf(9).count, 0);

  const std::string boxes =
      " --scale 2 --box 1:0.8:1.2:0.9:1.1 --box 2:9:9.5:0.1:0.2 --box 2:1.7:2.3:0.7:1.2"
      " --box 8:8:9:0.7:1.2";
  CliRun run = Cli("calibrate " + file + boxes);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected.Text());
  EXPECT_NE(run.out.find("\n     8.0    50.0     0.0     2.0     0.0    30.0     0.0       0\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find('\r'), std::string::npos);

  run = Cli("calibrate " + file + boxes + " --out " + Path("CORR_IN.DAT"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadWholeFile(Path("CORR_IN.DAT")), expected.Text());

  // The filter applies: no particle above 5 mm/s fall velocity is counted.
  run = Cli("calibrate " + file + boxes + " --velocity 0:5");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out, expected.Text());
}

TEST_F(DiagramCliTest, CalibrateRefusals) {
  CliRun run = Cli("calibrate " + file);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "No Calibration-Data selected\n");
  run = Cli("calibrate " + file + " --box 2.5:1:2:0.5:1");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("2.5 mm is not a standardised diameter"), std::string::npos) << run.err;
  run = Cli("calibrate " + file + " --box 2:1:2:0.5");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("DIAM:DMIN:DMAX:OMIN:OMAX"), std::string::npos) << run.err;
  EXPECT_EQ(Cli("calibrate " + file + " --box 2:1:2:0.5:1 --scale 3").status, 2);

  run = Cli("calibrate " + file + " --box 2:1:2:0.5:1 --out " + Path("no/such/CORR_IN.DAT"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Create CORR_IN.DAT failed: " + Path("no/such/CORR_IN.DAT") +
                         ": No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(Path("no")));
}

TEST_F(DiagramCliTest, ARecordWhoseComputationFailsIsPassedOver) {
  // A 2.5 mm drop, a record whose widths are 0, another 2.5 mm drop.
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(testdata::DAY + 6 * 3600));
  auto addDrop = [&w](double seconds) {
    testdata::AddImageDrop(w, testdata::Tim(seconds), testdata::RoundDropImage(2.5), 250);
  };
  addDrop(6 * 3600 + 1);
  testdata::AddFailingRecord(w, testdata::Tim(6 * 3600 + 2));
  addDrop(6 * 3600 + 3);
  w.Write(Path("bad.hyd"), Path("bad.hd"));

  CliRun run = Cli("shape " + Path("bad.hyd"));
  EXPECT_EQ(run.status, 0) << run.err;
  long long total = 0;
  for (const std::string &line : Split(run.out, '\n'))
    if (line.find("bin") != 0)
      total += std::stoll(Split(line, ',').at(3));
  EXPECT_EQ(total, 2) << "both drops, the failed record between them left out";
}
