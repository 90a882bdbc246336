#include "TestFiles.h"
#include "data/CHeaderFile.h"
#include "data/CHydFile.h"
#include "data/LittleEndian.h"

#include <cstring>

using namespace testdata;

class ReaderTest : public TempDirTest {};

TEST_F(ReaderTest, MainHeaderFormatRules) {
  MainHeader h = synth::TypicalMainHeader(DAY);
  h.lineFrequency = 34090.5;
  h.planeDistance2 = 7.0f;
  auto f3 = synth::HydWriter::EncodeMainHeader(h, 3);
  ASSERT_EQ(f3.size(), 72u);
  MainHeader back;
  back.Decode(f3.data() + 2, MainHeader::TAG_FORMAT3, 3);
  EXPECT_EQ(back.halfPixels, 256);
  EXPECT_EQ(back.planeDistance2, 7.0f);
  EXPECT_EQ(back.lineFrequency, 34090.857142857145);
  EXPECT_TRUE(std::memcmp(back.ident, h.ident, 14) == 0);

  for (double kept : {34089.0, 34091.0, 25000.0}) {
    h.lineFrequency = kept;
    h.tag = MainHeader::TAG_FORMAT4;
    auto f4 = synth::HydWriter::EncodeMainHeader(h, 4);
    back.Decode(f4.data() + 2, MainHeader::TAG_FORMAT4, 4);
    EXPECT_EQ(back.lineFrequency, kept);
    EXPECT_TRUE(back == h) << "a header read back equals the one written";
  }
  back.extra4 = 1;
  EXPECT_FALSE(back == h);
}

TEST_F(ReaderTest, PixHeaderFormatRules) {
  PixHeader h;
  h.tim = 4000000000.0;
  h.lineDiffB = -1;
  h.pixScaleH = 1234;
  h.pixScaleA = 180;
  h.pixScaleB = 190;
  auto f1 = synth::HydWriter::EncodePixHeader(h, 1);
  ASSERT_EQ(f1.size(), 24u);
  EXPECT_EQ(f1[12], 0xFF) << "format 1 keeps lineDiffB in one signed byte";
  PixHeader back;
  back.Decode(f1.data() + 2, 0, 1);
  EXPECT_EQ(back.lineDiffB, -1);
  EXPECT_EQ(back.pixScaleH, 0);
  EXPECT_EQ(back.pixScaleA, 180);
  EXPECT_EQ(back.pixScaleB, 190);
  EXPECT_EQ(back.tim, 4000000000.0) << "u32 times are widened exactly";

  h.tim = 123456789.25;
  auto f4 = synth::HydWriter::EncodePixHeader(h, 4);
  ASSERT_EQ(f4.size(), 30u);
  back.Decode(f4.data() + 2, 0x07FF, 4);
  EXPECT_EQ(back.tim, 123456789.25);
  EXPECT_EQ(back.pixScaleH, 1234);
  EXPECT_EQ(CHydFile::DropDataSize(4, 0x07FF), 2017);
  EXPECT_EQ(CHydFile::DropDataSize(4, 20), 0) << "a record shorter than its header";
  EXPECT_EQ(ClassWord(0x0123, 3), 0x1923);
  EXPECT_STREQ(DropTypeName(2), "melting");
  EXPECT_STREQ(DropTypeName(7), "");
}

TEST_F(ReaderTest, ClosedAndDoubleOpen) {
  CHydFile file;
  EXPECT_EQ(file.GetPosition(), -1);
  EXPECT_EQ(file.GetLength(), -1);
  EXPECT_TRUE(file.IsEOF());
  CHydException e;
  uint8_t b[2];
  EXPECT_EQ(file.Read(b, 2, &e), -1);
  EXPECT_EQ(e.code, 3);
  EXPECT_EQ(e.message, "CInputFile::Read: file not opened");
  PixHeader ph;
  EXPECT_EQ(file.ReadPixHeader(&ph, 0, 4, &e), -1);
  EXPECT_EQ(e.message, "CHydFile::ReadPixHeader: file not opened");
  EXPECT_EQ(file.ReadPixHeader(nullptr, 0, 4, &e), -1);
  EXPECT_EQ(e.message, "CHydFile::ReadPixHeader: pixHeader = NULL");

  EXPECT_EQ(file.Open(Path("missing.hyd"), CInputFile::modeRead, &e), 0);
  EXPECT_EQ(e.code, 2);
  synth::WriteFile(Path("a.hyd"), {1, 2, 3});
  ASSERT_EQ(file.Open(Path("a.hyd"), CInputFile::modeRead, &e), 1);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(file.Open(Path("a.hyd"), CInputFile::modeRead, &e), 0);
  EXPECT_EQ(e.code, 6);
  EXPECT_EQ(e.message, "File already opened!");
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.GetFileName(), "a.hyd");
}

