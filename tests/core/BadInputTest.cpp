// Bad input gives an error that says what and where, never figures, and the class write never
// lands anywhere but in the particle that was read.
#include "DocumentRecorder.h"
#include "TestFiles.h"
#include "document/CHydDataHandler.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testdata;

namespace {

MainHeader Header() { return synth::TypicalMainHeader(DAY + 6 * 3600); }

// A main header and three tiny drops at 06:00:01, :02 and :03; the middle one's time is `tim2`.
struct Day {
  std::vector<int32_t> starts;
  synth::HydWriter writer{4};
};

Day ThreeDrops(double tim2, const MainHeader &header = Header()) {
  Day day;
  day.writer.AddMainHeader(header);
  day.starts.push_back(AddTinyDrop(day.writer, Tim(6 * 3600 + 1)));
  day.starts.push_back(AddTinyDrop(day.writer, tim2));
  day.starts.push_back(AddTinyDrop(day.writer, Tim(6 * 3600 + 3)));
  return day;
}

} // namespace

class BadInputTest : public TempDirTest {
protected:
  std::string Write(const Day &day) {
    day.writer.Write(Path("d.hyd"), Path("d.hd"));
    return Path("d.hyd");
  }
  std::string OpenFailure(const std::string &path) {
    CHydDataHandler handler;
    CHydException e;
    EXPECT_EQ(handler.Open(path, CInputFile::modeRead, &e), 0);
    return e.message;
  }
};

TEST_F(BadInputTest, CorruptMainHeaderNamesFieldValueAndPosition) {
  struct Case {
    const char *field;
    void (*spoil)(MainHeader &);
  };
  const Case cases[] = {
      {"halfPixels = 32767", [](MainHeader &h) { h.halfPixels = 32767; }},
      {"halfPixels = 0", [](MainHeader &h) { h.halfPixels = 0; }},
      {"halfPixels = -1", [](MainHeader &h) { h.halfPixels = -1; }},
      {"lineFrequency = 0", [](MainHeader &h) { h.lineFrequency = 0; }},
      {"lineFrequency = -5", [](MainHeader &h) { h.lineFrequency = -5; }},
      {"lineFrequency = nan", [](MainHeader &h) { h.lineFrequency = std::nan(""); }},
      {"lineFrequency = 1e-300", [](MainHeader &h) { h.lineFrequency = 1e-300; }},
      {"scaleA = 0", [](MainHeader &h) { h.scaleA = 0; }},
      {"scaleB = inf", [](MainHeader &h) { h.scaleB = INFINITY; }},
      {"planeDistance2 = nan", [](MainHeader &h) { h.planeDistance2 = NAN; }},
  };
  for (const Case &c : cases) {
    MainHeader bad = Header();
    c.spoil(bad);
    // In the index file: the open is refused.
    const std::string message = OpenFailure(Write(ThreeDrops(Tim(6 * 3600 + 2), bad)));
    EXPECT_NE(message.find(c.field), std::string::npos) << message;
    EXPECT_NE(message.find("position 5770 of " + Path("d.hd")), std::string::npos) << message;

    // In the data stream: the read that meets it fails, naming the data file position.
    Day day = ThreeDrops(Tim(6 * 3600 + 2));
    const int32_t at = day.writer.AddMainHeader(bad, false);
    AddTinyDrop(day.writer, Tim(6 * 3600 + 5));
    CHydDataHandler handler;
    CHydException e;
    ASSERT_TRUE(handler.Open(Write(day), CInputFile::modeRead, &e)) << e.message;
    bool newMain = false;
    for (int i = 0; i < 2; ++i)
      ASSERT_NE(handler.GetNextHydData(newMain, &e), nullptr) << e.message;
    // The third particle's trailing pass meets the header; the read after it reports it.
    handler.GetNextHydData(newMain, &e);
    if (e.code == CHydException::none)
      handler.GetNextHydData(newMain, &e);
    EXPECT_EQ(e.code, CHydException::generic);
    EXPECT_NE(e.message.find(c.field), std::string::npos) << e.message;
    EXPECT_NE(e.message.find("position " + std::to_string(at)), std::string::npos) << e.message;
  }
}

