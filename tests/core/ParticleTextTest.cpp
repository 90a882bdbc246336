// The drop view's text export, the record framing it relies on, and `pluvicam-cli export`.
#include "statistics/ParticleText.h"
#include "CliRunner.h"
#include "TestFiles.h"
#include "data/CHydFile.h"
#include "data/RecordFraming.h"
#include "document/CPluvicamDoc.h"
#include "particle/CContour.h"
#include "particle/CRainData.h"
#include "synth/DropOutline.h"

#include <cstdio>

using namespace testdata;

namespace {

std::string Text(const std::string &path) {
  auto bytes = synth::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

const std::string STARS = "\n" + std::string(73, '*') + "\n";

} // namespace

TEST(ParticleText, BlockForAKnownParticle) {
  HydRecord r;
  r.diameter = 2.5f;
  r.velocity = 6.8125f;
  r.oblateness = 0.875f;
  r.scaleSysA = 0.18f;
  r.scaleSysB = 0.1875f;
  r.scaleHeight = 0.2f;
  r.linesA = 3;
  r.linesB = 2;
  auto rain = std::make_unique<CRainData>();
  const int16_t la[] = {12, 10, 11}, ra[] = {14, 15, 13}, lb[] = {7, 8}, rb[] = {9, 120};
  std::copy(la, la + 3, rain->leftA);
  std::copy(ra, ra + 3, rain->rightA);
  std::copy(lb, lb + 2, rain->leftB);
  std::copy(rb, rb + 2, rain->rightB);
  CContour a;
  ASSERT_EQ(a.Create(rain->leftA, rain->rightA, 3, 0.18, 0.2, 10), 1);
  TimeOfDay t;
  t.hour = 6;
  t.minute = 5;
  t.second = 9;
  t.millisecond = 42;

  const std::string head = "time           = 06:05:09.042\n"
                           "eq. diameter   =  2.500 mm\n"
                           "vert. velocity =  6.812 m/s\n"
                           "oblatenes      =  0.875\n"
                           "scale system A =  0.180 mm/pixels\n"
                           "scale system B =  0.188 mm/pixels\n"
                           "scale height   =  0.200 mm/line\n";
  const std::string linesA = "Line  1:  12 -  14\n"
                             "Line  2:  10 -  15\n"
                             "Line  3:  11 -  13\n";
  const std::string linesB = "Line  1:   7 -   9\n"
                             "Line  2:   8 - 120\n";
  EXPECT_EQ(FormatParticleText(r, t, *rain, &a, nullptr),
            head + "\nSystem A (front view)     Corr.: 0.00 mm\n" + linesA + linesB + STARS);
  EXPECT_EQ(FormatParticleText(r, t, *rain, nullptr, &a),
            head + linesA + "\nSystem B (side view)      Corr.: 0.00 mm\n" + linesB + STARS);

  // A line count beyond the edge arrays never reads past them.
  r.linesA = 5000;
  r.linesB = -3;
  const std::string big = FormatParticleText(r, t, *rain, nullptr, nullptr);
  EXPECT_NE(big.find("Line 1200:"), std::string::npos);
  EXPECT_EQ(big.find("Line 1201:"), std::string::npos);
}

class ParticleTextFile : public TempDirTest {};

TEST_F(ParticleTextFile, PathAppendAndOpenFailure) {
  EXPECT_EQ(ParticleTextPath("/data/2026.06/day1.hyd"), "/data/2026.06/day1.txt");
  EXPECT_EQ(ParticleTextPath("/data/2026.06/day1"), "/data/2026.06/day1.txt")
      << "a dot of a folder is no extension";
  EXPECT_EQ(ParticleTextPath("day1.x.pix"), "day1.x.txt");

  const std::string path = Path("day1.txt");
  std::string message;
  ASSERT_EQ(AppendParticleText(path, "first\n", {}, &message), 1) << message;
  ASSERT_EQ(AppendParticleText(path, "first\n", {}, &message), 1) << message;
  EXPECT_EQ(Text(path), "first\nfirst\n") << "every export appends";

  EXPECT_EQ(AppendParticleText(Path("missing/day1.txt"), "x", {}, &message), 0);
  EXPECT_EQ(message, "Could not open textfile because: No such file or directory");
}

class ExportTest : public TempDirTest {
protected:
  // Two drops sheared by the sideways drift of a line scan, a quarter pixel per line.
  void WriteDay() {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    first = AddDrop(w, 6 * 3600 + 1);
    second = AddDrop(w, 6 * 3600 + 2);
    w.Write(Path("d.hyd"), Path("d.hd"));
  }
  int32_t AddDrop(synth::HydWriter &w, double seconds) {
    synth::DropEdges edges = synth::RasteriseDrop(synth::DropShape{2.5}, 0.18, 0.2);
    for (size_t i = 0; i < edges.left.size(); ++i) {
      edges.left[i] = int16_t(edges.left[i] + int(i) / 4);
      edges.right[i] = int16_t(edges.right[i] + int(i) / 4);
    }
    return AddImageDrop(w, Tim(seconds), {edges.left, edges.right, edges.left, edges.right}, 250);
  }
  CliRun Cli(const std::string &arguments) { return RunCli(arguments, Path("err.txt")); }