TEST_F(ReaderTest, EndOfFileAndCutHeaders) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY));
  auto bytes = w.Bytes();
  bytes.resize(40); // cut in the middle of the main header
  synth::WriteFile(Path("cut.hyd"), bytes);
  CHydFile file;
  ASSERT_TRUE(file.Open(Path("cut.hyd"), CInputFile::modeRead));
  uint8_t tag[2];
  ASSERT_EQ(file.Read(tag, 2), 1);
  MainHeader h;
  CHydException e;
  EXPECT_EQ(file.ReadMainHeader(&h, le::I16(tag), 4, &e), 0);
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(e.message, "End of file");
  EXPECT_EQ(file.Read(tag, 2, &e), 0) << "reading at the very end";
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(e.message, "End of file");

  uint8_t data[CHydFile::MAX_DROP_DATA];
  ASSERT_TRUE(file.SetPosition(0));
  EXPECT_EQ(file.ReadDropData(data, 5, 100, &e), -1);
  EXPECT_EQ(e.code, 6);
  EXPECT_EQ(e.message, "CHydFile::ReadDropData: wrong hyd-forma");
  EXPECT_EQ(file.ReadDropData(data, 4, 100, &e), 0) << "70 bytes wanted, 40 there";
  EXPECT_EQ(e.message, "End of file");
}

TEST_F(ReaderTest, PositionStaysExactAcrossBufferedAndPlainReads) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY));
  w.AddQuartHeader();
  const int32_t drop = AddTinyDrop(w, Tim(10));
  w.Write(Path("d.hyd"), Path("d.hd"));
  CHydFile file;
  ASSERT_TRUE(file.Open(Path("d.hyd"), CInputFile::modeRead));
  uint8_t tag[2];
  ASSERT_EQ(file.Read(tag, 2), 1);
  MainHeader mh;
  ASSERT_EQ(file.ReadMainHeader(&mh, le::I16(tag), 4), 1);
  EXPECT_EQ(file.GetPosition(), 74);
  ASSERT_EQ(file.Read(tag, 2), 1);
  QuartHeader qh;
  ASSERT_EQ(file.ReadQuartHeader(&qh, le::I16(tag)), 1);
  EXPECT_EQ(file.GetPosition(), drop);
  ASSERT_EQ(file.Read(tag, 2), 1);
  PixHeader ph;
  ASSERT_EQ(file.ReadPixHeader(&ph, le::U16(tag), 4), 1);
  EXPECT_EQ(ph.backLink & 0x7FF, 24) << "backLink names the quart header's length";
  EXPECT_EQ(file.GetPosition(), drop + 30);
  // Peeks and views of the buffer leave the position where it stands.
  int16_t peeked = 0;
  ASSERT_TRUE(file.PeekTag(74, peeked));
  EXPECT_EQ(peeked, int16_t(QuartHeader::TAG));
  EXPECT_FALSE(file.PeekTag(drop + 33, peeked)) << "a tag reaching past the data";
  EXPECT_EQ(file.GetPosition(), drop + 30);
  const uint8_t *view = file.TakeDropData(4, ph.tag);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view[0], 0x21);
  EXPECT_TRUE(file.IsEOF());
  ASSERT_EQ(file.SetPosition(drop + 30), 1);
  uint8_t data[CHydFile::MAX_DROP_DATA];
  ASSERT_EQ(file.ReadDropData(data, 4, ph.tag), 1);
  EXPECT_EQ(data[0], 0x21);
  EXPECT_TRUE(file.IsEOF());
  ASSERT_EQ(file.SetPosition(drop + 30), 1);
  EXPECT_EQ(file.TakeDropData(5, ph.tag), nullptr) << "no such format";
  EXPECT_EQ(file.GetPosition(), drop + 30);
}

