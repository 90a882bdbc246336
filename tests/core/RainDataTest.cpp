#include "ParticleTestSupport.h"
#include "particle/CRainData.h"
#include "particle/ParticleGeometry.h"
#include "synth/RainEncoder.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

// A rain particle whose format is set as CalculateData would have set it.
struct Rain : CRainData {
  explicit Rain(uint16_t f) { format = f; }
  void Box(int lines, int16_t left, int16_t right) {
    std::fill_n(leftA, lines, left), std::fill_n(rightA, lines, right);
    std::fill_n(leftB, lines, left), std::fill_n(rightB, lines, right);
  }
};

PixHeader Pix(int bits, int16_t lineCountA, int16_t lineDiffB, int16_t offA = 0, int16_t offB = 0) {
  PixHeader h;
  h.tag = uint16_t(200 | bits << 11);
  h.lineCountA = lineCountA;
  h.lineDiffB = lineDiffB;
  h.offsetA = offA;
  h.offsetB = offB;
  h.absv = 2;
  h.pixScaleH = h.pixScaleA = h.pixScaleB = 1000; // 0.1 mm
  return h;
}

using V = std::vector<int>;

// The valid edges in stream order: left A, right A, left B, right B.
V Edges(const CRainData &r, int linesA, int linesB) {
  V out(r.leftA, r.leftA + linesA);
  out.insert(out.end(), r.rightA, r.rightA + linesA);
  out.insert(out.end(), r.leftB, r.leftB + linesB);
  out.insert(out.end(), r.rightB, r.rightB + linesB);
  return out;
}

// Values of `bits` bits packed least significant bit first into 16-bit words.
std::vector<uint16_t> Pack(const V &values, int bits) {
  std::vector<uint16_t> words((values.size() * size_t(bits) + 15) / 16, 0);
  for (size_t i = 0; i < values.size(); ++i)
    for (int b = 0; b < bits; ++b)
      if (values[i] >> b & 1) {
        const size_t bit = i * size_t(bits) + size_t(b);
        words[bit / 16] = uint16_t(words[bit / 16] | 1u << (bit % 16));
      }
  return words;
}

} // namespace

TEST(RainDecompress, UnpacksValuesAcrossWordBoundaries) {
  auto r = std::make_unique<Rain>(4);
  const uint16_t four[] = {0x4321, 0x8765}, five[] = {0x2623, 0x3FE4};
  PixHeader h = Pix(4, 1, 0);
  ASSERT_EQ(r->DecompressData(four, 2, &h), 1); // 5 to 8 are padding
  EXPECT_EQ(Edges(*r, 1, 1), (V{1, 2, 3, 4}));
  h = Pix(5, 1, 1, 100, -5); // the fourth value straddles the two words
  ASSERT_EQ(r->DecompressData(five, 2, &h), 1);
  EXPECT_EQ(Edges(*r, 1, 2), (V{103, 117, 4, 3, 25, 26}));
}

TEST(RainDecompress, LineCountsFollowFormat) {
  const uint16_t words[] = {0x4321, 0x0065};
  auto old = std::make_unique<Rain>(1);
  PixHeader h = Pix(4, 0, 0); // format 1 stores the count less one
  ASSERT_EQ(old->DecompressData(words, 2, &h), 1);
  EXPECT_EQ(Edges(*old, 1, 1), (V{1, 2, 3, 4}));
  auto r = std::make_unique<Rain>(2);
  h = Pix(4, 0, 1);
  ASSERT_EQ(r->DecompressData(words, 2, &h), 1);
  EXPECT_EQ(Edges(*r, 0, 1), (V{1, 2}));
  h = Pix(4, 2, -1); // fewer camera B lines than camera A lines
  ASSERT_EQ(r->DecompressData(words, 2, &h), 1);
  EXPECT_EQ(Edges(*r, 2, 1), (V{1, 2, 3, 4, 5, 6}));
}

