// `pluvicam-cli dsd`: its columns, its exit statuses and its numbers against a synthetic day.
#include "CliRunner.h"
#include "TestFiles.h"
#include "synth/DayGenerator.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace testdata;

namespace {

struct Output {
  int status = -1;
  std::vector<std::string> lines;
};

Output Dsd(const std::string &arguments) {
  Output o;
  // Standard error goes nowhere unless the arguments send it somewhere.
  const std::string command = std::string(PLUVICAM_CLI) + " dsd " + arguments +
                              (arguments.find(" 2>") == std::string::npos ? " 2>/dev/null" : "");
  o.lines = TextLines(CaptureOutput(command, o.status));
  return o;
}

std::vector<std::map<std::string, std::string>> Rows(const Output &o) { return CsvRows(o.lines); }

} // namespace

class DsdCliTest : public TempDirTest {
protected:
  void WriteTinyDay(const std::vector<double> &seconds) {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    for (double s : seconds)
      AddTinyDrop(w, Tim(s));
    w.Write(Path("d.hyd"), Path("d.hd"));
  }
};

TEST_F(DsdCliTest, ColumnsRowsAndExitStatuses) {
  WriteTinyDay({6 * 3600 + 10, 6 * 3600 + 20, 6 * 3600 + 70, 6 * 3600 + 80});
  Output o = Dsd(Path("d.hyd"));
  ASSERT_EQ(o.status, 0);
  ASSERT_EQ(o.lines.size(), 3u) << "two minutes, two Runs";
  const std::vector<std::string> header = CsvCells(o.lines[0]);
  ASSERT_EQ(header.size(), 14u + 40u) << "40 classes of 0.25 mm at scale 1";
  EXPECT_EQ(o.lines[0].substr(0, 161),
            "run,startTim,endTim,startTime,endTime,elapsed,collectedRain,count,rainInterval,"
            "timeInterval,dropCount,result,ndMax,complete,nd_0.00,nd_0.25,nd_0.50,nd_0.75,nd_1.");
  EXPECT_EQ(header.back(), "nd_9.75");
  auto rows = Rows(o);
  EXPECT_EQ(rows[0]["run"], "1");
  EXPECT_EQ(rows[0]["startTime"], "06:00:00.000");
  EXPECT_EQ(rows[0]["endTime"], "06:01:00.000");
  EXPECT_EQ(rows[0]["elapsed"], "60");
  EXPECT_EQ(rows[0]["count"], "2");
  EXPECT_EQ(rows[0]["complete"], "1");
  EXPECT_EQ(rows[1]["complete"], "0") << "the data end before 06:02";
  EXPECT_EQ(rows[1]["result"], "0");
  EXPECT_NE(rows[1]["ndMax"], "") << "normalised with its own 20 s";
  EXPECT_EQ(CsvCells(o.lines[1]).size(), header.size());

  o = Dsd(Path("d.hyd") + " --mode full --delta-d 0.05 --scale 2 --moments");
  ASSERT_EQ(o.status, 0);
  ASSERT_EQ(o.lines.size(), 2u) << "the full window is one Run";
  EXPECT_EQ(CsvCells(o.lines[0]).size(), 14u + 400u + 8u) << "400 classes at most";
  EXPECT_EQ(CsvCells(o.lines[0]).back(), "lambda");
  rows = Rows(o);
  EXPECT_EQ(rows[0]["count"], "4");
  EXPECT_EQ(rows[0]["elapsed"], "70");
  EXPECT_NE(rows[0]["Nt"], "");
  EXPECT_EQ(rows[0]["mu"], "") << "tiny drops fill one class: no gamma fit";

  o = Dsd(Path("d.hyd") + " --mode objects --interval 3 --from 06:00 --to 06:01:30");
  ASSERT_EQ(o.status, 0);
  rows = Rows(o);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["count"], "3");
  EXPECT_EQ(rows[1]["count"], "1") << "--to ends the window before the last particle";

  WriteTinyDay({6 * 3600 + 10});
  o = Dsd(Path("d.hyd") + " --mode full --moments");
  ASSERT_EQ(o.status, 0);
  rows = Rows(o);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["ndMax"], "") << "one particle has no duration";
  EXPECT_EQ(rows[0]["nd_0.25"], "");
  EXPECT_EQ(rows[0]["Nt"], "");

  EXPECT_EQ(Dsd(Path("d.hyd") + " --interval 14").status, 2) << "below 15 s";
  EXPECT_EQ(Dsd(Path("d.hyd") + " --mode rain --interval 5.01").status, 2);
  EXPECT_EQ(Dsd(Path("d.hyd") + " --mode objects --interval 2.5").status, 2);
  EXPECT_EQ(Dsd(Path("d.hyd") + " --mode full --interval 60").status, 2);
  EXPECT_EQ(Dsd(Path("d.hyd") + " --delta-d 0.3").status, 2);
  EXPECT_EQ(Dsd(Path("d.hyd") + " --scale 3").status, 2);
  EXPECT_EQ(Dsd(Path("missing.hyd")).status, 2);

  auto bytes = synth::ReadFile(Path("d.hyd"));
  bytes.resize(bytes.size() - 3);
  synth::WriteFile(Path("d.hyd"), bytes);
  EXPECT_EQ(Dsd(Path("d.hyd")).status, 1) << "a truncated file is a failure";
}

