// `pluvicam-cli dsd`, `particles`, `scan` and `info` with `--jobs N`: files read on several threads
// give, byte for byte, what one thread gives, also with a file that does not open and one that ends
// inside a record.
#include "CliRunner.h"
#include "TempDirTest.h"
#include "TinyDay.h"
#include "synth/DayGenerator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace testday;

namespace {

// The product's dump without its history, which names the command line.
std::string DumpWithoutHistory(const std::string &nc) {
  int status = -1;
  const std::string dump =
      CaptureOutput(std::string(PLUVICAM_NCDUMP) + " " + nc + " | grep -v ':history = '", status);
  return dump.substr(dump.find('\n') + 1); // the first line names the file
}

} // namespace

class ParallelCliTest : public TempDirTest {
protected:
  // Four one-hour days of one instrument, the last one cut inside a record, and a name of a
  // file that does not exist.
  std::string WriteSeries() {
    std::string names;
    for (int d = 0; d < 4; ++d) {
      synth::DayOptions day;
      day.outDir = dir.string();
      day.name = std::string("d") + char('0' + d);
      day.seed = uint64_t(d + 1);
      day.startMinute = (6 + d) * 60;
      day.hours = 1;
      day.particles = 6000;
      const std::string data = synth::GenerateDay(day).dataPath;
      names += data + " ";
    }
    const std::string last = Path("d3.hyd");
    std::filesystem::resize_file(last, std::filesystem::file_size(last) - 7);
    return names + Path("missing.hyd");
  }

  // The netCDF product of `command` on `files` with one job and with two: the same status,
  // messages and contents (but the history), which hold `mark`.
  void ExpectTheSameProductFromTwoJobs(const std::string &command, const std::string &files,
                                       const std::string &mark) {
#ifdef PLUVICAM_NCDUMP
    const auto run = [&](const char *jobs, const std::string &nc) {
      return RunCli(command + " --jobs " + jobs + " --netcdf " + Path(nc) + " " + files,
                    Path(nc + ".err"));
    };
    const CliRun one = run("1", "one.nc"), two = run("2", "two.nc");
    EXPECT_EQ(two.status, one.status);
    EXPECT_EQ(two.err, one.err);
    const std::string dump = DumpWithoutHistory(Path("one.nc"));
    ASSERT_NE(dump.find(mark), std::string::npos) << dump.substr(0, 300);
    EXPECT_EQ(DumpWithoutHistory(Path("two.nc")), dump);
#else
    (void)command, (void)files, (void)mark;
#endif
  }
};

TEST_F(ParallelCliTest, SeveralJobsWriteWhatOneJobWrites) {
  const std::string files = WriteSeries();
  const CliRun serial = RunCli("dsd --moments --jobs 1 " + files, Path("e1.txt"));
  ASSERT_GT(TextLines(serial.out).size(), 100u) << "four hours of one-minute Runs";
  EXPECT_EQ(serial.status, 1) << "a file left out and a truncated one";
  EXPECT_NE(serial.err.find("missing.hyd"), std::string::npos) << serial.err;
  EXPECT_NE(serial.err.find("End of file"), std::string::npos) << serial.err;
  for (int jobs : {2, 3}) {
    const CliRun parallel =
        RunCli("dsd --moments --jobs " + std::to_string(jobs) + " " + files, Path("e.txt"));
    EXPECT_EQ(parallel.status, serial.status) << jobs;
    EXPECT_EQ(parallel.out, serial.out) << jobs;
    EXPECT_EQ(parallel.err, serial.err) << jobs;
  }

  ExpectTheSameProductFromTwoJobs("dsd --moments", files, "drop_number_concentration");
}