TEST(RainDecompress, MissingValuesGetTheOffset) {
  auto r = std::make_unique<Rain>(4);
  const uint16_t word = 0x4321;
  PixHeader h = Pix(4, 2, 0, 10, 20);
  ASSERT_EQ(r->DecompressData(&word, 1, &h), 1);
  EXPECT_EQ(Edges(*r, 2, 2), (V{11, 12, 13, 14, 20, 20, 20, 20}));
  h = Pix(5, 2, 0, 10, 20); // no whole fourth value in one word
  ASSERT_EQ(r->DecompressData(&word, 1, &h), 1);
  EXPECT_EQ(Edges(*r, 2, 2), (V{11, 35, 26, 10, 20, 20, 20, 20}));
  h = Pix(4, 1199, 0, 7, 7); // the largest particle
  ASSERT_EQ(r->DecompressData(nullptr, 0, &h), 1);
  EXPECT_EQ(r->rightB[1198], 7);
}

TEST(RainDecompress, EveryWidthUnpacksTheStreamInOrder) {
  std::mt19937 random(5);
  auto r = std::make_unique<Rain>(4);
  for (int bits = 1; bits <= 15; ++bits) {
    for (const auto &[linesA, linesB] : {std::pair{1, 1}, {9, 8}, {40, 41}, {1199, 1}}) {
      V values(size_t(2 * (linesA + linesB)));
      for (int &v : values)
        v = int(random() % (1u << bits));
      const std::vector<uint16_t> words = Pack(values, bits);
      PixHeader h = Pix(bits, int16_t(linesA), int16_t(linesB - linesA), -7, 300);
      V expected = values; // the edges are 16-bit: 15 bits plus 300 wrap around
      for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = int16_t(expected[i] + (i < size_t(2 * linesA) ? -7 : 300));
      ASSERT_EQ(r->DecompressData(words.data(), int(words.size()), &h), 1);
      EXPECT_EQ(Edges(*r, linesA, linesB), expected) << bits << " bits, " << linesA << " lines";
      // Without the last word the values it held or shared become the bare offset.
      const int whole = int(words.size() - 1) * 16 / bits;
      for (size_t i = size_t(whole); i < expected.size(); ++i)
        expected[i] = i < size_t(2 * linesA) ? -7 : 300;
      ASSERT_EQ(r->DecompressData(words.data(), int(words.size() - 1), &h), 1);
      EXPECT_EQ(Edges(*r, linesA, linesB), expected) << bits << " bits, one word short";
    }
  }
}

TEST(RainDecompress, RefusesBadCountsAndWidthBeforeWriting) {
  auto r = std::make_unique<Rain>(4);
  r->Box(1200, 55, 66);
  const uint16_t words[] = {0x4321, 0x8765};
  struct Case {
    PixHeader header;
    const char *message;
  } cases[] = {
      {Pix(4, 1200, -1), "CRainData::DecompressData: MAXLIN exceeded"},
      {Pix(4, 0, 1200), "CRainData::DecompressData: MAXLIN exceeded"},
      {Pix(0, 1, 0), "CRainData::DecompressData: bits = 0 -> division by zero"},
      {Pix(4, -1, 2), "CRainData::DecompressData: negative number of lines"},
      {Pix(4, 3, -5), "CRainData::DecompressData: negative number of lines"},
  };
  for (auto &c : cases) {
    CHydException exc;
    EXPECT_EQ(r->DecompressData(words, 2, &c.header, &exc), 0) << c.message;
    EXPECT_EQ(exc.code, 5);
    EXPECT_EQ(exc.message, c.message);
    EXPECT_EQ(r->leftA[0], 55);
    EXPECT_EQ(r->rightB[0], 66);
  }
}

TEST(RainGeometry, PlaneDistanceFollowsTheCalibratedCorners) {
  MainHeader h;
  h.halfPixels = 256;
  h.planeDistance1 = 20, h.planeDistance2 = 22, h.planeDistance3 = 21;
  EXPECT_FLOAT_EQ(particle::PlaneDistance(h, 0, 0), 20);
  EXPECT_FLOAT_EQ(particle::PlaneDistance(h, 511, 0), 22);
  EXPECT_FLOAT_EQ(particle::PlaneDistance(h, 511, 511), 21);
  EXPECT_FLOAT_EQ(particle::PlaneDistance(h, 0, 511), 19);
}

