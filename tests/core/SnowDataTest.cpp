#include "ParticleTestSupport.h"
#include "data/LittleEndian.h"
#include "particle/CSnoData.h"
#include "synth/SnowEncoder.h"

#include <memory>
#include <random>

using synth::SnowLine;
using synth::SnowSegment;

namespace {

// A coded field: light fields use the block's light width, dark fields its dark width.
struct Field {
  int value;
  bool flag;
  bool dark;
};
Field L(int v, bool flag = false) { return {v, flag, false}; }
Field D(int v, bool flag = true) { return {v, flag, true}; }
const Field END = L(0, true);

// One camera's data: n_cmp and a single block with base pixel 100 and y_count 1000.
std::vector<uint8_t> CameraBlock(const std::vector<Field> &fields, int lightWidth = 4,
                                 int darkWidth = 4, int cmprAdjust = 0) {
  std::vector<uint16_t> words;
  int bit = 0;
  for (const Field &f : fields) {
    const int width = f.dark ? darkWidth : lightWidth;
    const uint32_t v = uint32_t(f.value) | uint32_t(f.flag) << (width - 1);
    for (int b = 0; b < width; ++b, ++bit) {
      if (bit % 16 == 0)
        words.push_back(0);
      words.back() = uint16_t(words.back() | ((v >> b) & 1u) << (bit % 16));
    }
  }
  const int nCmp = 14 + 2 * int(words.size());
  std::vector<uint8_t> out(size_t(2 + nCmp), 0);
  le::PutU16(out.data(), uint16_t(nCmp));
  le::PutU32(out.data() + 4, uint32_t(nCmp - 2 + cmprAdjust) | 100u << 14 |
                                 uint32_t(darkWidth) << 24 | uint32_t(lightWidth) << 28);
  le::PutF64(out.data() + 8, 1000);
  for (size_t w = 0; w < words.size(); ++w)
    le::PutU16(out.data() + 16 + 2 * w, words[w]);
  return out;
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t> &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Writes one snow particle per entry into a fresh file.
struct SnowFile {
  synth::HydWriter writer{4};
  std::vector<int32_t> positions;
  std::string path;

  explicit SnowFile(const std::string &name) : path(TempFile(name + ".sno")) {}
  void Add(const std::vector<uint8_t> &data, int linesA, int linesB) {
    PixHeader h;
    h.lineCountA = int16_t(linesA);
    h.lineDiffB = int16_t(linesB - linesA);
    h.absv = 2;
    h.pixScaleH = h.pixScaleA = h.pixScaleB = 1000; // 0.1 mm
    positions.push_back(writer.AddPixRecord(h, data));
  }
  // Computes particle `p` into `snow`; returns CalculateData's result.
  int Compute(CSnoData &snow, size_t p, CHydException *exc = nullptr, int16_t halfPixels = 256) {
    CHydFile hyd;
    PixHeader h;
    OpenRecord(hyd, path, positions[p], 4, h);
    MainHeader mh = PlainMainHeader();
    mh.halfPixels = halfPixels;
    const int result = snow.CalculateData(&hyd, &mh, &h, 4, {}, exc);
    if (result == 1) {
      EXPECT_EQ(hyd.GetPosition(), positions[p] + h.Length()); // exactly the record was read
      // The set-up on its own scans the lines; it must agree with the computation.
      const HydRecord computed = *snow.GetHydHeader();
      EXPECT_EQ(snow.SetHydHeader(&mh, &h, {}), 1);
      EXPECT_EQ(snow.GetHydHeader()->widthA, computed.widthA);
      EXPECT_EQ(snow.GetHydHeader()->widthB, computed.widthB);
      EXPECT_EQ(snow.GetHydHeader()->maxPosA, computed.maxPosA);
      EXPECT_EQ(snow.GetHydHeader()->maxPosB, computed.maxPosB);
    }
    return result;
  }
};

} // namespace

TEST(SnowDecompress, SegmentsAndRepetitions) {
  SnowFile file("lines");
  const auto one = CameraBlock({L(3), D(5), END});
  file.Add(Join(one, one), 1, 1);
  file.Add(Join(CameraBlock({L(3), D(5, false), L(2), D(4), L(3, true), END}), one), 4, 1);
  synth::WriteFile(file.path, file.writer.Bytes());
  auto snow = std::make_unique<CSnoData>();
  CHydException exc;
  ASSERT_EQ(file.Compute(*snow, 0, &exc), 1) << exc.message;
  const CSnoData::Line &first = snow->linesA[0];
  EXPECT_EQ(first.segmentCount, 1);
  EXPECT_EQ(first.segments[0].start, 103);
  EXPECT_EQ(first.segments[0].end, 108);
  EXPECT_EQ(first.y_count, 1000);
  EXPECT_FLOAT_EQ(snow->GetHydHeader()->widthA, 0.5f);

  ASSERT_EQ(file.Compute(*snow, 1, &exc), 1) << exc.message;
  for (int i = 0; i < 4; ++i) {
    const CSnoData::Line &line = snow->linesA[i];
    ASSERT_EQ(line.segmentCount, 2);
    EXPECT_EQ(line.segments[1].start, 110);
    EXPECT_EQ(line.segments[1].end, 114);
    EXPECT_EQ(line.y_count, 1000 + i);
  }
  EXPECT_EQ(snow->GetHydHeader()->maxPosA, 114);
  EXPECT_FLOAT_EQ(snow->GetHydHeader()->widthA, 1.1f); // 103 to 114 over both segments

  // Short camera lines: a line's width counts from pixel 2 * halfPixels at most.
  ASSERT_EQ(file.Compute(*snow, 1, &exc, 50), 1) << exc.message;
  EXPECT_FLOAT_EQ(snow->GetHydHeader()->widthA, 1.4f); // 100 to 114
}

TEST(SnowDecompress, BadBlocksFailWithTheirMessage) {
  struct Case {
    std::vector<uint8_t> data;
    int lines;
    const char *message;
  } cases[] = {
      {CameraBlock({L(3), D(5, false), L(2, true)}), 1,
       "CSnoData::DecompressData: y_count=1000\n103-108\nlines=1 i=0 j=1 \n"},
      {CameraBlock({L(3), D(1, false), L(1), D(1, false), L(1), D(1, false), L(1), D(1, false),
                    L(1), D(1, false), L(1), D(1, false)}),
       1, "CSnoData::DecompressData: Overflow j=6\n"},
      {CameraBlock({L(3, true), END}), 4,
       "CSnoData::DecompressData: y_count=1000\nrepet found : i=0 light=3 lines=4 \n"},
      {CameraBlock({L(3), D(5), L(3, true), END}), 2,
       "CSnoData::DecompressData: i=2 k=1 light=3 lines=2 \ni=2 \n"},
      {CameraBlock({L(3), D(5), L(3), D(5), END}), 1,
       "CSnoData::DecompressData: Overflow i=1 lines=1 \n"},
      {CameraBlock({L(3), D(5), L(2), D(1)}), 5,
       "CSnoData::DecompressData: block without end marker"},
      {CameraBlock({L(3), D(5, false)}), 5, "CSnoData::DecompressData: block without end marker"},
      {CameraBlock({}, 0, 4), 1, "CSnoData::DecompressData: field width = 0"},
      {CameraBlock({L(3), D(5), END}, 4, 4, 2), 1,
       "CSnoData::DecompressData: n_cmp != (cmprLength+2)"},
      {{0, 0}, 1, "CSnoData::DecompressData: n_cmp = 0"},
      {{12, 0, 0, 0}, 1, "CSnoData::DecompressData: bad block size n_cmp=12"},
      {{15, 0}, 1, "CSnoData::DecompressData: bad block size n_cmp=15"},
      {{0xF0, 0xFF}, 1, "CSnoData::DecompressData: bad block size n_cmp=-16"},
      {CameraBlock({L(3), D(5), END}), 1501, "CSnoData::DecompressData: overflow"},
  };
  SnowFile file("bad");
  for (auto &c : cases)
    file.Add(c.data, c.lines, 0);
  synth::WriteFile(file.path, file.writer.Bytes());
  auto snow = std::make_unique<CSnoData>();
  for (size_t p = 0; p < std::size(cases); ++p) {
    CHydException exc;
    EXPECT_EQ(file.Compute(*snow, p, &exc), 0);
    EXPECT_EQ(exc.code, 5);
    EXPECT_EQ(exc.message, cases[p].message);
  }
}

namespace {

std::vector<SnowLine> RandomLines(std::mt19937 &random, int count) {
  std::vector<SnowLine> lines;
  while (int(lines.size()) < count) {
    SnowLine line;
    int16_t x = int16_t(50 + random() % 100);
    for (int s = 0, n = 1 + int(random() % 6); s < n; ++s) {
      const int16_t start = int16_t(x + random() % 20);
      line.push_back({start, int16_t(start + 1 + random() % 30)});
      x = line.back().end;
    }
    // Runs of identical lines are coded as repetitions.
    for (int r = int(random() % 4 == 0 ? random() % 40 : 1); r > 0 && int(lines.size()) < count;
         --r)
      lines.push_back(line);
  }
  return lines;
}

void ExpectLines(const CSnoData::Line *decoded, const std::vector<SnowLine> &lines, double y) {
  for (size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(decoded[i].segmentCount, int(lines[i].size())) << "line " << i;
    EXPECT_EQ(decoded[i].y_count, y + double(i));
    for (size_t j = 0; j < lines[i].size(); ++j) {
      EXPECT_EQ(decoded[i].segments[j].start, lines[i][j].start);
      EXPECT_EQ(decoded[i].segments[j].end, lines[i][j].end);
    }
  }
}

} // namespace

TEST(SnowRoundTrip, EncodedParticlesComeBackAndLeaveNothingBehind) {
  std::mt19937 random(11);
  const auto bigA = RandomLines(random, 300); // more than one block
  const auto bigB = RandomLines(random, 25);
  const auto smallA = RandomLines(random, 3);
  const std::vector<SnowLine> many(1300, SnowLine{{10, 20}});
  SnowFile file("roundtrip");
  file.Add(synth::EncodeSnow(bigA, bigB, 5000, 7000), 300, 25);
  file.Add(synth::EncodeSnow(smallA, {}, 9000, 0), 3, 0);
  file.Add(synth::EncodeSnow(many, many, 0, 0), 1300, 1300);
  synth::WriteFile(file.path, file.writer.Bytes());

  auto snow = std::make_unique<CSnoData>();
  CHydException exc;
  ASSERT_EQ(file.Compute(*snow, 0, &exc), 1) << exc.message;
  ExpectLines(snow->linesA, bigA, 5000);
  ExpectLines(snow->linesB, bigB, 7000);
  int widest = 0;
  for (const SnowLine &line : bigB)
    widest = std::max(widest, line.back().end - line.front().start);
  EXPECT_FLOAT_EQ(snow->GetHydHeader()->widthB, float(widest * 0.1));

  // A camera without lines decodes, but a particle without width in one camera is no drop.
  EXPECT_EQ(file.Compute(*snow, 1, &exc), 0);
  EXPECT_EQ(exc.message, "CSnoData::SetHydHeader: diameterA or diameterB = 0");
  ExpectLines(snow->linesA, smallA, 9000);
  EXPECT_EQ(snow->linesA[3].segmentCount, 0);
  EXPECT_EQ(snow->linesB[0].segmentCount, 0);

  EXPECT_EQ(file.Compute(*snow, 2, &exc), 0);
  EXPECT_EQ(exc.message, "CSnoData::SetHydHeader: number of lines > MAXLIN");
  EXPECT_EQ(snow->linesA[1299].segments[0].end, 20);

  snow->Reset();
  const auto fresh = std::make_unique<CSnoData>();
  for (int i = 0; i < CSnoData::MAX_LINES; ++i) {
    ASSERT_EQ(snow->linesA[i].segmentCount, 0) << i;
    ASSERT_EQ(snow->linesB[i].y_count, 0) << i;
    ASSERT_EQ(snow->linesB[i].segments[0].end, 0) << i;
  }
  EXPECT_EQ(snow->GetFormat(), fresh->GetFormat());
  EXPECT_EQ(snow->GetHydHeader()->linesA, 0);
  EXPECT_EQ(snow->GetHydHeader()->mainHeader, nullptr);
}

TEST(SnowRoundTrip, EncoderRefusesWhatCannotBeCoded) {
  const SnowLine seven(7, SnowSegment{10, 10});
  EXPECT_THROW(synth::EncodeSnow({seven}, {}, 0, 0), std::invalid_argument);
  EXPECT_THROW(synth::EncodeSnow({{{20, 10}}}, {}, 0, 0), std::invalid_argument);
  std::mt19937 random(3);
  const auto noisy = RandomLines(random, 1000);
  EXPECT_THROW(synth::EncodeSnow(noisy, noisy, 0, 0), std::invalid_argument);
}

TEST(SnowDecompress, TruncatedDataEndsTheFile) {
  SnowFile file("short");
  const auto one = CameraBlock({L(3), D(5), END});
  file.Add(Join(one, one), 1, 1);
  auto bytes = file.writer.Bytes();
  bytes.resize(bytes.size() - 1);
  synth::WriteFile(file.path, bytes);
  auto snow = std::make_unique<CSnoData>();
  CHydException exc;
  EXPECT_EQ(file.Compute(*snow, 0, &exc), 0);
  EXPECT_EQ(exc.code, 1);
  EXPECT_EQ(exc.message, "End of file");
  EXPECT_EQ(snow->CalculateData(nullptr, nullptr, nullptr, 4, {}, &exc), 0);
  EXPECT_EQ(exc.message, "CSnoData::CalculateData: hydFile = NULL");
}
