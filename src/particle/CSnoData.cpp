#include "CSnoData.h"
#include "data/WholeNumber.h"

#include "ParticleGeometry.h"
#include "data/CHydFile.h"
#include "data/LittleEndian.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// Appends a printf-formatted part to a failure message.
template <typename... Args> void AppendF(std::string &out, const char *format, Args... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, args...);
  out += buffer;
}

void Fail(CHydException &status, std::string message) {
  status.Set(CHydException::badRecordLength, std::move(message));
}

// Fields of one block's coded lines, least significant bit first from 16-bit little-endian
// words. The state is the decoding's own, so decoders of different particles never meet. A field
// that would reach past the coded bytes is refused: those bytes belong to no block.
class BitReader {
public:
  BitReader(const uint8_t *coded, int codedBytes) : next(coded), bitsLeft(8 * codedBytes) {}

  // A field of `width` >= 1 bits: value in the low width-1 bits, flag in the top bit.
  bool Read(int width, int &value, bool &flag) {
    if (width > bitsLeft)
      return false;
    if (bitPos >= 16) {
      // This may be the word behind the coded bytes (kept zero), whose bits no field uses.
      acc = (acc >> 16) | (uint32_t(le::U16(next)) << 16);
      next += 2;
      bitPos -= 16;
    }
    const uint32_t shifted = acc >> bitPos;
    value = int(shifted & ((1u << (width - 1)) - 1));
    flag = ((shifted >> (width - 1)) & 1u) != 0;
    bitPos += width;
    bitsLeft -= width;
    return true;
  }

private:
  const uint8_t *next;
  int bitsLeft;
  uint32_t acc = 0;
  int bitPos = 32; // the first read loads the first word into the upper half
};

// Beyond a block's coded bytes lies nothing of the block; decoding there would read stale data.
int NoEndMarker(CHydException &status) {
  Fail(status, "CSnoData::DecompressData: block without end marker");
  return 0;
}

// The base pixel and field widths of a block's coded lines.
struct BlockFields {
  int base = 0;
  int darkWidth = 0;
  int lightWidth = 0;
};

// Decodes line i, whose first dark run begins `value` pixels right of the block's base: dark and
// light run lengths alternate until a dark run carries the flag. Fills `line` and the line's
// leftmost start and rightmost end; 0 after a failure.
int DecodeLine(BitReader &bits, const BlockFields &fields, int value, CSnoData::Line &line,
               double counter, int lineCount, int i, int &lineMin, int &lineMax,
               CHydException &status) {
  CSnoData::Segment *segment = line.segments;
  int j = 0;
  bool flag = false;
  int16_t start = int16_t(fields.base + value);
  segment[0].start = start;
  if (!bits.Read(fields.darkWidth, value, flag))
    return NoEndMarker(status);
  int16_t end = int16_t(start + value);
  segment[0].end = end;
  lineMin = start;
  lineMax = std::max<int>(0, end);
  while (!flag) {
    ++j;
    if (j >= CSnoData::MAX_SEGMENTS) {
      std::string message;
      AppendF(message, "CSnoData::DecompressData: Overflow j=%d\n", j);
      Fail(status, std::move(message));
      return 0;
    }
    bool lightFlag = false;
    if (!bits.Read(fields.lightWidth, value, lightFlag))
      return NoEndMarker(status);
    if (lightFlag) {
      std::string message;
      AppendF(message, "CSnoData::DecompressData: y_count=%lu\n", WholeNumber(counter));
      AppendF(message, "%3d-%3d\n", segment[j - 1].start, segment[j - 1].end);
      AppendF(message, "lines=%d i=%d j=%d \n", lineCount, i, j);
      Fail(status, std::move(message));
      return 0;
    }
    start = int16_t(end + value);
    segment[j].start = start;
    if (!bits.Read(fields.darkWidth, value, flag))
      return NoEndMarker(status);
    end = int16_t(start + value);
    segment[j].end = end;
    lineMin = std::min<int>(lineMin, start);
    lineMax = std::max<int>(lineMax, end);
  }
  line.segmentCount = int16_t(j + 1);
  line.y_count = counter;
  return 1;
}

