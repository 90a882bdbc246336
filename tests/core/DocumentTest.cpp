#include "DocumentRecorder.h"
#include "TestFiles.h"
#include "document/CHydDataHandler.h"
#include "document/CPluvicamDoc.h"
#include "document/DocumentRun.h"
#include "particle/CContour.h"
#include "particle/CHydData.h"
#include "synth/RainEncoder.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace testdata;

namespace {

using Recorder = DocumentRecorder;

TimeOfDay At(int h, int m, int s) {
  TimeOfDay t;
  t.hour = int16_t(h);
  t.minute = int16_t(m);
  t.second = int16_t(s);
  return t;
}

std::vector<uint8_t> WindBytes(const std::vector<WindRecord> &records) {
  std::vector<uint8_t> bytes;
  for (const WindRecord &r : records)
    for (uint16_t w : {r.windSpeed, r.windDirection, r.windExtra, uint16_t(r.temperature)}) {
      bytes.push_back(uint8_t(w));
      bytes.push_back(uint8_t(w >> 8));
    }
  return bytes;
}

class DocumentTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    doc.AddListener(&rec);
  }

  // "d.hyd": a main header at 06:00 and tiny drops at the given seconds of day, with the class
  // of `types` where given; minute 06:01 is indexed when a drop lies in it.
  void WriteDay(const std::vector<double> &seconds, const std::vector<int> &types = {}) {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    bool marked = false;
    for (size_t i = 0; i < seconds.size(); ++i) {
      if (!marked && seconds[i] >= 6 * 3600 + 60) {
        w.MarkMinute(6 * 60 + 1);
        marked = true;
      }
      positions.push_back(AddTinyDrop(w, Tim(seconds[i]), i < types.size() ? types[i] : 0));
    }
    w.Write(Path("d.hyd"), Path("d.hd"));
  }
  // The whole day, everything the tiny drops need to pass.
  void Window(TimeOfDay start = At(0, 0, 0), TimeOfDay end = At(24, 0, 0), int type = 0) {
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.startTime = start;
    f.endTime = end;
    f.dropType = int16_t(type);
    doc.SetFilterSettings(f);
    rec.TakeEvents();
  }
  int Open() {
    const int ok = doc.OpenHydFile(Path("d.hyd"), &message);
    rec.TakeEvents();
    return ok;
  }
  int Read(CPluvicamDoc::ReadDirection direction = CPluvicamDoc::ReadDirection::Next) {
    int status = -1;
    doc.ReadHydData(direction, &status, &message);
    return status;
  }
  double CurrentSeconds() const { return doc.GetHydHeader()->tim / LINES_PER_SECOND; }

  Recorder rec;
  CPluvicamDoc doc{&rec};
  std::string message;
  std::vector<int32_t> positions;
};

TEST_F(DocumentTest, OpenAndCloseNotifyInOrder) {
  FilterRecord f;
  doc.SetFilterSettings(f);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"filter", "top"}));
  WriteDay({6 * 3600 + 1});
  EXPECT_EQ(doc.OpenHydFile(Path("d.hyd"), &message), 1) << message;
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"bounds 511", "top"}))
      << "no message without a wind file";
  EXPECT_EQ(doc.GetFileState(), CPluvicamDoc::fileReadWrite);
  EXPECT_EQ(doc.GetStatus(), CPluvicamDoc::statusRejected);
  EXPECT_FALSE(doc.HasWindFile());

  // Opening again closes the first file before anything else.
  EXPECT_EQ(doc.OpenHydFile(Path("d.hyd"), &message), 1);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"stop", "reset 0", "bounds 511", "top"}));

  doc.CloseHydFile();
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"stop", "reset 0"}));
  EXPECT_EQ(doc.GetFileState(), CPluvicamDoc::fileNone);
  EXPECT_EQ(doc.GetHandler(), nullptr);
  doc.CloseHydFile();
  EXPECT_TRUE(rec.TakeEvents().empty()) << "closing without a file tells nobody";
}

TEST_F(DocumentTest, FailedOpenLeavesNoFile) {
  EXPECT_EQ(doc.OpenHydFile(Path("missing.hyd"), &message), 0);
  EXPECT_EQ(message, "data file " + Path("missing.hyd") + ": No such file or directory");
  EXPECT_EQ(doc.GetStatusText(), message);
  EXPECT_EQ(doc.GetHandler(), nullptr);

  EXPECT_EQ(Read(), CPluvicamDoc::statusError);
  EXPECT_EQ(message, "CPluvicamDoc::ReadHydData: m_hydHandler = NULL");
}

