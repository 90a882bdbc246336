// The command-line contract: other tools compare this output.
#include "CliRunner.h"
#include "ParticleCsv.h"
#include "TestFiles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/inotify.h>
#include <unistd.h>

using namespace testdata;

namespace {

size_t Cells(const std::string &line) {
  return size_t(std::count(line.begin(), line.end(), ',')) + 1;
}

} // namespace

class CliTest : public TempDirTest {
protected:
  // A day with a real drop, a drop whose widths are 0 (its computation fails), and another
  // real drop.
  void WriteDay() {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    AddDrop(w, 6 * 3600 + 1);
    PixHeader flat;
    flat.tim = Tim(6 * 3600 + 2);
    flat.lineCountA = 1;
    flat.absv = 200;
    flat.pixScaleA = flat.pixScaleB = flat.pixScaleH = 1800;
    failing = w.AddPixRecord(flat, {0x00, 0x00}, 1);
    AddDrop(w, 6 * 3600 + 3);
    w.Write(Path("d.hyd"), Path("d.hd"));
  }
  void AddDrop(synth::HydWriter &w, double seconds) {
    AddImageDrop(w, Tim(seconds), RoundDropImage(2.5), 250);
  }
  CliRun Cli(const std::string &arguments) { return RunCli(arguments, Path("err.txt")); }

  int32_t failing = 0;
};

TEST_F(CliTest, ParticlesCsvAndExitStatuses) {
  WriteDay();
  CliRun run = Cli("particles " + Path("d.hyd"));
  EXPECT_EQ(run.status, 1) << "the failing particle stops the walk";
  auto lines = TextLines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "startPos,prevPos,nextPos,tim,time,format,dropType,diameter,volume,"
                      "velocity,oblateness,widthA,widthB,heightA,heightB,oblA,oblB,hVelA,hVelB,"
                      "area,linesA,linesB,minPosA,maxPosA,minPosB,maxPosB,scaleSysA,scaleSysB,"
                      "scaleHeight,rawDiameter");
  EXPECT_EQ(Cells(lines[1]), 30u);
  EXPECT_EQ(lines[1].rfind("74,0,", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find(",06:00:01.000,4,0,2.5,"), std::string::npos) << lines[1];
  EXPECT_EQ(run.err,
            std::to_string(failing) + ": CRainData::SetHydHeader: diameterA or diameterB = 0\n");

  run = Cli("particles --keep-going " + Path("d.hyd"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(TextLines(run.out).size(), 3u) << "the walk goes on behind the failed record";

  run = Cli("particles " + Path("missing.hyd"));
  EXPECT_EQ(run.status, 2);
  run = Cli("particles --no-such-option " + Path("d.hyd"));
  EXPECT_EQ(run.status, 2);
}

TEST_F(CliTest, TruncatedFileIsAFailure) {
  WriteDay();
  auto bytes = synth::ReadFile(Path("d.hyd"));
  bytes.resize(bytes.size() - 3);
  synth::WriteFile(Path("d.hyd"), bytes);
  CliRun run = Cli("particles --keep-going " + Path("d.hyd"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(": End of file"), std::string::npos) << run.err;
}

TEST_F(CliTest, ContourColumns) {
  WriteDay();
  CliRun run = Cli("particles --keep-going --contours smooth --correction on " + Path("d.hyd"));
  EXPECT_EQ(run.status, 0) << run.err;
  auto lines = TextLines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(",rawDiameter,contourCountA,contourCountB,corrHeightA,"),
            std::string::npos);
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(Cells(lines[i]), 44u);
    EXPECT_EQ(lines[i].find(",,"), std::string::npos) << "every cell defined: " << lines[i];
  }
  run = Cli("particles --keep-going --contours raw " + Path("d.hyd"));
  lines = TextLines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find(",,,,,,"), std::string::npos) << "no correction ran: " << lines[1];
  EXPECT_EQ(Cli("particles --correction on " + Path("d.hyd")).status, 2);
}