// A repetition: `count` copies of the last decoded line from line i on; 0 after a failure.
int RepeatLine(const CSnoData::Line *spareLine, CSnoData::Line *lines, int count, int lineCount,
               int &i, double &counter, CHydException &status) {
  if (i == 0 || !spareLine) {
    std::string message;
    AppendF(message, "CSnoData::DecompressData: y_count=%lu\n", WholeNumber(counter));
    AppendF(message, "repet found : i=%d light=%d lines=%d \n", i, count, lineCount);
    Fail(status, std::move(message));
    return 0;
  }
  for (int k = 0; k < count; ++k) {
    if (i >= lineCount) {
      std::string message;
      AppendF(message, "CSnoData::DecompressData: i=%d k=%d light=%d lines=%d \n", i, k, count,
              lineCount);
      AppendF(message, "i=%d \n", i);
      Fail(status, std::move(message));
      return 0;
    }
    CSnoData::Line &line = lines[i];
    line.segmentCount = spareLine->segmentCount;
    std::copy(spareLine->segments, spareLine->segments + CSnoData::MAX_SEGMENTS, line.segments);
    line.y_count = counter;
    counter += 1;
    ++i;
  }
  return 1;
}

// Widest line over all segments and rightmost segment end of one camera.
void ScanLines(const CSnoData::Line *lines, int count, int lineMinStart, int &maxWidth,
               int16_t &maxPos) {
  int width = 0;
  int pos = 0;
  for (int i = 0; i < count; ++i) {
    const CSnoData::Line &line = lines[i];
    const int segments = std::clamp<int>(line.segmentCount, 0, CSnoData::MAX_SEGMENTS);
    int lineMax = 0;
    int lineMin = lineMinStart;
    for (int j = 0; j < segments; ++j) {
      lineMax = std::max<int>(lineMax, line.segments[j].end);
      lineMin = std::min<int>(lineMin, line.segments[j].start);
    }
    width = std::max(width, lineMax - lineMin);
    pos = std::max(pos, lineMax);
  }
  maxWidth = width;
  maxPos = int16_t(pos);
}

} // namespace

void CSnoData::Reset() {
  CHydData::Reset();
  format = 0;
  std::fill(linesA, linesA + usedA, Line{});
  std::fill(linesB, linesB + usedB, Line{});
  usedA = 0;
  usedB = 0;
  spareLine = nullptr;
}

int CSnoData::CalculateData(CHydFile *hydFile, const MainHeader *mainHeader,
                            const PixHeader *pixHeader, uint16_t fileFormat,
                            FilterRange filterRange, CHydException *exc) {
  CHydException status;
  int result = 0;
  if (!hydFile) {
    status.Set(CHydException::generic, "CSnoData::CalculateData: hydFile = NULL");
  } else if (!mainHeader) {
    status.Set(CHydException::generic, "CSnoData::CalculateData: mainHeader = NULL");
  } else if (!pixHeader) {
    status.Set(CHydException::generic, "CSnoData::CalculateData: pixHeader = NULL");
  } else {
    record.linesA = pixHeader->lineCountA;
    record.linesB = int16_t(record.linesA + pixHeader->lineDiffB);
    const bool decode = int16_t(pixHeader->tag) > 0;
    if (!decode || DecompressData(hydFile, pixHeader, &status) >= 1) {
      format = fileFormat;
      result = SetUp(mainHeader, pixHeader, filterRange, decode ? extents : nullptr, status);
    }
  }
  status.CopyTo(exc);
  return result;
}

