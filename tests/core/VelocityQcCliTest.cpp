// The velocity check through pluvicam-cli: what it removes is counted in every product, and
// switched off it changes no byte of what the commands wrote before.
#include "NetcdfTestSupport.h"
#include "TestFiles.h"
#include "document/VelocityQc.h"
#include "synth/DayGenerator.h"

#include <map>

using namespace testdata;

class VelocityQcCliTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    synth::DayOptions o = DayIn(dir, "day", 5, 0.5);
    o.particles = 20000;
    file = synth::GenerateDay(o).dataPath;
  }
  CliRun Cli(const std::string &arguments) { return RunCli(arguments, Path("err.txt")); }

  std::string file;
};

TEST_F(VelocityQcCliTest, RemovedParticlesAreCountedInTheCsvAndTheNetcdfProduct) {
  const CliRun off = Cli("dsd " + file);
  const CliRun on = Cli("dsd " + file + " --qc-velocity 0.5");
  ASSERT_EQ(off.status, 0) << off.err;
  ASSERT_EQ(on.status, 0) << on.err;
  const auto offRows = CsvRows(TextLines(off.out));
  const auto onRows = CsvRows(TextLines(on.out));
  ASSERT_EQ(CsvCells(TextLines(on.out)[0])[8], "removed") << "beside the count";
  long long offCount = 0, onCount = 0, removed = 0;
  for (const auto &row : offRows)
    offCount += std::stoll(row.at("count"));
  for (const auto &row : onRows) {
    onCount += std::stoll(row.at("count"));
    removed += std::stoll(row.at("removed"));
  }
  EXPECT_GT(removed, 0) << "the day has splashing particles";
  EXPECT_LT(removed, offCount / 4);
  EXPECT_EQ(onCount + removed, offCount) << "every particle taken or counted as removed";

  const std::string nc = Path("qc.nc");
  ASSERT_EQ(Cli("dsd " + file + " --qc-velocity 0.5 --netcdf " + nc).status, 0);
  NcFile f(nc);
  ASSERT_TRUE(f.Ok());
  const auto n = f.Ints("N");
  const auto nRemoved = f.Ints("Nremoved");
  ASSERT_EQ(nRemoved.size(), onRows.size());
  for (size_t i = 0; i < onRows.size(); ++i) {
    EXPECT_EQ(n[i], std::stoi(onRows[i].at("count"))) << i;
    EXPECT_EQ(nRemoved[i], std::stoi(onRows[i].at("removed"))) << i;
  }
  EXPECT_EQ(f.Text("", "velocity_qc"), "fraction 0.5");
  ASSERT_EQ(Cli("dsd " + file + " --netcdf " + nc).status, 0);
  NcFile plain(nc);
  EXPECT_EQ(plain.Text("", "velocity_qc"), "off");
  const auto none = plain.Ints("Nremoved");
  EXPECT_EQ(std::count(none.begin(), none.end(), 0), (long)none.size());

  // The tolerance form, and the particles the main window would show.
  const CliRun tolerance = Cli("dsd " + file + " --qc-velocity-tolerance 1.5");
  ASSERT_EQ(tolerance.status, 0);
  EXPECT_EQ(CsvCells(TextLines(tolerance.out)[0])[8], "removed");
  const auto kept = CsvRows(TextLines(Cli("particles --qc-velocity 0.5 " + file).out));
  const auto all = CsvRows(TextLines(Cli("particles --to 24:00 " + file).out));
  EXPECT_EQ(all.size() - kept.size(), size_t(removed));
  VelocityQc qc;
  qc.mode = VelocityQc::Mode::Fraction;
  for (const auto &row : kept)
    ASSERT_TRUE(qc.Keeps(std::stof(row.at("diameter")), std::stof(row.at("velocity"))));
}

// A check that removes nothing leaves every output as the commands wrote it without the check;
// their columns without it are pinned by the commands' own tests.
TEST_F(VelocityQcCliTest, SwitchedOffOrRemovingNothingTheOutputsKeepTheirBytes) {
  for (const char *command :
       {"particles --to 24:00", "rainrate", "rainrate --mode time --interval 60", "shape",
        "dsd --mode time --interval 60 --moments"}) {
    SCOPED_TRACE(command);
    const CliRun off = Cli(std::string(command) + " " + file);
    const CliRun wide = Cli(std::string(command) + " --qc-velocity 100 " + file);
    ASSERT_EQ(off.status, 0) << off.err;
    ASSERT_EQ(wide.status, 0) << wide.err;
    if (std::string(command).rfind("dsd", 0) != 0) {
      EXPECT_EQ(wide.out, off.out);
      continue;
    }
    // The dsd CSV shows its count of removed particles, all 0, beside the count.
    auto offLines = TextLines(off.out), wideLines = TextLines(wide.out);
    ASSERT_EQ(wideLines.size(), offLines.size());
    for (size_t i = 0; i < offLines.size(); ++i) {
      auto cells = CsvCells(wideLines[i]);
      EXPECT_EQ(cells[8], i == 0 ? "removed" : "0");
      cells.erase(cells.begin() + 8);
      EXPECT_EQ(cells, CsvCells(offLines[i])) << i;
    }
  }
}

TEST_F(VelocityQcCliTest, SnowFilesAreReadWithoutTheCheckAndSaySoOnce) {
  synth::DayOptions o = DayIn(dir, "snow", 6, 0.2);
  o.snow = true;
  const std::string snow = synth::GenerateDay(o).dataPath;
  const CliRun off = Cli("particles --to 24:00 " + snow);
  const CliRun on = Cli("particles --qc-velocity 0.1 " + snow);
  ASSERT_EQ(on.status, 0) << on.err;
  EXPECT_EQ(on.out, off.out);
  EXPECT_NE(on.err.find("does not apply to snow"), std::string::npos) << on.err;
  const std::string nc = Path("snow.nc");
  const CliRun product = Cli("dsd --qc-velocity 0.1 " + snow + " --netcdf " + nc);
  ASSERT_EQ(product.status, 0) << product.err;
  EXPECT_EQ(NcFile(nc).Text("", "velocity_qc"), "off: it does not apply to snow");
}
