// `pluvicam-cli dsd --netcdf` and several files: the product against the CSV of the same run.
#include "NetcdfTestSupport.h"
#include "TestFiles.h"
#include "statistics/DsdNetcdfWriter.h"

#include <cmath>
#include <map>
#include <sstream>

using namespace testdata;

namespace {

CliRun Cli(const std::string &arguments, const std::string &errPath) {
  return RunCli("dsd " + arguments, errPath);
}

float CsvFloat(const std::string &cell) {
  return cell.empty() ? DsdNetcdfWriter::FILL : float(std::stod(cell));
}

} // namespace

class DsdNetcdfCliTest : public TempDirTest {
protected:
  // Tiny drops at seconds of the day that begins at `midnight`.
  void WriteTinyDay(const std::string &name, int32_t midnight, const std::vector<double> &seconds) {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(midnight + int32_t(seconds.front()) - 1));
    for (double s : seconds)
      AddTinyDrop(w, Tim(s));
    w.Write(Path(name + ".hyd"), Path(name + ".hd"));
  }
  std::string Err() const { return Path("err.txt"); }
};

TEST_F(DsdNetcdfCliTest, TheProductHoldsTheCsvsIntervals) {
  // Two complete minutes, then a minute that the data end inside.
  WriteTinyDay("d", DAY, {6 * 3600 + 10, 6 * 3600 + 20, 6 * 3600 + 70, 6 * 3600 + 130});
  for (const char *options : {" --moments", " --mode full --moments", " --mode rain"}) {
    SCOPED_TRACE(options);
    const CliRun csv = Cli(Path("d.hyd") + options, Err());
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string nc = Path("d.nc");
    const CliRun product = Cli(Path("d.hyd") + options + " --netcdf " + nc, Err());
    ASSERT_EQ(product.status, 0) << product.err;
    EXPECT_EQ(product.out, "") << "no CSV beside the product";

    const auto rows = CsvRows(TextLines(csv.out));
    NcFile f(nc);
    ASSERT_TRUE(f.Ok());
    ASSERT_EQ(f.Dim("time"), (long long)rows.size());
    const long long classes = f.Dim("diameter_bin_center");
    EXPECT_EQ(classes, 40);
    const auto time = f.Doubles("time");
    const auto bounds = f.Doubles("time_bnds");
    const auto nd = f.Floats("drop_number_concentration");
    const auto rate = f.Floats("R");
    const auto amount = f.Floats("P");
    const auto count = f.Ints("N");
    const auto complete = f.Ints("interval_complete");
    const auto nt = f.Floats("Nt");
    const bool moments = std::string(options).find("moments") != std::string::npos;
    EXPECT_EQ(f.HasVar("Lambda"), moments);
    for (size_t i = 0; i < rows.size(); ++i) {
      auto row = rows[i];
      const double lf = LINES_PER_SECOND;
      if (options == std::string(" --moments")) {
        // By time, the stamps are the intervals' nominal bounds, whole minutes (the CSV keeps
        // the interval record's, 2 lines later), so that other minute series line up.
        EXPECT_NEAR(std::remainder(time[i] - DAY, 60.0), 0, 1e-6) << time[i] - DAY;
        EXPECT_NEAR(time[i], DAY + std::stod(row["startTim"]) / lf, 1e-3);
        EXPECT_NEAR(std::remainder(bounds[2 * i + 1] - DAY, 60.0), 0, 1e-6);
        EXPECT_NEAR(bounds[2 * i + 1], time[i] + 60, 1e-6);
      } else {
        EXPECT_NEAR(time[i], DAY + std::stod(row["startTim"]) / lf, 1e-6);
        EXPECT_NEAR(bounds[2 * i + 1], DAY + std::stod(row["endTim"]) / lf, 1e-6);
      }
      for (long long k = 0; k < classes; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "nd_%.2f", double(k) * 0.25);
        EXPECT_EQ(nd[i * size_t(classes) + size_t(k)], CsvFloat(row[name])) << i << " " << name;
      }
      EXPECT_EQ(amount[i], CsvFloat(row["collectedRain"]));
      EXPECT_EQ(count[i], std::stoi(row["count"]));
      EXPECT_EQ(complete[i], std::stoi(row["complete"]));
      if (row["complete"] == "1")
        EXPECT_EQ(rate[i], CsvFloat(row["result"])) << i;
      else if (row["elapsed"].empty())
        EXPECT_EQ(rate[i], DsdNetcdfWriter::FILL);
      else // the setting's rate stays that of the interval before: the product has its own
        EXPECT_NEAR(rate[i], std::stod(row["collectedRain"]) * 3600 / std::stod(row["elapsed"]),
                    1e-4 * rate[i]);
      if (moments) {
        EXPECT_EQ(nt[i], CsvFloat(row["Nt"])) << i;
      }
    }
  }
  // The full window of a single particle has no N(D): missing values, not zeros.
  WriteTinyDay("one", DAY, {6 * 3600 + 10});
  ASSERT_EQ(
      Cli(Path("one.hyd") + " --mode full --moments --netcdf " + Path("one.nc"), Err()).status, 0);
  NcFile one(Path("one.nc"));
  const auto nd = one.Floats("drop_number_concentration");
  ASSERT_EQ(nd.size(), 40u);
  EXPECT_EQ(std::count(nd.begin(), nd.end(), DsdNetcdfWriter::FILL), 40);
  EXPECT_EQ(one.Floats("Nt"), std::vector<float>{DsdNetcdfWriter::FILL});
  EXPECT_EQ(one.Floats("R"), std::vector<float>{DsdNetcdfWriter::FILL});
}