TEST_F(DocumentTest, OutOfTimeRangeIsStickyForwards) {
  WriteDay({6 * 3600 + 1, 6 * 3600 + 2, 6 * 3600 + 5});
  Window(At(6, 0, 0), At(6, 0, 3));
  ASSERT_EQ(Open(), 1) << message;
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(Read(), CPluvicamDoc::statusOutOfTime);
  EXPECT_EQ(message, "Out of time range");
  EXPECT_EQ(doc.GetHydData(), nullptr);

  const int32_t pos = doc.GetHandler()->GetHydFile().GetPosition();
  EXPECT_EQ(Read(), CPluvicamDoc::statusOutOfTime);
  EXPECT_EQ(doc.GetHandler()->GetHydFile().GetPosition(), pos) << "nothing read";

  EXPECT_EQ(Read(CPluvicamDoc::ReadDirection::Previous), CPluvicamDoc::statusAccepted)
      << "a backward read is not blocked";
  EXPECT_DOUBLE_EQ(CurrentSeconds(), 6 * 3600 + 2);

  doc.ResetData();
  EXPECT_EQ(doc.GetStatus(), CPluvicamDoc::statusRejected);
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_DOUBLE_EQ(CurrentSeconds(), 6 * 3600 + 1);
}

TEST_F(DocumentTest, EndOfFileIsStickyAndBackwardReadsTheLastParticle) {
  WriteDay({6 * 3600 + 1, 6 * 3600 + 2});
  Window();
  ASSERT_EQ(Open(), 1) << message;
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(Read(), CPluvicamDoc::statusEndOfFile);
  EXPECT_EQ(message, "End of file");
  EXPECT_EQ(doc.GetStatusText(), "End of file");
  EXPECT_EQ(Read(), CPluvicamDoc::statusEndOfFile);
  EXPECT_EQ(Read(CPluvicamDoc::ReadDirection::Previous), CPluvicamDoc::statusAccepted);
  EXPECT_DOUBLE_EQ(CurrentSeconds(), 6 * 3600 + 2);
}

TEST_F(DocumentTest, WindowStartingInsideAMinuteSkipsItsFirstSeconds) {
  WriteDay({6 * 3600 + 30, 6 * 3600 + 61, 6 * 3600 + 75, 6 * 3600 + 80});
  Window(At(6, 1, 10), At(6, 1, 20));
  ASSERT_EQ(Open(), 1) << message;
  EXPECT_EQ(Read(), CPluvicamDoc::statusRejected) << "06:01:01 lies before the start";
  EXPECT_DOUBLE_EQ(CurrentSeconds(), 6 * 3600 + 61) << "reading began at the indexed minute";
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(Read(), CPluvicamDoc::statusOutOfTime);
  EXPECT_EQ(Read(CPluvicamDoc::ReadDirection::Previous), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(Read(CPluvicamDoc::ReadDirection::Previous), CPluvicamDoc::statusOutOfTime)
      << "backwards, the start ends the window";
}

TEST_F(DocumentTest, UnindexedStartMinuteIsReportedAndReadFromTheStart) {
  WriteDay({6 * 3600 + 1, 6 * 3600 + 150});
  Window(At(6, 2, 0), At(6, 3, 0)); // minute 06:02 has no index position
  EXPECT_EQ(doc.OpenHydFile(Path("d.hyd"), &message), 1);
  EXPECT_EQ(rec.TakeEvents(),
            (std::vector<std::string>{"message CHydDataHandler::SetHydFilePosition: could not "
                                      "get file position",
                                      "bounds 511", "top"}));
  const RunStepResult step = StepDocument(doc);
  EXPECT_EQ(step.status, CPluvicamDoc::statusAccepted);
  EXPECT_DOUBLE_EQ(CurrentSeconds(), 6 * 3600 + 150);
}

TEST_F(DocumentTest, ClassFilterAndNewMainHeader) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, Tim(6 * 3600 + 1), 1);
  MainHeader wide = synth::TypicalMainHeader(DAY + 6 * 3600 + 10);
  wide.halfPixels = 512;
  wide.lastPixel = 1019;
  w.AddMainHeader(wide, false);
  AddTinyDrop(w, Tim(6 * 3600 + 11), 4);
  w.Write(Path("d.hyd"), Path("d.hd"));
  Window(At(0, 0, 0), At(24, 0, 0), 4);
  ASSERT_EQ(Open(), 1) << message;

  EXPECT_EQ(Read(), CPluvicamDoc::statusRejected);
  EXPECT_NE(doc.GetHydData(), nullptr) << "a rejected particle stays readable";
  EXPECT_TRUE(rec.TakeEvents().empty());
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"bounds 1023", "top"}));
}