TEST(RainSetUp, DropParameters) {
  auto r = std::make_unique<Rain>(4);
  MainHeader mh = PlainMainHeader();
  mh.lineFrequency = 34090.857142857145;
  PixHeader h = Pix(4, 3, 0, 100, 100);
  h.eqDiam = 250, h.absv = 200, h.backLink = 0xF800;
  r->Box(3, 100, 110);
  ASSERT_EQ(r->SetHydHeader(&mh, &h, {}), 1);
  const HydRecord &rec = *r->GetHydHeader();
  EXPECT_NEAR(rec.velocity, 6.818, 1e-3);
  EXPECT_FLOAT_EQ(rec.diameter, 2.5f);
  EXPECT_NEAR(rec.volume, 8.1812, 1e-4);
  EXPECT_EQ(rec.rawDiameter, 250);
  EXPECT_EQ(rec.dropType, 31);
  EXPECT_EQ(rec.maxPosA, 110);
  EXPECT_FLOAT_EQ(rec.oblateness, 0.3f); // 3 lines of 0.1 mm over 10 pixels of 0.1 mm

  h.absv = -200;
  ASSERT_EQ(r->SetHydHeader(&mh, &h, {}), 1);
  EXPECT_NEAR(rec.velocity, 6.818, 1e-3);
  h.absv = 0, h.eqDiam = 0;
  ASSERT_EQ(r->SetHydHeader(&mh, &h, {}), 1);
  EXPECT_FLOAT_EQ(rec.velocity, 100.0f);
  EXPECT_FLOAT_EQ(rec.volume, 0.001f);
  ASSERT_EQ(r->SetOldHydHeader(&mh, &h, {}), 1); // format 1 keeps three class bits
  EXPECT_EQ(rec.dropType, 7);
}

TEST(RainSetUp, CentresKeepTheirHalfPixel) {
  auto r = std::make_unique<Rain>(4);
  MainHeader mh = PlainMainHeader(); // 1000 lines/s: velocity (absv 2) equals planeDistance
  mh.planeDistance2 = mh.planeDistance3 = 20 + 511; // 1 mm more per camera A pixel
  PixHeader h = Pix(4, 3, 0, 0, 0);
  r->Box(3, 0, 1);
  r->rightA[1] = 3, r->rightA[2] = 2;  // A drifts half a pixel
  r->leftB[0] = 10, r->rightB[0] = 20; // B moves back
  ASSERT_EQ(r->SetHydHeader(&mh, &h, {}), 1);
  const HydRecord &rec = *r->GetHydHeader();
  EXPECT_FLOAT_EQ(rec.velocity, 21.5f); // centre A (0 + 3) / 2
  EXPECT_FLOAT_EQ(rec.hVelA, 0.025f);   // 0.5 px * 0.1 mm * 1000 lines/s / 2 lines
  EXPECT_FLOAT_EQ(rec.hVelB, -0.725f);

  h.lineDiffB = -2; // a single camera B line shows no drift
  ASSERT_EQ(r->SetHydHeader(&mh, &h, {}), 1);
  EXPECT_EQ(rec.hVelB, 0);
}

TEST(RainSetUp, AreaCountsPositionsInsideBothCameras) {
  auto r = std::make_unique<Rain>(4);
  MainHeader mh = PlainMainHeader();
  PixHeader h = Pix(4, 3, 0, 100, 100);
  r->Box(3, 100, 110);
  ASSERT_EQ(r->SetHydHeader(&mh, &h, {}), 1);
  EXPECT_FLOAT_EQ(r->GetHydHeader()->area, 500 * 0.2f * 500 * 0.2f);

  FilterRange f;
  f.minPixA = 100; // 406 positions, centred at 302.5: camera B sees the particle nearer
  ASSERT_EQ(r->SetHydHeader(&mh, &h, f), 1);
  EXPECT_NEAR(r->GetHydHeader()->area, 406 * 0.2 * 500 * ((47 * 0.2 + 250) * 0.2 / 250), 1e-2);
}

TEST(RainSetUp, Failures) {
  auto r = std::make_unique<Rain>(4);
  MainHeader mh = PlainMainHeader();
  PixHeader h = Pix(4, 1200, 0, 100, 100);
  r->Box(1200, 100, 110);
  CHydException exc;
  EXPECT_EQ(r->SetHydHeader(&mh, &h, {}, &exc), 1) << exc.message; // 1200 passes here

  auto fails = [&](const PixHeader &ph, const MainHeader *m, const char *message, int code = 5) {
    EXPECT_EQ(r->SetHydHeader(m, &ph, {}, &exc), 0);
    EXPECT_EQ(exc.code, code);
    EXPECT_EQ(exc.message, message);
  };
  fails(Pix(4, 1201, 0), &mh, "CRainData::SetHydHeader: number of lines > MAXLIN");
  fails(h, nullptr, "CRainData::SetHydHeader: mainHeader = NULL", 6);
  mh.L0_2 = 0;
  fails(h, &mh, "CRainData::SetHydHeader: L0_1 or L0_2 = 0");
  std::fill_n(r->rightB, 1200, int16_t(100));
  fails(h, &mh, "CRainData::SetHydHeader: diameterA or diameterB = 0");
  EXPECT_EQ(r->SetOldHydHeader(&mh, nullptr, {}, &exc), 0);
  EXPECT_EQ(exc.message, "CRainData::SetOldHydHeader: pixHeader = NULL");
}