TEST_F(ParallelCliTest, AnIntervalAcrossTwoFilesEndsInEachFile) {
  // Two files within one minute, 06:00:10 and 06:00:20 in the first, 06:00:40 and 06:00:50 in
  // the second: each file begins its interval at its own main header and ends it at its own
  // data end, so the minute gives one partial row per file, also on two threads.
  for (int f = 0; f < 2; ++f) {
    synth::HydWriter w(4);
    const int first = 6 * 3600 + 10 + 30 * f;
    w.AddMainHeader(synth::TypicalMainHeader(DAY + first - 1));
    AddTinyDrop(w, Tim(first));
    AddTinyDrop(w, Tim(first + 10));
    const std::string name = f == 0 ? "f0" : "f1";
    w.Write(Path(name + ".hyd"), Path(name + ".hd"));
  }
  const std::string files = Path("f0.hyd") + " " + Path("f1.hyd");
  const CliRun serial = RunCli("dsd --jobs 1 " + files, Path("e1.txt"));
  ASSERT_EQ(serial.status, 0) << serial.err;
  const auto rows = CsvRows(TextLines(serial.out));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("startTime"), "06:00:09.000");
  EXPECT_EQ(rows[1].at("startTime"), "06:00:39.000");
  for (const auto &row : rows) {
    EXPECT_EQ(row.at("count"), "2");
    EXPECT_EQ(row.at("complete"), "0");
  }
  EXPECT_EQ(rows[1].at("run"), "2") << "runs count through the series";
  const CliRun parallel = RunCli("dsd --jobs 2 " + files, Path("e2.txt"));
  EXPECT_EQ(parallel.out, serial.out);
  EXPECT_EQ(parallel.err, serial.err);
}

TEST_F(ParallelCliTest, ScanReportsEveryFileInTheOrderGiven) {
  const std::string files = WriteSeries();
  // The figures of time differ from run to run; the counts and the failures do not.
  auto counts = [](const std::string &out) {
    std::string kept;
    for (const std::string &line : TextLines(out))
      kept += line.substr(0, line.find(" failures,")) + "\n";
    return kept;
  };
  const CliRun serial = RunCli("scan --jobs 1 " + files, Path("e1.txt"));
  EXPECT_EQ(serial.status, 2) << "a file that does not open";
  const std::vector<std::string> lines = TextLines(serial.out);
  ASSERT_EQ(lines.size(), 4u) << serial.out;
  EXPECT_EQ(lines[0].rfind(Path("d0.hyd") + ": ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[3].rfind(Path("d3.hyd") + ": ", 0), 0u) << lines[3];
  EXPECT_NE(lines[3].find(", 1 failures,"), std::string::npos) << "cut inside a record";
  EXPECT_NE(serial.err.find(Path("d3.hyd") + ": "), std::string::npos) << serial.err;
  const CliRun parallel = RunCli("scan --jobs 3 " + files, Path("e3.txt"));
  EXPECT_EQ(parallel.status, serial.status);
  EXPECT_EQ(counts(parallel.out), counts(serial.out));
  EXPECT_EQ(parallel.err, serial.err);
}

TEST_F(ParallelCliTest, InfoReportsEveryFileInTheOrderGiven) {
  const std::string files = WriteSeries();
  const CliRun serial = RunCli("info --jobs 1 " + files, Path("e1.txt"));
  EXPECT_EQ(serial.status, 2) << "a file that does not open";
  const size_t first = serial.out.find("file: d0.hyd\n");
  const size_t last = serial.out.find("file: d3.hyd\n");
  ASSERT_NE(first, std::string::npos) << serial.out;
  ASSERT_NE(last, std::string::npos) << serial.out;
  EXPECT_LT(first, last);
  EXPECT_NE(serial.err.find(Path("d3.hyd") + ": "), std::string::npos) << serial.err;
  EXPECT_NE(serial.err.find("missing.hyd"), std::string::npos) << serial.err;
  const CliRun parallel = RunCli("info --jobs 3 " + files, Path("e3.txt"));
  EXPECT_EQ(parallel.status, serial.status);
  EXPECT_EQ(parallel.out, serial.out);
  EXPECT_EQ(parallel.err, serial.err);
}

TEST_F(ParallelCliTest, ParticleTablesOfSeveralJobsAreThoseOfOneJob) {
  const std::string files = WriteSeries();
  const CliRun serial = RunCli("particles --contours raw --jobs 1 " + files, Path("e1.txt"));
  ASSERT_GT(TextLines(serial.out).size(), 18000u) << "three whole files and most of the fourth";
  EXPECT_EQ(serial.status, 1) << "a file left out and a truncated one";
  const CliRun parallel = RunCli("particles --contours raw --jobs 3 " + files, Path("e3.txt"));
  EXPECT_EQ(parallel.status, serial.status);
  EXPECT_EQ(parallel.out, serial.out);
  EXPECT_EQ(parallel.err, serial.err);

  ExpectTheSameProductFromTwoJobs("particles", files, "particle = UNLIMITED");
}
