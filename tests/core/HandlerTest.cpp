#include "TestFiles.h"
#include "document/CHydDataHandler.h"
#include "particle/CHydData.h"

#include <cmath>
#include <cstdio>

using namespace testdata;

class HandlerTest : public TempDirTest {
protected:
  // A format-4 rain file "d.hyd": main header at 0 (06:00), particles at the given seconds of day.
  void WriteDay(const std::vector<double> &seconds, bool quartBetween = false) {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    for (double s : seconds) {
      positions.push_back(AddTinyDrop(w, Tim(s)));
      if (quartBetween)
        w.AddQuartHeader();
    }
    w.Write(Path("d.hyd"), Path("d.hd"));
  }
  int Open(const std::string &name = "d.hyd") {
    return handler.Open(Path(name), CInputFile::modeReadWrite, &e);
  }
  const HydRecord *Next() {
    CHydData *d = handler.GetNextHydData(newMain, &e);
    return d ? d->GetHydHeader() : nullptr;
  }

  CHydDataHandler handler;
  CHydException e;
  bool newMain = false;
  std::vector<int32_t> positions;
};

TEST_F(HandlerTest, FileKindsAndIndexNames) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY));
  w.Write(Path("data.pix"), Path("data.hd"));
  EXPECT_EQ(Open("data.pix"), 1) << e.message;
  EXPECT_FALSE(handler.IsSno());
  EXPECT_EQ(handler.GetFormat(), 4);
  handler.Close();

  w.Write(Path("snow.SNO"), Path("snow.shd"));
  EXPECT_EQ(Open("snow.SNO"), 1) << e.message;
  EXPECT_TRUE(handler.IsSno());
  handler.Close();

  synth::WriteFile(Path("data.txt"), {});
  EXPECT_EQ(Open("data.txt"), 0);
  EXPECT_EQ(e.message, "Error: file is not a hyd- or sno-file");

  synth::WriteFile(Path("lonely.hyd"), w.Bytes());
  EXPECT_EQ(Open("lonely.hyd"), 0);
  EXPECT_EQ(e.code, 2) << "a missing index file";
  EXPECT_FALSE(handler.IsSno());
  EXPECT_EQ(handler.GetFormat(), 0);
  EXPECT_EQ(handler.GetLineFrequency(), -1.0);

  synth::HydWriter old(3);
  old.AddMainHeader(synth::TypicalMainHeader(DAY));
  old.Write(Path("old.sno"), Path("old.shd"));
  EXPECT_EQ(Open("old.sno"), 0);
  EXPECT_EQ(e.message, "invalid format of the sno-data: 3 \nThis application supports only "
                       "sno-data formats > 3");
  EXPECT_FALSE(handler.IsSno());
}

TEST_F(HandlerTest, TimeIndexFromIndexFile) {
  synth::HydWriter w(4);
  MainHeader first = synth::TypicalMainHeader(DAY + 3600);
  first.halfPixels = 512;
  w.AddMainHeader(first);
  w.AddMainHeader(first);
  w.Write(Path("d.hyd"), Path("d.hd"));
  ASSERT_EQ(Open(), 1) << e.message;
  EXPECT_EQ(handler.GetTimeIndex().size(), 1u) << "a repeated header is one entry";
  EXPECT_EQ(handler.GetTimeIndex().front().line, std::floor(3600 * LINES_PER_SECOND));
  EXPECT_EQ(handler.GetFilterRange().maxPixA, 1023);
  EXPECT_EQ(handler.GetFilterRange().maxPixB, 1023);
  handler.Close();

  synth::HydWriter back(4);
  back.AddMainHeader(synth::TypicalMainHeader(DAY + 3600));
  back.AddMainHeader(synth::TypicalMainHeader(DAY + 1800));
  back.Write(Path("d.hyd"), Path("d.hd"));
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(e.message, "CHydDataHandler::MainTim: neg. time jump ?!?!?!");

  synth::HydWriter corrupt(4);
  corrupt.AddMainHeader(synth::TypicalMainHeader(DAY));
  auto index = corrupt.IndexBytes();
  index.insert(index.end(), {0xE8, 0xFF, 0, 0});
  synth::WriteFile(Path("d.hd"), index);
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(e.message, "CHydDataHandler::EvaluateHeaderFile: corrupted header file");
}