  int32_t first = 0, second = 0;
};

TEST_F(ExportTest, FramingKnowsWhereParticleRecordsStart) {
  WriteDay();
  CHydFile file;
  ASSERT_EQ(file.Open(Path("d.hyd"), CInputFile::modeRead), 1);
  ASSERT_EQ(file.SetPosition(second), 1);
  std::string message;
  EXPECT_EQ(IsParticleRecordStart(file, first, &message), 1) << message;
  EXPECT_EQ(IsParticleRecordStart(file, second, &message), 1) << message;
  EXPECT_EQ(file.GetPosition(), second) << "the read position is kept";
  for (int32_t pos : {0, first + 2, second - 1, second + 30, file.GetLength(), -4}) {
    EXPECT_EQ(IsParticleRecordStart(file, pos, &message), 0) << pos;
    EXPECT_EQ(message, "not the start of a particle record");
  }
}

TEST_F(ExportTest, CliWritesTheBlockOfTheParticleAtPos) {
  WriteDay();
  const CliRun off = Cli("export " + Path("d.hyd") + " " + std::to_string(second));
  ASSERT_EQ(off.status, 0) << off.err;
  // 2 s after 06:00 in camera lines, truncated to the millisecond.
  EXPECT_EQ(off.out.rfind("time           = 06:00:02.999\neq. diameter   =  2.500 mm\n", 0), 0u)
      << off.out;
  EXPECT_NE(off.out.find("\nSystem A (front view)     Corr.: 0.00 mm\nLine  1: "),
            std::string::npos)
      << "the correction is off by default: the shear is not applied";
  EXPECT_NE(off.out.find("\nSystem B (side view)      Corr.: 0.00 mm\nLine  1: "),
            std::string::npos);
  EXPECT_EQ(off.out.size() - off.out.rfind(STARS), STARS.size());

  const CliRun on = Cli("export --correction on " + Path("d.hyd") + " " + std::to_string(second));
  ASSERT_EQ(on.status, 0) << on.err;
  EXPECT_EQ(on.out.find("Corr.: 0.00 mm"), std::string::npos) << on.out;
  EXPECT_EQ(on.out.find("Corr.: -0.00 mm"), std::string::npos) << on.out;
  EXPECT_EQ(on.out.substr(0, 200), off.out.substr(0, 200)) << "only the shear differs";

  // Appending twice: two identical blocks beside the data file, nothing on stdout.
  for (int i = 0; i < 2; ++i) {
    const CliRun append =
        Cli("export --append --correction on " + Path("d.hyd") + " " + std::to_string(second));
    ASSERT_EQ(append.status, 0) << append.err;
    EXPECT_EQ(append.out, "");
  }
  EXPECT_EQ(Text(Path("d.txt")), on.out + on.out);
}

TEST_F(ExportTest, CliRefusesAPositionThatIsNoParticleStart) {
  WriteDay();
  const std::string before = Text(Path("d.hyd"));
  for (int32_t pos : {0, first + 2, second + 7, 1 << 20}) {
    const CliRun run = Cli("export " + Path("d.hyd") + " " + std::to_string(pos));
    EXPECT_EQ(run.status, 1) << pos;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::to_string(pos) + ": not the start of a particle record\n");
  }
  EXPECT_EQ(Cli("export " + Path("missing.hyd") + " 74").status, 2);
  EXPECT_EQ(Text(Path("d.hyd")), before);
  EXPECT_FALSE(std::filesystem::exists(Path("d.txt")));
}