TEST_F(BadInputTest, ParticleWithoutATimeOfDayFailsAloneAndTheWalkGoesOn) {
  for (double tim : {std::nan(""), 1e300, std::numeric_limits<double>::infinity()}) {
    const Day day = ThreeDrops(tim);
    const std::string path = Write(day);
    CHydDataHandler handler;
    CHydException e;
    ASSERT_TRUE(handler.Open(path, CInputFile::modeRead, &e)) << e.message;
    bool newMain = false;
    ASSERT_NE(handler.GetNextHydData(newMain, &e), nullptr);
    EXPECT_EQ(handler.GetNextHydData(newMain, &e), nullptr);
    EXPECT_EQ(e.code, CHydException::badRecordLength) << tim;
    EXPECT_NE(e.message.find("position " + std::to_string(day.starts[1])), std::string::npos)
        << e.message;
    ASSERT_TRUE(handler.LastFailureInComputation());
    EXPECT_EQ(handler.RecordEndAfterFailure(), day.starts[2]);

    // The document shows status 4 and goes on behind the record.
    CPluvicamDoc doc;
    doc.SetFilterSettings(WholeDayFilter());
    ASSERT_TRUE(doc.OpenHydFile(path));
    int status = -1;
    ASSERT_NE(doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status), nullptr);
    doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
    EXPECT_EQ(status, CPluvicamDoc::statusBadRecord);
    CHydData *third = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetHydHeader()->startPos, day.starts[2]);
    TimeOfDay t;
    EXPECT_EQ(doc.TimToTimeOfDay(tim, &t), 0) << "no clock time for it";
  }
}

TEST_F(BadInputTest, ATimeOfZeroOrMinusOneFailsThatParticleOnly) {
  // Before every main header: no clock time for it, as for NaN, but never the end of the walk.
  for (double tim : {0.0, -1.0}) {
    const Day day = ThreeDrops(tim);
    const std::string path = Write(day);
    CPluvicamDoc doc;
    doc.SetFilterSettings(WholeDayFilter());
    ASSERT_TRUE(doc.OpenHydFile(path));
    int status = -1;
    std::string message;
    ASSERT_NE(doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status), nullptr);
    doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status, &message);
    EXPECT_EQ(status, CPluvicamDoc::statusBadRecord) << tim;
    EXPECT_NE(message.find("no corresponding main header"), std::string::npos) << message;
    EXPECT_EQ(doc.GetHandler()->LastRecordStart(), day.starts[1]);
    CHydData *third = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
    ASSERT_NE(third, nullptr) << tim;
    EXPECT_EQ(third->GetHydHeader()->startPos, day.starts[2]);
  }
}

TEST_F(BadInputTest, NegativeIndexPositionsAreRefusedAtOpen) {
  for (int32_t position : {-2, std::numeric_limits<int32_t>::min()}) {
    Day day = ThreeDrops(Tim(6 * 3600 + 2));
    day.writer.SetMinutePosition(6 * 60 + 4, position);
    const std::string message = OpenFailure(Write(day));
    EXPECT_NE(message.find("position " + std::to_string(position) + " of minute 06:04"),
              std::string::npos)
        << message;
  }
  // A position at the very end is a minute after the last record, not an error.
  Day day = ThreeDrops(Tim(6 * 3600 + 2));
  day.writer.SetMinutePosition(6 * 60 + 4, day.writer.Size());
  CHydDataHandler handler;
  EXPECT_TRUE(handler.Open(Write(day), CInputFile::modeRead));
  EXPECT_EQ(handler.OpenNotice(), "");
}

TEST_F(BadInputTest, ADataFileShorterThanItsIndexOpensUpToItsEnd) {
  // Drops in 06:00, 06:01 and 06:02, each minute indexed; the copy ends inside 06:01's last
  // record, as a file still being written or copied part-way does.
  Day day;
  day.writer.AddMainHeader(Header());
  AddTinyDrop(day.writer, Tim(6 * 3600 + 1));
  day.writer.MarkMinute(6 * 60 + 1);
  AddTinyDrop(day.writer, Tim(6 * 3600 + 65));
  const int32_t cut = AddTinyDrop(day.writer, Tim(6 * 3600 + 90)) + 3;
  day.writer.MarkMinute(6 * 60 + 2);
  AddTinyDrop(day.writer, Tim(6 * 3600 + 130));
  day.writer.MarkMinute(6 * 60 + 3);
  const std::string path = Write(day);
  ASSERT_EQ(::truncate(path.c_str(), cut), 0);

  const std::string notice = "the index points past the end of the data from 06:02 on: the data "
                             "file is shorter than its index";
  CHydDataHandler handler;
  CHydException e;
  ASSERT_TRUE(handler.Open(path, CInputFile::modeRead, &e)) << e.message;
  EXPECT_EQ(handler.OpenNotice(), notice);
  EXPECT_EQ(handler.GetHeaderInfo().GetMinutePosition(6 * 60 + 2), -1) << "absent, not past";
  EXPECT_EQ(handler.GetHeaderInfo().GetMinutePosition(6 * 60 + 3), -1);
  EXPECT_GT(handler.GetHeaderInfo().GetMinutePosition(6 * 60 + 1), 0);

  // The document says so once and reads what the data hold; the end inside a record is a
  // truncated file.
  DocumentRecorder recorder(DocumentRecorder::Scope::ParticlesAndResets);
  CPluvicamDoc doc(&recorder);
  doc.SetFilterSettings(WholeDayFilter());
  ASSERT_TRUE(doc.OpenHydFile(path));
  EXPECT_EQ(recorder.TakeShown(), std::vector<std::string>{notice});
  int status = -1;
  for (double seconds : {6 * 3600 + 1, 6 * 3600 + 65}) {
    const CHydData *p = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
    ASSERT_EQ(status, CPluvicamDoc::statusAccepted);
    EXPECT_DOUBLE_EQ(p->GetHydHeader()->tim, Tim(seconds));
  }
  doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
  EXPECT_EQ(status, CPluvicamDoc::statusEndOfFile);
  EXPECT_FALSE(doc.EndedAtRecordBoundary());
}