TEST_F(HandlerTest, OneParticleForwardsAndBack) {
  WriteDay({6 * 3600 + 10});
  ASSERT_EQ(Open(), 1) << e.message;
  const HydRecord *r = Next();
  ASSERT_NE(r, nullptr) << e.message;
  EXPECT_EQ(r->startPos, 74);
  EXPECT_EQ(r->prevPos, 0);
  EXPECT_EQ(r->nextPos, 74 + 34);
  EXPECT_EQ(Next(), nullptr);
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(e.message, "End of file");
  EXPECT_TRUE(handler.EndedAtRecordBoundary());
  CHydData *again = handler.GetPreviousHydData(newMain, &e);
  ASSERT_NE(again, nullptr) << e.message;
  EXPECT_EQ(again->GetHydHeader()->startPos, 74);
}

TEST_F(HandlerTest, HeadersBetweenParticlesAreSkippedBothWays) {
  WriteDay({6 * 3600 + 10, 6 * 3600 + 11, 6 * 3600 + 12}, true);
  ASSERT_EQ(Open(), 1);
  const HydRecord *r = Next();
  ASSERT_NE(r, nullptr) << e.message;
  EXPECT_EQ(r->nextPos, positions[1]);
  r = Next();
  ASSERT_NE(r, nullptr) << e.message;
  EXPECT_EQ(r->startPos, positions[1]);
  EXPECT_EQ(r->prevPos, positions[0]);
  r = Next();
  ASSERT_NE(r, nullptr) << e.message;
  EXPECT_EQ(r->prevPos, positions[1]);
  // The last particle is followed by a quart header and then the end of the file: its
  // predecessor is still a particle, never the header.
  EXPECT_EQ(r->startPos, positions[2]);
  EXPECT_EQ(Next(), nullptr);
  EXPECT_EQ(e.code, 1);
  CHydData *back = handler.GetPreviousHydData(newMain, &e);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetHydHeader()->startPos, positions[2]);
  back = handler.GetPreviousHydData(newMain, &e);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetHydHeader()->startPos, positions[1]);
}

TEST_F(HandlerTest, MainHeadersInTheStream) {
  synth::HydWriter w(4);
  MainHeader morning = synth::TypicalMainHeader(DAY + 6 * 3600);
  MainHeader noon = morning;
  noon.time = DAY + 12 * 3600;
  noon.scaleA = 0.19f;
  w.AddMainHeader(morning);
  AddTinyDrop(w, Tim(6 * 3600 + 1));
  w.AddMainHeader(morning, false); // a repeat
  AddTinyDrop(w, Tim(6 * 3600 + 2));
  w.AddMainHeader(noon, false); // known to the stream only
  AddTinyDrop(w, Tim(12 * 3600 + 1));
  AddTinyDrop(w, Tim(12 * 3600 + 2));
  w.Write(Path("d.hyd"), Path("d.hd"));
  ASSERT_EQ(Open(), 1);
  std::vector<bool> changes;
  while (const HydRecord *r = Next()) {
    changes.push_back(newMain);
    EXPECT_EQ(r->mainHeader->scaleA, r->tim > Tim(12 * 3600) ? 0.19f : 0.18f);
  }
  EXPECT_EQ(e.code, 1) << e.message;
  EXPECT_EQ(changes, (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(handler.GetTimeIndex().size(), 2u);
}

TEST_F(HandlerTest, ParticleBeforeTheOnlyMainHeader) {
  WriteDay({5 * 3600});
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(Next(), nullptr);
  EXPECT_EQ(e.code, 5) << "that particle fails, the file goes on";
  EXPECT_TRUE(handler.LastFailureInComputation());
  char expected[200];
  std::snprintf(expected, sizeof expected,
                "CHydDataHandler::GetNextHydData: no corresponding main header "
                "pixHeader.tim=%lu, ptr->line=%lu ",
                (unsigned long)Tim(5 * 3600), (unsigned long)std::floor(Tim(6 * 3600)));
  EXPECT_EQ(e.message, expected);

  // A corrupt time far outside the unsigned range is shown clamped, not converted out of range.
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, -1.0e34);
  w.Write(Path("d.hyd"), Path("d.hd"));
  handler.Close();
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(Next(), nullptr);
  EXPECT_NE(e.message.find("pixHeader.tim=0, "), std::string::npos) << e.message;
}

TEST_F(HandlerTest, CorruptRecordsAreReportedNotRead) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, Tim(6 * 3600 + 1));
  w.AddRaw({0x00, 0x90, 0, 0}); // an unknown negative tag where a record must start
  w.Write(Path("d.hyd"), Path("d.hd"));
  ASSERT_EQ(Open(), 1);
  const HydRecord *r = Next();
  ASSERT_NE(r, nullptr) << "an unknown header after a particle is skipped by its length";
  EXPECT_EQ(r->nextPos, 74 + 34 + 0x7000);
  EXPECT_EQ(Next(), nullptr) << "but it cannot start a particle";
  EXPECT_EQ(e.code, 5);
  EXPECT_EQ(e.message, "CHydDataHandler::GetNextHydData: length < 0 ???");
  EXPECT_EQ(handler.GetPrevPosition(), 0);

  auto bytes = w.Bytes();
  bytes.resize(74 + 20); // the last record cut inside its pix header
  synth::WriteFile(Path("d.hyd"), bytes);
  handler.Close();
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(Next(), nullptr);
  EXPECT_EQ(e.code, 1);
  EXPECT_FALSE(handler.EndedAtRecordBoundary()) << "a truncated record is no clean end";
}