int CSnoData::DecompressData(CHydFile *hydFile, const PixHeader *pixHeader, CHydException *exc) {
  CHydException status;
  int result = 0;
  if (!hydFile) {
    status.Set(CHydException::generic, "CSnoData::DecompressData: hydFile = NULL");
  } else if (!pixHeader) {
    status.Set(CHydException::generic, "CSnoData::DecompressData: pixHeader = NULL");
  } else {
    std::fill(linesA, linesA + usedA, Line{});
    std::fill(linesB, linesB + usedB, Line{});
    usedA = 0;
    usedB = 0;
    const int countA = pixHeader->lineCountA;
    const int countB = int16_t(countA + pixHeader->lineDiffB);
    extents[0] = extents[1] = Extent{};
    result = DecodeCamera(hydFile, linesA, countA, usedA, extents[0], status) &&
                     DecodeCamera(hydFile, linesB, countB, usedB, extents[1], status)
                 ? 1
                 : 0;
  }
  status.CopyTo(exc);
  return result;
}

int CSnoData::DecodeCamera(CHydFile *hydFile, Line *lines, int lineCount, int &used, Extent &extent,
                           CHydException &status) {
  uint8_t word[2];
  if (hydFile->Read(word, 2, &status) < 1)
    return 0;
  const int nCmp = le::I16(word);
  if (nCmp == 0) {
    Fail(status, "CSnoData::DecompressData: n_cmp = 0");
    return 0;
  }
  // A block holds its 14-byte head and whole 16-bit words of coded lines.
  if (nCmp < 14 || nCmp % 2 != 0) {
    std::string message;
    AppendF(message, "CSnoData::DecompressData: bad block size n_cmp=%d", nCmp);
    Fail(status, std::move(message));
    return 0;
  }

  // Line entries up to index i may have been written, whatever way this returns.
  int i = 0;
  struct UsedLines {
    int &used;
    const int &i;
    ~UsedLines() { used = std::max(used, std::min(i + 1, MAX_LINES)); }
  } usedLines{used, i};

  Extent found = extent;
  while (i < lineCount) {
    uint8_t head[14];
    if (hydFile->Read(head, sizeof head, &status) < 1)
      return 0;
    const uint32_t parameter = le::U32(head + 2);
    double counter = le::F64(head + 6);
    if (lineCount > MAX_LINES) {
      Fail(status, "CSnoData::DecompressData: overflow");
      return 0;
    }
    if (nCmp != int(parameter & 0x3FFF) + 2) {
      Fail(status, "CSnoData::DecompressData: n_cmp != (cmprLength+2)");
      return 0;
    }
    const BlockFields fields{int((parameter >> 14) & 0x3FF), int((parameter >> 24) & 0xF),
                             int(parameter >> 28)};
    // A field of width 0 carries nothing and would never advance through the block.
    if (fields.lightWidth == 0 || fields.darkWidth == 0) {
      Fail(status, "CSnoData::DecompressData: field width = 0");
      return 0;
    }
    const int codedBytes = nCmp - 14;
    if (hydFile->Read(dataBuffer + CODED_START, uint32_t(codedBytes), &status) < 1)
      return 0;
    dataBuffer[CODED_START + codedBytes] = 0;
    dataBuffer[CODED_START + codedBytes + 1] = 0;
    BitReader bits(dataBuffer + CODED_START, codedBytes);

    int value = 0;
    bool flag = false;
    for (;;) {
      if (!bits.Read(fields.lightWidth, value, flag))
        return NoEndMarker(status);
      if (flag && value == 0)
        break;
      if (i >= lineCount) {
        std::string message;
        AppendF(message, "CSnoData::DecompressData: Overflow i=%d lines=%d \n", i, lineCount);
        Fail(status, std::move(message));
        return 0;
      }
      if (!flag) {
        Line &line = lines[i];
        int lineMin = 0, lineMax = 0;
        if (!DecodeLine(bits, fields, value, line, counter, lineCount, i, lineMin, lineMax, status))
          return 0;
        found.width = found.any ? std::max(found.width, lineMax - lineMin) : lineMax - lineMin;
        found.pos = std::max(found.pos, lineMax);
        found.any = true;
        spareLine = &line;
        counter += 1;
        ++i;
      } else if (!RepeatLine(spareLine, lines, value, lineCount, i, counter, status)) {
        return 0;
      }
    }
  }
  extent = found;
  return 1;
}

int CSnoData::SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                           FilterRange filterRange, CHydException *exc) {
  CHydException status;
  const int result = SetUp(mainHeader, pixHeader, filterRange, nullptr, status);
  status.CopyTo(exc);
  return result;
}