namespace {

// Writes one particle per image and computes each back through the reader.
struct RainFile {
  explicit RainFile(int f) : format(f) {}
  int format;
  synth::HydWriter writer{format};
  std::vector<int32_t> positions;
  std::string path = TempFile("rain" + std::to_string(format) + ".hyd");

  void Add(const synth::RainImage &image, PixHeader h = Pix(0, 0, 0)) {
    const synth::EncodedRain enc = synth::EncodeRain(image);
    h.lineCountA = int16_t(image.leftA.size() - (format == 1 ? 1 : 0));
    h.lineDiffB = int16_t(image.leftB.size() - image.leftA.size());
    h.offsetA = enc.offsetA, h.offsetB = enc.offsetB;
    positions.push_back(writer.AddPixRecord(h, enc.data, enc.bits));
  }
  void Write(size_t cut = 0) {
    auto bytes = writer.Bytes();
    bytes.resize(bytes.size() - cut);
    synth::WriteFile(path, bytes);
  }
};

synth::RainImage Box(int lines, int16_t left, int16_t right) {
  synth::RainImage im;
  im.leftA = im.leftB = std::vector<int16_t>(size_t(lines), left);
  im.rightA = im.rightB = std::vector<int16_t>(size_t(lines), right);
  return im;
}

} // namespace

TEST(RainRoundTrip, EncodedParticlesComeBackThroughTheFile) {
  std::mt19937 random(7);
  for (int format = 1; format <= 4; ++format) {
    RainFile file{format};
    std::vector<synth::RainImage> images;
    for (int n = 1; n <= 40; n += 3) {
      synth::RainImage im;
      const int linesB = std::max(1, n + int(random() % 5) - 2);
      const int span = 1 << (random() % 9);
      for (int i = 0; i < n + linesB; ++i) {
        const int16_t left = int16_t(200 + random() % span);
        auto &l = i < n ? im.leftA : im.leftB;
        auto &rt = i < n ? im.rightA : im.rightB;
        l.push_back(left), rt.push_back(int16_t(left + 1 + random() % 60));
      }
      images.push_back(im);
      file.Add(im);
    }
    file.Write();
    CHydFile hyd;
    auto r = std::make_unique<CRainData>();
    MainHeader mh = PlainMainHeader();
    for (size_t p = 0; p < images.size(); ++p) {
      PixHeader h;
      hyd.Close();
      OpenRecord(hyd, file.path, file.positions[p], format, h);
      CHydException exc;
      ASSERT_EQ(r->CalculateData(&hyd, &mh, &h, uint16_t(format), {}, &exc), 1) << exc.message;
      EXPECT_EQ(hyd.GetPosition(),
                p + 1 < images.size() ? file.positions[p + 1] : file.writer.Size());
      const auto &im = images[p];
      V expected;
      for (auto *edges : {&im.leftA, &im.rightA, &im.leftB, &im.rightB})
        expected.insert(expected.end(), edges->begin(), edges->end());
      const HydRecord &rec = *r->GetHydHeader();
      EXPECT_EQ(Edges(*r, rec.linesA, rec.linesB), expected);
      EXPECT_EQ(rec.maxPosB, *std::max_element(im.rightB.begin(), im.rightB.end()));
    }
  }
}