TEST_F(CliTest, DocumentReadingAndClassWrite) {
  WriteDay();
  CliRun run = Cli("particles --to 06:00:02 --wind " + Path("d.hyd"));
  EXPECT_EQ(run.status, 1) << "the failing particle is an error, not the window's end";
  EXPECT_EQ(run.err, "CRainData::SetHydHeader: diameterA or diameterB = 0\n");
  auto lines = TextLines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(",rawDiameter,windSpeed,windDirection,temperature"), std::string::npos);
  EXPECT_EQ(lines[1].substr(lines[1].size() - 3), ",,,") << "no wind file, no wind";

  run = Cli("classify " + Path("d.hyd") + " 74 4");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "old class: 0 (not class.)\nnew class: 4 (hail)\n");
  EXPECT_EQ(TextLines(Cli("particles --type 4 --to 06:00:01 " + Path("d.hyd")).out).size(), 1u)
      << "the window ends before the only particle";
  lines = TextLines(Cli("particles --type 4 --from 06:00:01 --to 06:00:02 " + Path("d.hyd")).out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(",06:00:01.000,4,4,"), std::string::npos) << lines[1];

  run = Cli("rainsteps " + Path("d.hyd"));
  EXPECT_EQ(run.status, 1) << "the failing particle stops the run; what it gathered is shown";
  lines = TextLines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "startTim,endTim,duration,complete,startTime,endTime");
  EXPECT_NE(lines[1].find(",,0,0,06:00:01.000,"), std::string::npos) << "one open interval";
  EXPECT_EQ(lines[2].rfind("total rain: ", 0), 0u);
  // The interval starts at the accepted particle, to the last camera line.
  const std::string startTim = lines[1].substr(0, lines[1].find(','));
  const auto particle = TextLines(Cli("particles --to 06:00:02 " + Path("d.hyd")).out);
  ASSERT_EQ(particle.size(), 2u);
  std::string cell = particle[1];
  for (int column = 0; column < 3; ++column)
    cell.erase(0, cell.find(',') + 1);
  EXPECT_EQ(startTim, cell.substr(0, cell.find(',')));
  EXPECT_EQ(startTim.find('e'), std::string::npos) << startTim;
  EXPECT_GT(startTim.size(), 10u) << "more digits than a float holds: " << startTim;
}

TEST(CsvNumbers, TimeStampsKeepEveryDigit) {
  auto time = [](double tim) {
    std::string s;
    csv::AppendTime(s, tim);
    return s;
  };
  EXPECT_EQ(time(1842951740.0), "1842951740");
  EXPECT_EQ(time(1842951741.0), "1842951741") << "the last line counts";
  EXPECT_EQ(time(0.0), "0");
  EXPECT_EQ(std::stod(time(1842951740.25)), 1842951740.25);
  EXPECT_EQ(std::stod(time(12345.678901234567)), 12345.678901234567);
}

TEST_F(CliTest, ClassifyOnlyAtARecordStart) {
  // A record whose drop data holds a complete particle record: that inner record parses, but a
  // walk never meets it.
  synth::HydWriter inner(4);
  AddTinyDrop(inner, Tim(6 * 3600 + 1));
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  PixHeader outer;
  outer.tim = Tim(6 * 3600 + 1);
  outer.lineCountA = 1;
  const int32_t start = w.AddPixRecord(outer, inner.Bytes(), 4);
  AddTinyDrop(w, Tim(6 * 3600 + 2));
  w.Write(Path("d.hyd"), Path("d.hd"));
  const auto before = synth::ReadFile(Path("d.hyd"));
  const int32_t hidden = start + 30;

  CliRun run = Cli("classify " + Path("d.hyd") + " " + std::to_string(hidden) + " 3");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "POS is not the start of a particle record: " + std::to_string(hidden) + "\n");
  EXPECT_EQ(synth::ReadFile(Path("d.hyd")), before);
  EXPECT_EQ(Cli("classify " + Path("d.hyd") + " 75 3").status, 1);
  EXPECT_EQ(synth::ReadFile(Path("d.hyd")), before);
}