int CSnoData::SetUp(const MainHeader *mainHeader, const PixHeader *pixHeader,
                    const FilterRange &filterRange, const Extent *decoded, CHydException &status) {
  int result = 0;
  if (!mainHeader) {
    status.Set(CHydException::generic, "CSnoData::SetHydHeader: mainHeader = NULL");
  } else if (!pixHeader) {
    status.Set(CHydException::generic, "CSnoData::SetHydHeader: pixHeader = NULL");
  } else {
    HydRecord &r = record;
    const MainHeader &mh = *mainHeader;
    const PixHeader &ph = *pixHeader;
    r.tim = ph.tim;
    r.mainHeader = mainHeader;
    r.minPosA = ph.offsetA;
    r.minPosB = ph.offsetB;
    r.diameter = float(ph.eqDiam / 100.0);
    r.rawDiameter = ph.eqDiam;
    r.area = 0;
    r.dropType = uint16_t(ph.backLink >> 11);
    r.scaleHeight = float(ph.pixScaleH / 10000.0);
    r.scaleSysA = float(ph.pixScaleA / 10000.0);
    r.scaleSysB = float(ph.pixScaleB / 10000.0);
    r.volume = particle::SphereVolume(r.diameter);

    if (r.linesA > MAXLIN || r.linesB > MAXLIN) {
      Fail(status, "CSnoData::SetHydHeader: number of lines > MAXLIN");
    } else {
      int maxWidthA = 0;
      int maxWidthB = 0;
      const int lineMinStart = 2 * mh.halfPixels;
      if (decoded) {
        // A line's width counts from no further right than 2 * halfPixels.
        auto fromExtent = [lineMinStart](const Extent &e, int &maxWidth, int16_t &maxPos) {
          maxWidth = e.any ? std::max({0, e.width, e.pos - lineMinStart}) : 0;
          maxPos = int16_t(e.pos);
        };
        fromExtent(decoded[0], maxWidthA, r.maxPosA);
        fromExtent(decoded[1], maxWidthB, r.maxPosB);
      } else {
        ScanLines(linesA, r.linesA, lineMinStart, maxWidthA, r.maxPosA);
        ScanLines(linesB, r.linesB, lineMinStart, maxWidthB, r.maxPosB);
      }

      const float centreA = particle::Centre(r.minPosA, r.maxPosA);
      const float centreB = particle::Centre(r.minPosB, r.maxPosB);
      const float planeDistance = particle::PlaneDistance(mh, centreA, centreB);
      r.velocity = particle::Velocity(planeDistance, mh.lineFrequency, ph.absv);
      r.widthA = float(double(maxWidthA) * r.scaleSysA);
      r.widthB = float(double(maxWidthB) * r.scaleSysB);
      r.heightA = float(r.linesA * double(r.scaleHeight));
      r.heightB = float(r.linesB * double(r.scaleHeight));

      if (particle::Oblateness(r) == 0) {
        Fail(status, "CSnoData::SetHydHeader: diameterA or diameterB = 0");
      } else if ((r.area = particle::EffectiveArea(mh, r, filterRange)) == 0) {
        Fail(status, "CSnoData::SetHydHeader: L0_1 or L0_2 = 0");
      } else {
        r.format = format;
        result = 1;
      }
    }
  }
  return result;
}

void CSnoData::GetShadowRuns(Camera camera, std::vector<ShadowRun> &out) const {
  out.clear();
  const Line *lines = camera == Camera::A ? linesA : linesB;
  // Only as many lines and segments as the arrays hold, whatever the record claims.
  const int count =
      std::clamp<int>(camera == Camera::A ? record.linesA : record.linesB, 0, MAX_LINES);
  for (int i = 0; i < count; ++i) {
    const int segments = std::clamp<int>(lines[i].segmentCount, 0, MAX_SEGMENTS);
    for (int s = 0; s < segments; ++s)
      out.push_back({i, lines[i].segments[s].start, lines[i].segments[s].end});
  }
}