TEST_F(BadInputTest, FilesThatAreNotWhatTheySeem) {
  const std::string path = Write(ThreeDrops(Tim(6 * 3600 + 2)));

  // A FIFO under either name: refused at once instead of waiting for a writer.
  ASSERT_EQ(::rename(Path("d.hd").c_str(), Path("keep.hd").c_str()), 0);
  ASSERT_EQ(::mkfifo(Path("d.hd").c_str(), 0600), 0);
  EXPECT_EQ(OpenFailure(path), "index file " + Path("d.hd") + " is not a regular file");
  ASSERT_EQ(::mkfifo(Path("f.hyd").c_str(), 0600), 0);
  EXPECT_EQ(OpenFailure(Path("f.hyd")), "data file " + Path("f.hyd") + " is not a regular file");
  ::unlink(Path("d.hd").c_str());

  // Open failures name the file and which one it is.
  EXPECT_EQ(OpenFailure(path), "index file " + Path("d.hd") + ": No such file or directory");
  EXPECT_EQ(OpenFailure(Path("none.hyd")),
            "data file " + Path("none.hyd") + ": No such file or directory");
  std::filesystem::create_directory(Path("dir.hyd"));
  EXPECT_EQ(OpenFailure(Path("dir.hyd")),
            "data file " + Path("dir.hyd") + " is not a regular file");
  const std::string longName = Path(std::string(300, 'x') + ".hyd");
  EXPECT_EQ(OpenFailure(longName), "data file " + longName + ": File name too long");

  // Over 2 GiB the index's 32-bit positions cannot reach the data: refused, not read in part.
  ASSERT_EQ(::rename(Path("keep.hd").c_str(), Path("d.hd").c_str()), 0);
  ASSERT_EQ(::truncate(path.c_str(), (int64_t(1) << 31) + 16), 0);
  const std::string message = OpenFailure(path);
  EXPECT_EQ(
      message.rfind("data file " + path + ": file of 2147483664 bytes is larger than 2 GiB", 0), 0u)
      << message;
}

class ClassWriteTest : public BadInputTest {
protected:
  void SetUp() override {
    BadInputTest::SetUp();
    day = ThreeDrops(Tim(6 * 3600 + 2));
    path = Write(day);
    original = synth::ReadFile(path);
  }
  // Reads the first particle read-write.
  void ReadFirst() {
    CHydException e;
    ASSERT_TRUE(handler.Open(path, CInputFile::modeReadWrite, &e)) << e.message;
    bool newMain = false;
    ASSERT_NE(handler.GetNextHydData(newMain, &e), nullptr) << e.message;
  }
  std::string SetClass(unsigned dropType = 3) {
    CHydException e;
    EXPECT_EQ(handler.SetDropType(dropType, &e), 0);
    return e.message;
  }

  Day day;
  std::string path;
  std::vector<uint8_t> original;
  CHydDataHandler handler;
};

TEST_F(ClassWriteTest, WritesIntoTheParticleThatWasRead) {
  ReadFirst();
  CHydException e;
  ASSERT_EQ(handler.SetDropType(3, &e), 1) << e.message;
  std::vector<uint8_t> expected = original;
  expected[size_t(day.starts[0]) + 3] |= 3 << 3;
  EXPECT_EQ(synth::ReadFile(path), expected);
}