TEST_F(DocumentTest, RainRateIntervalsOfATenthMillimetre) {
  MainHeader header = synth::TypicalMainHeader(0);
  header.lineFrequency = 1000;
  HydRecord r;
  r.mainHeader = &header;
  r.area = 100;
  r.volume = 4; // 0.04 mm each
  for (double t : {1000.0, 2000.0}) {
    r.tim = t;
    EXPECT_FALSE(doc.AddRainRate(&r));
  }
  r.tim = 3500;
  EXPECT_TRUE(doc.AddRainRate(&r)) << "the third 0.04 mm completes the interval";
  ASSERT_EQ(doc.GetRateList().size(), 1u);
  const RateEntry &first = doc.GetRateList().front();
  EXPECT_TRUE(first.complete);
  EXPECT_EQ(first.startTim, 1000);
  EXPECT_EQ(first.endTim, 3500);
  EXPECT_FLOAT_EQ(first.duration, 2.5f);

  r.area = 0; // no measuring area, no rain: nothing divides by zero, no interval opens
  EXPECT_FALSE(doc.AddRainRate(&r));
  EXPECT_EQ(doc.GetRateList().size(), 1u);
  EXPECT_FALSE(doc.AddRainRate(nullptr));

  r.area = 100;
  r.tim = 4000;
  EXPECT_FALSE(doc.AddRainRate(&r));
  r.mainHeader = nullptr;
  r.volume = 10;
  r.tim = 4000;
  EXPECT_TRUE(doc.AddRainRate(&r));
  EXPECT_EQ(doc.GetRateList().front().duration, 0.0f) << "no main header, no duration";
  EXPECT_EQ(doc.GetRateList().back().endTim, 3500) << "newest first";

  doc.TrimRateList(5);
  EXPECT_EQ(doc.GetRateList().size(), 2u) << "fewer entries than kept: nothing goes";
  doc.TrimRateList(1);
  ASSERT_EQ(doc.GetRateList().size(), 1u);
  EXPECT_EQ(doc.GetRateList().front().endTim, 4000) << "the newest stays";

  doc.ResetData();
  EXPECT_TRUE(doc.GetRateList().empty());
}

TEST_F(DocumentTest, EachIntegrationKindResetsOnlyItsOwnRecord) {
  IntegrationSettings &rain = doc.GetIntegrationSettings(IntegrationKind::RainRate);
  IntegrationSettings &dsd = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  ASSERT_NE(&rain, &dsd);
  rain.mode = dsd.mode = IntegrationMode::Objects;
  rain.timeInterval = dsd.timeInterval = 5;
  doc.ResetIntegration(IntegrationKind::RainRate);
  EXPECT_EQ(rain.mode, IntegrationMode::Rain);
  EXPECT_EQ(rain.timeInterval, 15.0f);
  EXPECT_EQ(dsd.mode, IntegrationMode::Objects) << "the distribution's record is untouched";
  doc.ResetIntegration(IntegrationKind::Dsd);
  EXPECT_EQ(dsd.mode, IntegrationMode::Time);
  EXPECT_EQ(dsd.timeInterval, 60.0f);
  EXPECT_EQ(rain.timeInterval, 15.0f);
}

TEST_F(DocumentTest, ClassWrite) {
  std::string msg;
  EXPECT_EQ(doc.SetNewParticleClass(3, &msg), 0);
  EXPECT_EQ(msg, "CPluvicamDoc::SetNewParticleClass: hydHandler = NULL");
  WriteDay({6 * 3600 + 1, 6 * 3600 + 2}, {1, 1});
  Window(At(0, 0, 0), At(24, 0, 0), 1);
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(doc.SetNewParticleClass(3, &msg), 0);
  EXPECT_EQ(msg, "CPluvicamDoc::SetNewParticleClass: no valid hydData available");

  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(doc.SetNewParticleClass(4, &msg), 1) << msg;
  EXPECT_EQ(doc.GetHydHeader()->dropType, 4);
  EXPECT_EQ(doc.SetNewParticleClass(7, &msg), 0);
  EXPECT_EQ(msg, "CHydDataHandler::SetDropType: wrong dropType");

  // Read back from the file, the rewritten particle fails the class filter: nothing is written.
  doc.ResetData();
  EXPECT_EQ(Read(), CPluvicamDoc::statusRejected);
  EXPECT_EQ(doc.SetNewParticleClass(5, &msg), 1);
  EXPECT_EQ(Read(), CPluvicamDoc::statusAccepted);
}