TEST(RainRoundTrip, ExtentsFromTheFileMatchThoseOfTheEdges) {
  // Offsets near the top of the range make edges wrap around; the widest line and the rightmost
  // edge must still be those of the stored edges.
  std::mt19937 random(11);
  RainFile file{4};
  std::vector<std::pair<PixHeader, std::vector<uint16_t>>> records;
  for (int bits : {3, 4, 9, 15})
    for (int16_t offset : {int16_t(-20000), int16_t(100), int16_t(32760)}) {
      const int lines = 3 + int(random() % 30);
      V values(size_t(4 * lines));
      for (int &v : values)
        v = int(random() % (1u << bits));
      PixHeader h = Pix(bits, int16_t(lines), 0, offset, int16_t(offset / 2));
      const std::vector<uint16_t> words = Pack(values, bits);
      std::vector<uint8_t> bytes;
      for (uint16_t w : words)
        bytes.push_back(uint8_t(w)), bytes.push_back(uint8_t(w >> 8));
      file.positions.push_back(file.writer.AddPixRecord(h, bytes, bits));
      records.emplace_back(h, words);
    }
  file.Write();
  MainHeader mh = PlainMainHeader();
  for (size_t p = 0; p < records.size(); ++p) {
    CHydFile hyd;
    PixHeader h;
    OpenRecord(hyd, file.path, file.positions[p], 4, h);
    auto fromFile = std::make_unique<CRainData>();
    CHydException fileExc;
    const int fileResult = fromFile->CalculateData(&hyd, &mh, &h, 4, {}, &fileExc);
    auto fromEdges = std::make_unique<Rain>(4);
    const auto &words = records[p].second;
    ASSERT_EQ(fromEdges->DecompressData(words.data(), int(words.size()), &h), 1);
    CHydException edgesExc;
    EXPECT_EQ(fromEdges->SetHydHeader(&mh, &h, {}, &edgesExc), fileResult) << p;
    EXPECT_EQ(fileExc.message, edgesExc.message);
    const HydRecord &a = *fromFile->GetHydHeader(), &b = *fromEdges->GetHydHeader();
    EXPECT_EQ(a.maxPosA, b.maxPosA) << p;
    EXPECT_EQ(a.maxPosB, b.maxPosB) << p;
    EXPECT_EQ(a.widthA, b.widthA) << p;
    EXPECT_EQ(a.widthB, b.widthB) << p;
  }
}

TEST(RainRoundTrip, RecordsAcrossTheReadBufferComeBackWhole) {
  // Enough particles that records straddle the ends of the reader's buffer. Some lose the last
  // bytes of their data, an odd count among them: the bytes of the record behind must never
  // reach the edges, the missing half of the last word reads as 0, missing values as 0.
  std::mt19937 random(3);
  RainFile file{4};
  std::vector<std::pair<V, int>> stored; // the values each record still holds whole, its lines
  while (file.writer.Size() < 300000) {
    const int bits = 1 + int(random() % 15), lines = 1 + int(random() % 25);
    V values(size_t(4 * lines));
    for (int &v : values)
      v = int(random() % (1u << bits));
    std::vector<uint8_t> bytes;
    for (uint16_t w : Pack(values, bits))
      bytes.push_back(uint8_t(w)), bytes.push_back(uint8_t(w >> 8));
    bytes.resize(bytes.size() - std::min<size_t>(bytes.size(), random() % 4));
    const size_t whole = (bytes.size() + 1) / 2 * 16 / size_t(bits);
    for (size_t i = 0; i < values.size(); ++i) {
      if (i >= whole) {
        values[i] = 0;
        continue;
      }
      for (int b = 0; b < bits; ++b) { // a bit behind the bytes reads as 0
        const size_t bit = i * size_t(bits) + size_t(b);
        if (bit / 8 >= bytes.size())
          values[i] &= ~(1 << b);
      }
    }
    file.positions.push_back(file.writer.AddPixRecord(Pix(bits, int16_t(lines), 0), bytes, bits));
    stored.emplace_back(values, lines);
  }
  file.Write();
  CHydFile hyd;
  PixHeader h;
  OpenRecord(hyd, file.path, 0, 4, h);
  auto r = std::make_unique<CRainData>();
  MainHeader mh = PlainMainHeader();
  for (size_t p = 0; p < stored.size(); ++p) {
    if (p > 0) {
      uint8_t tag[2];
      ASSERT_EQ(hyd.Read(tag, 2), 1);
      ASSERT_EQ(hyd.ReadPixHeader(&h, uint16_t(tag[0] | tag[1] << 8), 4), 1);
    }
    r->CalculateData(&hyd, &mh, &h, 4, {});
    const auto &[values, lines] = stored[p];
    ASSERT_EQ(Edges(*r, lines, lines), values) << p;
  }
}

