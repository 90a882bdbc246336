// What the command-line writers do where they must not write, when the disk is full, and when
// they are stopped.
#include "CliRunner.h"
#include "TestFiles.h"
#include "synth/DayGenerator.h"

#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

namespace {

const char *const COMPANIONS[] = {"d.hyd", "d.hd", "d.wd", "d.tip"};

std::vector<std::string> Names(const std::filesystem::path &dir) {
  std::vector<std::string> names;
  for (const auto &e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

} // namespace

class OutputCliTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    synth::DayOptions options;
    options.outDir = dir.string();
    options.name = "d";
    options.hours = 0.5;
    synth::GenerateDay(options);
  }
  CliRun Cli(const std::string &arguments) { return RunCli(arguments, Path("err.txt")); }
  // The command under a limit of `blocks` of 512 bytes on any file it writes; a write past it
  // fails with EFBIG, as on a full disk, instead of raising SIGXFSZ.
  int CliOnAFullDisk(const std::string &arguments, int blocks, std::string &err) {
    int status = 0;
    // Standard error through the pipe: a file for it would meet the limit too.
    err = CaptureOutput("sh -c \"trap '' XFSZ; ulimit -f " + std::to_string(blocks) + "; exec " +
                            PLUVICAM_CLI + " " + arguments + " 2>&1\"",
                        status);
    return status;
  }
  std::string Inputs() const {
    std::string bytes;
    for (const char *name : COMPANIONS)
      bytes += ReadWholeFile(Path(name));
    return bytes;
  }
  std::string FirstParticle() {
    const auto rows = CsvRows(TextLines(Cli("particles " + Path("d.hyd")).out));
    return rows.empty() ? "0" : rows[0].at("startPos");
  }
};

TEST_F(OutputCliTest, NoWriterReplacesAnInputOrItsCompanions) {
  const std::string before = Inputs();
  const std::string data = Path("d.hyd");
  std::filesystem::create_symlink(Path("d.hd"), Path("soft.nc"));
  ASSERT_EQ(link(data.c_str(), Path("hard.DAT").c_str()), 0);
  CliRun run;
  for (const std::string target : {"d.hyd", "d.hd", "d.wd", "d.tip", "soft.nc", "hard.DAT"}) {
    SCOPED_TRACE(target);
    run = Cli("dsd " + data + " --netcdf " + Path(target));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(
        run.err.rfind("Could not write " + Path(target) + ": " + Path(target) + " is the ", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(data + " that this run reads"), std::string::npos) << run.err;
    run = Cli("calibrate " + data + " --box 2:1:3:0.5:1.2 --out " + Path(target));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(data + " that this run reads"), std::string::npos) << run.err;
    // The second file of a series counts as much as the first.
    run = Cli("dsd " + Path("other.hyd") + " " + data + " --netcdf " + Path(target));
    EXPECT_EQ(run.status, 2);
    run = Cli("particles " + Path("other.hyd") + " " + data + " --netcdf " + Path(target));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(data + " that this run reads"), std::string::npos) << run.err;
    EXPECT_EQ(Inputs(), before);
  }
  // The text export's file as a link to the data, and as a FIFO that nobody reads.
  const std::string pos = FirstParticle();
  std::filesystem::create_symlink(data, Path("d.txt"));
  run = Cli("export --append " + data + " " + pos);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("is the data file " + data), std::string::npos) << run.err;
  std::filesystem::remove(Path("d.txt"));
  ASSERT_EQ(mkfifo(Path("d.txt").c_str(), 0644), 0);
  run = Cli("export --append " + data + " " + pos);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "Could not open textfile because: " + Path("d.txt") + " is not a regular file\n");
  EXPECT_EQ(Inputs(), before);
}