TEST_F(ReaderTest, WriteDropTypeChangesExactlyTwoBytes) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY));
  const int32_t drop = AddTinyDrop(w, Tim(10), 1);
  w.Write(Path("w.hyd"), Path("w.hd"));
  const auto before = synth::ReadFile(Path("w.hyd"));

  CHydFile file;
  ASSERT_TRUE(file.Open(Path("w.hyd"), CInputFile::modeReadWrite));
  uint8_t tag[2];
  ASSERT_TRUE(file.SetPosition(drop));
  ASSERT_EQ(file.Read(tag, 2), 1); // fills the read buffer with the old word
  CHydException e;
  ASSERT_EQ(file.WriteDropType(ClassWord(74, 4), drop + 2, &e), 1) << e.message;
  EXPECT_EQ(file.GetPosition(), drop + 2) << "the file stands where it stood";
  uint8_t link[2];
  ASSERT_EQ(file.Read(link, 2), 1);
  EXPECT_EQ(le::U16(link), ClassWord(74, 4)) << "the next read sees the new word";
  file.Close();

  auto after = synth::ReadFile(Path("w.hyd"));
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    if (i != size_t(drop + 2) && i != size_t(drop + 3)) {
      EXPECT_EQ(after[i], before[i]) << "byte " << i;
    }
  }

  ASSERT_TRUE(file.Open(Path("w.hyd"), CInputFile::modeRead));
  EXPECT_EQ(file.WriteDropType(0x1234, drop + 2, &e), 0);
  EXPECT_EQ(e.message.rfind("Could not write to hyd-file:", 0), 0u) << e.message;
  file.Close();
  EXPECT_EQ(synth::ReadFile(Path("w.hyd")), after);
}

TEST_F(ReaderTest, IndexFileFormatDecision) {
  auto indexWith = [&](const MainHeader &h, int format) {
    synth::HydWriter w(format);
    w.AddMainHeader(h);
    synth::WriteFile(Path("i.hd"), w.IndexBytes());
    CHeaderFile file;
    HeaderInfo info;
    CHydException e;
    EXPECT_TRUE(file.Open(Path("i.hd"), CInputFile::modeRead));
    file.ReadHeaderInfo(&info, &e);
    return std::make_pair(info.format, e);
  };
  const int32_t in1995 = 800000000; // 1995-05-09
  EXPECT_EQ(indexWith(synth::TypicalMainHeader(in1995), 1).first, 1);
  EXPECT_EQ(indexWith(synth::TypicalMainHeader(820454400), 2).first, 2); // 1996-01-01
  EXPECT_EQ(indexWith(synth::TypicalMainHeader(DAY), 3).first, 3);
  EXPECT_EQ(indexWith(synth::TypicalMainHeader(DAY), 4).first, 4);
}

TEST_F(ReaderTest, BadIndexFiles) {
  auto read = [&](const std::vector<uint8_t> &bytes) {
    synth::WriteFile(Path("b.hd"), bytes);
    CHeaderFile file;
    HeaderInfo info;
    CHydException e;
    EXPECT_TRUE(file.Open(Path("b.hd"), CInputFile::modeRead));
    EXPECT_EQ(file.ReadHeaderInfo(&info, &e), 0);
    return e;
  };
  CHydException e = read(std::vector<uint8_t>(4 + 4 * 10 + 2, 0));
  EXPECT_EQ(e.code, 6);
  EXPECT_EQ(e.message, "CHeaderFile::ReadHeaderInfo: minute = 10 EOF .....");
  e = read(std::vector<uint8_t>(5770, 0));
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(e.message, "End of file");
  std::vector<uint8_t> corrupt(5770, 0);
  corrupt.push_back(0x12);
  corrupt.push_back(0xFF);
  e = read(corrupt);
  EXPECT_EQ(e.message, "CHeaderFile::ReadHeaderInfo: wrong format in hd-file");

  HeaderInfo info;
  info.positions[1440] = 77;
  EXPECT_EQ(info.GetMinutePosition(0), -1);
  EXPECT_EQ(info.GetMinutePosition(1443), -1);
  EXPECT_EQ(info.GetMinutePosition(1442), 0);
  EXPECT_EQ(info.GetMinutePosition(1441), 77);
}