TEST_F(DsdCliTest, ARecordWhoseComputationFailsIsPassedOver) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, Tim(6 * 3600 + 1));
  PixHeader flat; // widths of 0: the particle computation fails
  flat.tim = Tim(6 * 3600 + 2);
  flat.lineCountA = 1;
  flat.absv = 200;
  flat.pixScaleA = flat.pixScaleB = flat.pixScaleH = 1800;
  const int32_t failing = w.AddPixRecord(flat, {0x00, 0x00}, 1);
  AddTinyDrop(w, Tim(6 * 3600 + 3));
  w.Write(Path("d.hyd"), Path("d.hd"));
  const std::string err = Path("err.txt");
  const Output o = Dsd(Path("d.hyd") + " --mode full 2>" + err);
  EXPECT_EQ(o.status, 0) << "neither the end of a Run nor an error";
  const auto rows = Rows(o);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("count"), "2");
  const auto bytes = synth::ReadFile(err);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()).rfind(std::to_string(failing) + ": ", 0), 0u)
      << "but it is reported";
}

// A synthetic day read minute by minute gives back the drawn N(D) and all of its rain.
TEST_F(DsdCliTest, MinuteIntervalsOfASyntheticDayMatchItsTruth) {
  const synth::DayResult day = synth::GenerateDay(DayIn(dir, "day", 11, 2));
  const Output o = Dsd(day.dataPath + " --mode time --interval 60");
  ASSERT_EQ(o.status, 0);
  const auto rows = Rows(o);
  ASSERT_GT(rows.size(), 60u);

  double rain = 0;
  for (const auto &row : rows)
    rain += std::stod(row.at("collectedRain"));
  EXPECT_NEAR(rain, day.truth.Rain(), 1e-4 * day.truth.Rain());

  for (int k = 2; k < 12; ++k) { // 0.5 to 3 mm
    char name[16];
    std::snprintf(name, sizeof name, "nd_%.2f", k * 0.25);
    double measured = 0, drawn = 0;
    for (const auto &row : rows)
      if (!row.at(name).empty())
        measured += std::stod(row.at(name));
    for (const synth::MinuteTruth &m : day.truth.minutes)
      drawn += m.nd[size_t(k)];
    EXPECT_NEAR(measured, drawn, 0.1 * drawn) << name;
  }
}

TEST_F(DsdCliTest, ASeriesTakesEachFileOnceAndNoFileTwiceInTime) {
  WriteTinyDay({6 * 3600 + 10, 6 * 3600 + 70});
  const std::string err = Path("err.txt");
  auto errText = [&] {
    const auto bytes = synth::ReadFile(err);
    return std::string(bytes.begin(), bytes.end());
  };
  const Output once = Dsd(Path("d.hyd"));
  // The same file by its name, through a link and through "..": read once, and said.
  ASSERT_EQ(::symlink(Path("d.hyd").c_str(), Path("link.hyd").c_str()), 0);
  const std::string dotted = (dir / "sub" / ".." / "d.hyd").string();
  std::filesystem::create_directory(dir / "sub");
  const Output same = Dsd(Path("d.hyd") + " " + Path("link.hyd") + " " + dotted + " 2>" + err);
  EXPECT_EQ(same.status, 0) << errText();
  EXPECT_EQ(same.lines, once.lines);
  EXPECT_NE(
      errText().find(Path("link.hyd") + ": the same file as " + Path("d.hyd") + "; read once"),
      std::string::npos)
      << errText();
  EXPECT_NE(errText().find(dotted + ": the same file as "), std::string::npos);

  // A copy covers the same time: left out, and the exit status says data was left out.
  std::filesystem::copy_file(Path("d.hyd"), Path("copy.hyd"));
  std::filesystem::copy_file(Path("d.hd"), Path("copy.hd"));
  const Output overlap = Dsd(Path("d.hyd") + " " + Path("copy.hyd") + " 2>" + err);
  EXPECT_EQ(overlap.status, 1);
  EXPECT_EQ(overlap.lines, once.lines);
  EXPECT_NE(errText().find(Path("copy.hyd") +
                           " (2026-06-01 06:00:00 to 2026-06-01 06:00:00 UTC) "
                           "overlaps " +
                           Path("d.hyd")),
            std::string::npos)
      << errText();

  // A day after it follows in the series.
  synth::HydWriter next(4);
  next.AddMainHeader(synth::TypicalMainHeader(DAY + 86400 + 6 * 3600));
  AddTinyDrop(next, Tim(6 * 3600 + 10));
  next.Write(Path("e.hyd"), Path("e.hd"));
  const Output two = Dsd(Path("e.hyd") + " " + Path("d.hyd"));
  EXPECT_EQ(two.status, 0);
  EXPECT_EQ(two.lines.size(), once.lines.size() + 1);
}

TEST_F(DsdCliTest, AMidFileTimeOfZeroFailsOneParticle) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, Tim(6 * 3600 + 10));
  const int32_t zero = AddTinyDrop(w, 0);
  AddTinyDrop(w, Tim(6 * 3600 + 70));
  AddTinyDrop(w, Tim(6 * 3600 + 130));
  w.Write(Path("d.hyd"), Path("d.hd"));
  const std::string err = Path("err.txt");
  const Output o = Dsd(Path("d.hyd") + " 2>" + err);
  EXPECT_EQ(o.status, 0);
  const auto rows = Rows(o);
  ASSERT_EQ(rows.size(), 3u) << "the minutes behind it are still read";
  EXPECT_EQ(rows[2].at("startTime"), "06:02:00.000");
  const auto bytes = synth::ReadFile(err);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()).rfind(std::to_string(zero) + ": ", 0), 0u);
}