TEST(RainRoundTrip, FormatOneIntegratesTheSlices) {
  RainFile file{1};
  PixHeader h = Pix(0, 0, 0);
  h.absv = 24; // with 2 mm planes: 1/6 mm per line, so 4 slices of 1 x 1 mm make D = 1 mm
  h.pixScaleA = h.pixScaleB = 100;
  file.Add(Box(4, 100, 110), h);
  file.Add(Box(4, 100, 100), h); // no width in either camera
  file.Write();
  MainHeader mh = PlainMainHeader();
  mh.planeDistance1 = mh.planeDistance2 = mh.planeDistance3 = 2;
  mh.corrModel = 2;
  auto r = std::make_unique<CRainData>();
  const HydRecord &rec = *r->GetHydHeader();
  auto compute = [&](size_t p, double lineFrequency, CHydException *exc = nullptr) {
    mh.lineFrequency = lineFrequency;
    CHydFile hyd;
    PixHeader ph;
    OpenRecord(hyd, file.path, file.positions[p], 1, ph);
    return r->CalculateData(&hyd, &mh, &ph, 1, {}, exc);
  };
  ASSERT_EQ(compute(0, 34090.857142857145), 1);
  EXPECT_NEAR(rec.diameter, 1.0289, 1e-4);
  EXPECT_NEAR(rec.heightA, 4 / 6.0 * 1.0894, 1e-4);
  ASSERT_EQ(compute(0, 26000), 1);
  EXPECT_FLOAT_EQ(rec.widthA, 1.0f);
  ASSERT_EQ(compute(0, 25999), 1); // slower cameras lose 0.6 pixel of width
  EXPECT_FLOAT_EQ(rec.widthB, 0.94f);

  CHydException exc;
  ASSERT_EQ(compute(1, 20000, &exc), 0);
  EXPECT_EQ(exc.message, "CRainData::SetOldHydHeader: diameterA or diameterB = 0");
  EXPECT_TRUE(std::isfinite(rec.diameter) && rec.diameter > 0);
}

TEST(RainRoundTrip, BadRecords) {
  RainFile file{4};
  file.Add(Box(3, 100, 110));
  // Records whose length ends inside their own header, or that carry no tag at all.
  for (uint16_t tag : {uint16_t(10 | 4 << 11), uint16_t(0)}) {
    PixHeader h = Pix(0, 3, 0, 100, 100);
    h.tag = tag;
    file.positions.push_back(file.writer.AddRaw(synth::HydWriter::EncodePixHeader(h, 4)));
  }
  file.Add(Box(30, 100, 110));
  file.Write(3);
  MainHeader mh = PlainMainHeader();
  auto r = std::make_unique<Rain>(4);
  r->Box(3, 100, 120);
  CHydException exc;
  auto compute = [&](size_t p, int format = 4) {
    CHydFile hyd;
    PixHeader h;
    OpenRecord(hyd, file.path, file.positions[p], 4, h);
    const int32_t before = hyd.GetPosition();
    const int result = r->CalculateData(&hyd, &mh, &h, uint16_t(format), {}, &exc);
    EXPECT_EQ(hyd.GetPosition(), before); // no drop data consumed
    return result;
  };
  EXPECT_EQ(compute(0, 5), 0);
  EXPECT_EQ(exc.message, "CHydFile::ReadDropData: wrong hyd-forma");
  EXPECT_EQ(compute(1), 0); // nothing to read; every edge is its offset
  EXPECT_EQ(exc.message, "CRainData::SetHydHeader: diameterA or diameterB = 0");
  r->Box(3, 100, 120);
  EXPECT_EQ(compute(2), 1); // tag 0: the edges stay as they were
  EXPECT_EQ(r->GetHydHeader()->maxPosA, 120);
  CHydFile hyd;
  PixHeader h;
  OpenRecord(hyd, file.path, file.positions[3], 4, h);
  EXPECT_EQ(r->CalculateData(&hyd, &mh, &h, 4, {}, &exc), 0);
  EXPECT_EQ(exc.code, 1);
  EXPECT_EQ(exc.message, "End of file");
  EXPECT_EQ(r->CalculateData(nullptr, &mh, &h, 4, {}, &exc), 0);
  EXPECT_EQ(exc.code, 6);
  EXPECT_EQ(exc.message, "CRainData::CalculateData: hydFile = NULL");
}