TEST_F(OutputCliTest, AFullDiskEndsWithAMessageExitOneAndNoFile) {
  const std::vector<std::string> before = Names(dir);
  std::string err;
  // Room for nothing, for part of the product, for most of it.
  for (int blocks : {0, 16, 96}) {
    SCOPED_TRACE(blocks);
    EXPECT_EQ(CliOnAFullDisk("dsd " + Path("d.hyd") + " --moments --netcdf " + Path("out.nc"),
                             blocks, err),
              1);
    EXPECT_EQ(err, "Could not write " + Path("out.nc") + ": File too large\n");
    EXPECT_EQ(Names(dir), before);
  }
  for (int blocks : {0, 16}) {
    EXPECT_EQ(
        CliOnAFullDisk("particles " + Path("d.hyd") + " --netcdf " + Path("out.nc"), blocks, err),
        1);
    EXPECT_EQ(err, "Could not write " + Path("out.nc") + ": File too large\n");
    EXPECT_EQ(Names(dir), before);
  }
  EXPECT_EQ(CliOnAFullDisk("calibrate " + Path("d.hyd") + " --box 2:1:3:0.5:1.2 --out " +
                               Path("CORR_IN.DAT"),
                           0, err),
            1);
  EXPECT_EQ(err,
            "Could not write data to CORR_IN.dat: " + Path("CORR_IN.DAT") + ": File too large\n");
  EXPECT_EQ(Names(dir), before);
}

TEST_F(OutputCliTest, AnExistingProductKeepsItsBitsAndAReadOnlyOneIsKept) {
  const std::string out = Path("out.nc");
  ASSERT_EQ(Cli("dsd " + Path("d.hyd") + " --netcdf " + out).status, 0);
  chmod(out.c_str(), 0640);
  ASSERT_EQ(Cli("dsd " + Path("d.hyd") + " --mode full --netcdf " + out).status, 0);
  struct stat info {};
  ASSERT_EQ(stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  const std::string product = ReadWholeFile(out);
  chmod(out.c_str(), 0444);
  CliRun run = Cli("dsd " + Path("d.hyd") + " --netcdf " + out);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Could not write " + out + ": " + out + " is read-only\n");
  EXPECT_EQ(ReadWholeFile(out), product);

  // A name at the file system's limit: the temporary name beside it must fit too.
  const long limit = pathconf(dir.c_str(), _PC_NAME_MAX);
  const std::string longName = Path(std::string(size_t(limit) - 3, 'n') + ".nc");
  run = Cli("dsd " + Path("d.hyd") + " --netcdf " + longName);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(longName));

  // The attributes that make the file what it is.
  for (const char *attr : {"Conventions=x", "featureType=point", "pluvicam_version=0"}) {
    run = Cli("dsd " + Path("d.hyd") + " --netcdf " + Path("attr.nc") + " --attr " + attr);
    EXPECT_EQ(run.status, 2) << attr;
    EXPECT_NE(run.err.find("is the product's own and cannot be set"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("attr.nc")));
}

TEST_F(OutputCliTest, AStoppedProductLeavesNoTemporaryFile) {
  // A day long enough to be still in the reading when the signal comes.
  synth::DayOptions options;
  options.outDir = dir.string();
  options.name = "big";
  options.particles = 1000000;
  synth::GenerateDay(options);
  const std::vector<std::string> before = Names(dir);
  const std::string cli = PLUVICAM_CLI;
  const std::string out = Path("out.nc");
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    std::vector<std::string> words = {cli,          "dsd", Path("big.hyd"), "--mode", "objects",
                                      "--interval", "1",   "--netcdf",      out};
    std::vector<char *> argv;
    for (std::string &w : words)
      argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, cli.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    // The temporary file is there from the start of the reading on.
    bool partial = false;
    for (int i = 0; i < 6000 && !partial; ++i) {
      for (const std::string &name : Names(dir))
        partial = partial || name.rfind("out.nc.part", 0) == 0;
      if (!partial)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(partial);
    kill(pid, signal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the signal came";
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(Names(dir), before);
  }
}