// Root may open any file for writing unless it is immutable; that is the write-protected file
// the document has to open read-only.
class Immutable {
public:
  explicit Immutable(const std::string &path) : fd(::open(path.c_str(), O_RDONLY)) {
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
  }
  ~Immutable() {
    int flags = 0;
    if (set && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0)
      ::close(fd);
  }
  bool set = false;

private:
  int fd;
};

TEST_F(DocumentTest, WriteProtectedFileOpensReadOnly) {
  WriteDay({6 * 3600 + 1});
  Window();
  const std::vector<uint8_t> before = synth::ReadFile(Path("d.hyd"));
  Immutable guard(Path("d.hyd"));
  if (!guard.set)
    GTEST_SKIP() << "this file system cannot make a file write-protected for root";
  ASSERT_EQ(Open(), 1) << message;
  EXPECT_EQ(doc.GetFileState(), CPluvicamDoc::fileReadOnly);
  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  std::string msg;
  EXPECT_EQ(doc.SetNewParticleClass(4, &msg), 0);
  EXPECT_EQ(msg.rfind("Could not write to hyd-file:", 0), 0u) << msg;
  EXPECT_EQ(doc.GetHydHeader()->dropType, 0) << "the record keeps the class of the file";
  EXPECT_EQ(synth::ReadFile(Path("d.hyd")), before);
}

TEST_F(DocumentTest, WindReadingOfTheParticlesSlot) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY));
  for (double s : {5.0, 7.0, 86399.0})
    AddTinyDrop(w, Tim(s));
  w.Write(Path("d.hyd"), Path("d.hd"));
  std::vector<WindRecord> day(28800);
  day[1] = {250, 180, 7, -512};
  day[28799] = {1, 2, 0, 0};
  synth::WriteFile(Path("d.wd"), WindBytes(day));
  Window();
  ASSERT_EQ(Open(), 1);
  EXPECT_TRUE(doc.HasWindFile());

  WindRecord wind;
  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_FALSE(doc.GetWindData(&wind)) << "nothing before the wind is read";
  EXPECT_EQ(doc.ReadWindData(&message), 1);
  ASSERT_TRUE(doc.GetWindData(&wind)) << "00:00:05 lies in record 1";
  EXPECT_EQ(wind.windSpeed, 250);
  EXPECT_EQ(wind.windDirection, 180);
  EXPECT_EQ(wind.temperature, -512);

  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(doc.ReadWindData(&message), 1);
  EXPECT_FALSE(doc.GetWindData(&wind)) << "four zero words: no reading";

  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(doc.ReadWindData(&message), 1);
  ASSERT_TRUE(doc.GetWindData(&wind));
  EXPECT_EQ(wind.windDirection, 2) << "23:59:59 lies in record 28799";
}

TEST_F(DocumentTest, ShortWindFileEndsSilently) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY));
  for (double s : {5.0, 6.0, 7.0})
    AddTinyDrop(w, Tim(s));
  w.Write(Path("d.hyd"), Path("d.hd"));
  synth::WriteFile(Path("d.wd"), WindBytes({{1, 1, 1, 1}, {3, 3, 3, 3}}));
  Window();
  ASSERT_EQ(Open(), 1);

  EXPECT_EQ(StepDocument(doc).status, CPluvicamDoc::statusAccepted);
  EXPECT_TRUE(doc.GetWindData(nullptr));
  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(doc.ReadWindData(&message), 0) << "00:00:06 lies behind 16 bytes";
  EXPECT_EQ(message, "Windfile: End of file");
  EXPECT_FALSE(doc.GetWindData(nullptr));

  const RunStepResult step = StepDocument(doc);
  EXPECT_EQ(step.status, CPluvicamDoc::statusAccepted);
  EXPECT_FALSE(step.stop);
  EXPECT_FALSE(doc.GetWindData(nullptr));
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"particle", "particle"})) << "no message";
}

TEST_F(DocumentTest, UnopenableWindFileIsReportedOnce) {
  WriteDay({6 * 3600 + 1});
  std::filesystem::create_directory(Path("d.wd"));
  Window();
  EXPECT_EQ(doc.OpenHydFile(Path("d.hyd"), &message), 1);
  EXPECT_EQ(rec.TakeEvents(),
            (std::vector<std::string>{"message Could not open windfile because: " + Path("d.wd") +
                                          " is not a regular file",
                                      "bounds 511", "top"}));
  EXPECT_FALSE(doc.HasWindFile());
  EXPECT_EQ(StepDocument(doc).status, CPluvicamDoc::statusAccepted);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"particle"}));
}