TEST_F(CliTest, ParticleWithoutTimeStopsOrIsSkipped) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddDrop(w, 6 * 3600 + 1);
  const int32_t bad = AddTinyDrop(w, 1e300);
  AddTinyDrop(w, std::nan(""));
  AddDrop(w, 6 * 3600 + 3);
  w.Write(Path("d.hyd"), Path("d.hd"));

  CliRun run = Cli("particles --keep-going " + Path("d.hyd"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(TextLines(run.out).size(), 3u);
  EXPECT_EQ(run.err.rfind(std::to_string(bad) + ": ", 0), 0u) << run.err;
  EXPECT_EQ(TextLines(run.err).size(), 2u) << run.err;

  run = Cli("rainsteps " + Path("d.hyd"));
  EXPECT_EQ(run.status, 1) << "a particle without a time is no end of the day";
  EXPECT_NE(run.err.find("has no time of the day"), std::string::npos) << run.err;
  run = Cli("rainsteps --keep-going " + Path("d.hyd"));
  EXPECT_EQ(run.status, 0) << run.err;
  run = Cli("particles --keep-going --from 06:00:00 " + Path("d.hyd"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(TextLines(run.out).size(), 3u) << run.out;
}

TEST_F(CliTest, EmptyFilesSaySo) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  w.Write(Path("d.hyd"), Path("d.hd"));
  CliRun run = Cli("info " + Path("d.hyd"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, Path("d.hyd") + ": the data file holds no particle\n");
  synth::WriteFile(Path("d.hyd"), {});
  for (const char *command : {"info ", "particles "}) {
    run = Cli(command + Path("d.hyd"));
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_EQ(run.err, Path("d.hyd") + ": the data file is empty\n") << command;
  }
}

TEST_F(CliTest, OnlyClassifyOpensTheDataFileForWriting) {
  WriteDay();
  const int watch = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, Path("d.hyd").c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE), 0);
  // The kinds of close the file saw since the last call.
  auto closes = [&] {
    std::pair<int, int> seen{0, 0}; // written, read only
    alignas(inotify_event) char buffer[4096];
    ssize_t got;
    while ((got = read(watch, buffer, sizeof buffer)) > 0)
      for (char *p = buffer; p < buffer + got;) {
        const auto *event = reinterpret_cast<const inotify_event *>(p);
        (event->mask & IN_CLOSE_WRITE ? seen.first : seen.second)++;
        p += sizeof(inotify_event) + event->len;
      }
    return seen;
  };
  for (const char *command :
       {"info ", "scan ", "particles --keep-going ", "particles --from 06:00 ", "rainsteps ",
        "export --correction off "}) {
    std::string arguments = command + Path("d.hyd");
    if (std::string(command).rfind("export", 0) == 0)
      arguments += " 74";
    Cli(arguments);
    const auto seen = closes();
    EXPECT_EQ(seen.first, 0) << command;
    EXPECT_GT(seen.second, 0) << command;
  }
  EXPECT_EQ(Cli("classify " + Path("d.hyd") + " 74 1").status, 0);
  EXPECT_GT(closes().first, 0);
  close(watch);
}

TEST_F(CliTest, DemoGoesIntoANewFolderAndItsHeadersNameTheFile) {
  const std::string out = Path("new/demo");
  const std::string command = std::string(PLUVICAM_SYNTH) + " demo --out " + out +
                              " --name demo >" + Path("synth.txt") + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const CliRun info = Cli("info " + out + "/demo.hyd");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("  demo.hyd  "), std::string::npos) << info.out;
  EXPECT_EQ(Cli("info " + out + "/demo_snow.sno").status, 0);
}