TEST_F(HandlerTest, PositioningByTime) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, Tim(6 * 3600 + 1));
  w.MarkMinute(6 * 60 + 2);
  const int32_t second = AddTinyDrop(w, Tim(6 * 3600 + 61));
  w.Write(Path("d.hyd"), Path("d.hd"));
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(handler.SetHydFilePosition(6, 2, &e), second);
  const HydRecord *r = Next();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->startPos, second);
  EXPECT_EQ(handler.SetHydFilePosition(0, 0, &e), 0);
  EXPECT_EQ(handler.SetHydFilePosition(7, 0, &e), -1);
  EXPECT_EQ(e.message, "CHydDataHandler::SetHydFilePosition: could not get file position");
}

TEST_F(HandlerTest, FilterRangePairsAreCheckedOnTheirOwn) {
  EXPECT_EQ(handler.SetFilterRange(5, 5, 0, 20, 0, 2, 0, 511, 0, 511, false, &e), 0);
  EXPECT_EQ(e.message, "CHydDataHandler::SetFilterRange: diamMin must be smaller than diamMax");
  EXPECT_EQ(handler.GetFilterRange().diamMax, 50);
  EXPECT_EQ(handler.GetFilterRange().velMax, 20);
  EXPECT_EQ(handler.SetFilterRange(0, 9, 0, 20, 0, 2, 100, 100, 100, 100, false, &e), 0);
  EXPECT_EQ(e.message, "CHydDataHandler::SetFilterRange: minPixA must be smaller than maxPixA");
  EXPECT_EQ(handler.GetFilterRange().minPixB, 100) << "camera B allows equal bounds";
  EXPECT_EQ(handler.SetFilterRange(0, 9, 0, 20, 0, 2, 0, 0, 0, 0, true, &e), 1);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(handler.GetFilterRange().maxPixB, 511);
}

TEST_F(HandlerTest, ClassWrite) {
  WriteDay({6 * 3600 + 10});
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(handler.SetDropType(3, &e), 0);
  EXPECT_EQ(e.message, "CHydDataHandler::SetDropType: no hydData available");
  ASSERT_NE(Next(), nullptr);
  EXPECT_EQ(handler.SetDropType(7, &e), 0);
  EXPECT_EQ(e.message, "CHydDataHandler::SetDropType: wrong dropType");
  const auto before = synth::ReadFile(Path("d.hyd"));
  ASSERT_EQ(handler.SetDropType(5, &e), 1) << e.message;
  auto after = synth::ReadFile(Path("d.hyd"));
  EXPECT_EQ(after[76] | after[77] << 8, (5 << 11) | 74);
  after[76] = before[76];
  after[77] = before[77];
  EXPECT_EQ(after, before);
  ASSERT_EQ(handler.SetHydFilePosition(0, &e), 0);
  const HydRecord *r = Next();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->dropType, 5) << "the class comes from the file on the next read";
  ASSERT_EQ(handler.SetDropType(0, &e), 1);
  after = synth::ReadFile(Path("d.hyd"));
  EXPECT_EQ(after, before);
}