TEST_F(DocumentTest, RunStepOrderAndStops) {
  WriteDay({6 * 3600 + 1, 6 * 3600 + 2, 6 * 3600 + 3});
  Window(At(6, 0, 0), At(6, 0, 3));
  ASSERT_EQ(Open(), 1);
  // Rain of one tiny drop, to know how many complete an interval.
  ASSERT_EQ(StepDocument(doc).status, CPluvicamDoc::statusAccepted);
  const HydRecord *r = doc.GetHydHeader();
  ASSERT_GT(r->area, 0);
  const double depth = double(r->volume / r->area);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"particle"}));

  // Two tiny drops stay far below a rain step of 0.1 mm: no reset comes before the particle.
  ASSERT_LT(2 * depth, double(0.1f));
  const RunStepResult second = StepDocument(doc);
  EXPECT_FALSE(second.stop);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"particle"}));

  const RunStepResult end = StepDocument(doc);
  EXPECT_EQ(end.status, CPluvicamDoc::statusOutOfTime);
  EXPECT_TRUE(end.stop);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"particle"})) << "views see the end too";

  doc.CloseHydFile();
  rec.TakeEvents();
  const RunStepResult error = StepDocument(doc);
  EXPECT_EQ(error.status, CPluvicamDoc::statusError);
  EXPECT_TRUE(error.stop);
  EXPECT_EQ(rec.TakeEvents(),
            (std::vector<std::string>{"message CPluvicamDoc::ReadHydData: m_hydHandler = NULL"}))
      << "an error tells no view";
}

TEST_F(DocumentTest, Contours) {
  std::string msg;
  EXPECT_EQ(doc.CreateContours(ContourMode::Raw, &msg), -1);
  EXPECT_EQ(msg, "CPluvicamDoc::CreateContours: no valid hyd-data available");

  // A drop of one line per camera has too few points for an outline.
  WriteDay({6 * 3600 + 1});
  Window();
  ASSERT_EQ(Open(), 1);
  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(doc.CreateContours(ContourMode::SmoothWithRawFallback, &msg), 0);
  EXPECT_EQ(msg, "CContour::Create: number of points < 4");
  EXPECT_EQ(doc.GetStatus(), CPluvicamDoc::statusBadRecord);
  int valid = -1;
  EXPECT_NE(doc.GetContour(Camera::A, &valid), nullptr);
  EXPECT_EQ(valid, 0);
  EXPECT_EQ(doc.SetNewParticleClass(4, &msg), 1);
  EXPECT_EQ(doc.GetHydHeader()->dropType, 0) << "not an accepted particle: nothing written";
  Read();
  EXPECT_EQ(doc.GetContour(Camera::B, &valid), nullptr) << "a read drops the contours";
  EXPECT_EQ(valid, 0);

  // A drop of ten lines has its outline in both cameras.
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  synth::RainImage box;
  box.leftA = box.leftB = std::vector<int16_t>(10, 150);
  box.rightA = box.rightB = std::vector<int16_t>(10, 160);
  const synth::EncodedRain enc = synth::EncodeRain(box);
  PixHeader h;
  h.tim = Tim(6 * 3600 + 1);
  h.eqDiam = 200;
  h.lineCountA = 10;
  h.absv = 200;
  h.offsetA = enc.offsetA;
  h.offsetB = enc.offsetB;
  h.pixScaleH = 1500;
  h.pixScaleA = h.pixScaleB = 1800;
  w.AddPixRecord(h, enc.data, enc.bits);
  w.Write(Path("box.hyd"), Path("box.hd"));
  ASSERT_EQ(doc.OpenHydFile(Path("box.hyd"), &msg), 1) << msg;
  ASSERT_EQ(Read(), CPluvicamDoc::statusAccepted) << message;
  for (ContourMode mode : {ContourMode::Raw, ContourMode::SmoothWithRawFallback}) {
    EXPECT_EQ(doc.CreateContours(mode, &msg), 1) << msg;
    EXPECT_EQ(doc.GetStatus(), CPluvicamDoc::statusAccepted);
    ASSERT_NE(doc.GetContour(Camera::B, &valid), nullptr);
    EXPECT_EQ(valid, 1);
    EXPECT_GE(doc.GetContour(Camera::B)->GetCount(), 4);
  }

  synth::HydWriter snow(4);
  snow.AddMainHeader(synth::TypicalMainHeader(DAY));
  snow.Write(Path("s.sno"), Path("s.shd"));
  ASSERT_EQ(doc.OpenHydFile(Path("s.sno"), &msg), 1) << msg;
  EXPECT_EQ(doc.CreateContours(ContourMode::Raw, &msg), -1);
  EXPECT_EQ(msg, "CPluvicamDoc::CreateContours: This method is not available for sno-data.");
}

} // namespace