TEST_F(ClassWriteTest, RefusesAFileThatChangedSinceTheRead) {
  ReadFirst();
  // Truncated behind the particle.
  ASSERT_EQ(::truncate(path.c_str(), day.starts[1]), 0);
  EXPECT_NE(SetClass().find("changed its length"), std::string::npos);
  std::vector<uint8_t> cut(original.begin(), original.begin() + day.starts[1]);
  EXPECT_EQ(synth::ReadFile(path), cut);
  synth::WriteFile(path + ".new", original);
  ASSERT_EQ(::truncate(path.c_str(), int64_t(original.size())), 0);

  // Replaced by rename: the old file is gone from the name, the new one is not touched.
  ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
  EXPECT_NE(SetClass().find("no longer the file that was read"), std::string::npos);
  EXPECT_EQ(synth::ReadFile(path), original);
}

TEST_F(ClassWriteTest, RefusesARecordThatMoved) {
  ReadFirst();
  // The same length, but the records shifted by two bytes.
  std::vector<uint8_t> shifted(original.begin() + 2, original.end());
  shifted.push_back(0);
  shifted.push_back(0);
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, shifted.data(), shifted.size(), 0), ssize_t(shifted.size()));
  ::close(fd);
  const std::string message = SetClass();
  EXPECT_NE(message.find("is no longer the particle that was read; nothing written"),
            std::string::npos)
      << message;
  EXPECT_EQ(synth::ReadFile(path), shifted);
}

TEST_F(ClassWriteTest, ReadOnlyFileSaysWriteProtected) {
  CHydException e;
  ASSERT_TRUE(handler.Open(path, CInputFile::modeRead, &e));
  bool newMain = false;
  ASSERT_NE(handler.GetNextHydData(newMain, &e), nullptr);
  EXPECT_EQ(handler.SetDropType(3, &e), 0);
  EXPECT_EQ(e.code, CHydException::accessDenied);
  EXPECT_EQ(e.message, "Could not write to hyd-file:access denied: hyd file is write-protected");
  EXPECT_EQ(synth::ReadFile(path), original);

  CPluvicamDoc doc;
  ASSERT_TRUE(doc.OpenHydFile(path, nullptr, true));
  EXPECT_EQ(doc.GetFileState(), CPluvicamDoc::fileReadOnly) << "asked read-only, even writable";
}

TEST_F(ClassWriteTest, TwoWritersBothLandAndEachReportsTheClassItReplaced) {
  // Both read the particle while it was still unclassified.
  ReadFirst();
  CHydDataHandler other;
  CHydException e;
  ASSERT_TRUE(other.Open(path, CInputFile::modeReadWrite, &e));
  bool newMain = false;
  ASSERT_NE(other.GetNextHydData(newMain, &e), nullptr);
  unsigned replaced = 9;
  ASSERT_EQ(handler.SetDropType(3, &e, &replaced), 1) << e.message;
  EXPECT_EQ(replaced, 0u);
  ASSERT_EQ(other.SetDropType(4, &e, &replaced), 1) << e.message;
  EXPECT_EQ(replaced, 3u) << "the class the first writer left, not the one read earlier";
  std::vector<uint8_t> expected = original;
  expected[size_t(day.starts[0]) + 3] |= 4 << 3;
  EXPECT_EQ(synth::ReadFile(path), expected);

  // At the same time, round after round: every write lands, in some order, each replacing
  // what the other left.
  constexpr int ROUNDS = 100;
  for (int round = 0; round < ROUNDS; ++round) {
    unsigned first = 9, second = 9;
    int wroteFirst = 0, wroteSecond = 0;
    std::thread a([&] { wroteFirst = handler.SetDropType(1, nullptr, &first); });
    std::thread b([&] { wroteSecond = other.SetDropType(2, nullptr, &second); });
    a.join();
    b.join();
    ASSERT_EQ(wroteFirst + wroteSecond, 2) << "round " << round;
    const unsigned final = unsigned(synth::ReadFile(path)[size_t(day.starts[0]) + 3] >> 3);
    // The later writer replaced the earlier one's class.
    EXPECT_TRUE((final == 2 && second == 1) || (final == 1 && first == 2))
        << "round " << round << ": " << first << " " << second << " -> " << final;
  }
}

TEST_F(ClassWriteTest, AWriterThatCannotGetTheFileIsToldItIsBusy) {
  ReadFirst();
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  // Held for longer than a writer waits.
  const std::string message = SetClass();
  ::close(holder);
  EXPECT_NE(message.find("the file is busy"), std::string::npos) << message;
  EXPECT_EQ(synth::ReadFile(path), original);
}