TEST_F(DsdNetcdfCliTest, SeveralFilesFormOneSeriesInTheOrderOfTheirTime) {
  WriteTinyDay("day1", DAY, {6 * 3600 + 10, 6 * 3600 + 70, 6 * 3600 + 80});
  WriteTinyDay("day2", DAY + 86400, {7 * 3600 + 5, 7 * 3600 + 65, 7 * 3600 + 125});
  synth::WriteFile(Path("bad.hyd"), std::vector<uint8_t>(100, 0x5a));
  synth::WriteFile(Path("bad.hd"), std::vector<uint8_t>(10, 0x5a));
  const std::string files =
      Path("day2.hyd") + " " + Path("missing.hyd") + " " + Path("day1.hyd") + " " + Path("bad.hyd");

  // CSV: one header, the rows of day 1 before those of day 2, runs counted on.
  CliRun r = Cli(files, Err());
  EXPECT_EQ(r.status, 1) << "files were skipped";
  EXPECT_NE(r.err.find(Path("missing.hyd") + ": "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(Path("bad.hyd") + ": "), std::string::npos) << r.err;
  auto rows = CsvRows(TextLines(r.out));
  ASSERT_EQ(rows.size(), 5u) << r.out;
  EXPECT_EQ(rows[0]["startTime"], "06:00:00.000");
  EXPECT_EQ(rows[1]["startTime"], "06:01:00.000");
  EXPECT_EQ(rows[2]["startTime"], "07:00:00.000");
  EXPECT_EQ(rows[4]["run"], "5");
  EXPECT_EQ(r.out.find("run,", 1), std::string::npos) << "one header";

  // netCDF: one continuous series over both days.
  const std::string nc = Path("days.nc");
  r = Cli(files + " --moments --netcdf " + nc + " --attr institution=Field\\ Lab --attr title=Two",
          Err());
  EXPECT_EQ(r.status, 1);
  NcFile f(nc);
  ASSERT_TRUE(f.Ok());
  const auto time = f.Doubles("time");
  ASSERT_EQ(time.size(), 5u);
  EXPECT_NEAR(time[0], DAY + 6 * 3600, 1e-3);
  EXPECT_NEAR(time[2], DAY + 86400 + 7 * 3600, 1e-3);
  for (size_t i = 1; i < time.size(); ++i)
    EXPECT_LT(time[i - 1], time[i]);
  EXPECT_EQ(f.Text("", "institution"), "Field Lab");
  EXPECT_EQ(f.Text("", "title"), "Two");
  EXPECT_NE(f.Text("", "history").find("--netcdf " + nc), std::string::npos);
  EXPECT_EQ(f.Text("", "integration_mode"), "time");
  EXPECT_DOUBLE_EQ(f.Number("", "line_frequency_hz"), LINES_PER_SECOND);
  EXPECT_NE(f.Text("", "source"), "<none>");

#ifdef PLUVICAM_NCDUMP
  int status = 0;
  const std::string header = CaptureOutput(std::string(PLUVICAM_NCDUMP) + " -h " + nc, status);
  for (const char *name :
       {"drop_number_concentration(time, diameter_bin_center)", "R(time)", "P(time)", "N(time)",
        "Nremoved(time)", "interval_complete(time)", "Nt(time)", "LWC(time)", "Z(time)", "Dm(time)",
        "D50(time)", "Nw(time)", "mu(time)", "Lambda(time)", "time_bnds(time, nv)",
        "raw_drop_number(time, diameter_bin_center, velocity_bin_center)"})
    EXPECT_NE(header.find(name), std::string::npos) << name;
#endif
  ExpectXarrayOpensCleanly(
      nc, "assert ds.sizes['time'] == 5 and ds.sizes['diameter_bin_center'] == 40\n"
          "assert str(ds.time.values[2]).startswith('2026-06-02T07:00')\n");
}

TEST_F(DsdNetcdfCliTest, NothingIsWrittenWhenThereIsNothingToWriteOrNoPlaceForIt) {
  WriteTinyDay("d", DAY, {6 * 3600 + 10, 6 * 3600 + 20});
  EXPECT_EQ(Cli(Path("d.hyd") + " --netcdf " + Path("x.nc") + " --attr novalue", Err()).status, 2);
  EXPECT_EQ(Cli(Path("d.hyd") + " --attr a=b", Err()).status, 2) << "--attr needs --netcdf";
  const CliRun r = Cli(Path("missing.hyd") + " --netcdf " + Path("x.nc"), Err());
  EXPECT_EQ(r.status, 2) << "no file could be read";
  const std::string nowhere = Path("no-such-folder/x.nc");
  const CliRun w = Cli(Path("d.hyd") + " --netcdf " + nowhere, Err());
  EXPECT_EQ(w.status, 2);
  EXPECT_NE(w.err.find(nowhere), std::string::npos) << w.err;
  std::vector<std::string> names;
  for (const auto &e : std::filesystem::directory_iterator(dir))
    if (e.path().string().find(".nc") != std::string::npos)
      names.push_back(e.path().filename().string());
  EXPECT_TRUE(names.empty()) << names.front();
}
