#include "CRainData.h"

#include "ParticleGeometry.h"
#include "data/CHydFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int MAX_VALUES = 4 * CRainData::MAXLIN; // 4800: two edges per line and camera

// Widest line and rightmost edge of one camera; both stay 0 without a line wider than 0.
void ScanEdges(const int16_t *left, const int16_t *right, int lines, int &maxWidth,
               int16_t &maxPos) {
  int width = 0;
  int pos = 0;
  for (int i = 0; i < lines; ++i) {
    const int r = right[i];
    width = std::max(width, r - left[i]);
    pos = std::max(pos, r);
  }
  maxWidth = width;
  maxPos = int16_t(pos);
}

// Drift of the particle's centre between its first and last line, in m/s.
float HorizontalVelocity(const int16_t *left, const int16_t *right, int lines, float scale,
                         double lineFrequency) {
  // A single line has no drift to measure (0 over 0 lines); 0 reads as "none seen".
  if (lines < 2)
    return 0;
  const float first = (float(left[0]) + float(right[0])) / 2.0f;
  const float last = (float(left[lines - 1]) + float(right[lines - 1])) / 2.0f;
  return float((double(last - first) * scale * lineFrequency / (lines - 1)) / 1000.0);
}

// Packed values, least significant bit first, read straight into the edge arrays. The words
// are gathered up to 64 bits at a time, so most values need no fetch of their own;
// no word past the data is read.
struct ValueStream {
  const uint16_t *next;
  const uint16_t *end;
  int bits;
  uint64_t acc = 0;
  int held = 0;

  void Unpack(int16_t *edges, int count, int16_t offset, int &available) {
    const int n = std::min(count, available);
    const uint64_t mask = (uint64_t(1) << bits) - 1;
    int i = 0;
    while (i < n) {
      while (held <= 48 && next != end) {
        acc |= uint64_t(*next++) << held;
        held += 16;
      }
      for (; i < n && held >= bits; ++i) {
        edges[i] = int16_t(int(acc & mask) + offset);
        acc >>= bits;
        held -= bits;
      }
    }
    for (int k = n; k < count; ++k)
      edges[k] = offset;
    available -= n;
  }
};

} // namespace

int CRainData::CalculateData(CHydFile *hydFile, const MainHeader *mainHeader,
                             const PixHeader *pixHeader, uint16_t fileFormat,
                             FilterRange filterRange, CHydException *exc) {
  CHydException status;
  int result = 0;
  if (!hydFile) {
    status.Set(CHydException::generic, "CRainData::CalculateData: hydFile = NULL");
  } else if (!mainHeader) {
    status.Set(CHydException::generic, "CRainData::CalculateData: mainHeader = NULL");
  } else if (!pixHeader) {
    status.Set(CHydException::generic, "CRainData::CalculateData: pixHeader = NULL");
  } else {
    format = fileFormat;
    // Room for the largest data part; read as bytes, then assembled into little-endian words.
    uint16_t words[MAX_VALUES];
    static_assert(sizeof(words) >= CHydFile::MAX_DROP_DATA + 1);
    auto *bytes = reinterpret_cast<uint8_t *>(words);
    if (hydFile->ReadDropData(bytes, format, pixHeader->tag, &status) == 1) {
      const int size = CHydFile::DropDataSize(format, pixHeader->tag);
      const int wordCount = (size + 1) / 2;
      if (size % 2)
        bytes[size] = 0;
      // The bytes already are the words on a little-endian machine.
      if constexpr (std::endian::native != std::endian::little) {
        for (int i = 0; i < wordCount; ++i)
          words[i] = uint16_t(bytes[2 * size_t(i)] | (bytes[2 * size_t(i) + 1] << 8));
      }

      if (int16_t(pixHeader->tag) <= 0 || DecompressData(words, wordCount, pixHeader, &status)) {
        if (format == 1)
          result = SetOldHydHeader(mainHeader, pixHeader, filterRange, &status);
        else if (format >= 2 && format <= 4)
          result = SetHydHeader(mainHeader, pixHeader, filterRange, &status);
        else
          status.Set(CHydException::badRecordLength, "CRainData::CalculateData: wrong hyd-format");
        result = result >= 1 ? 1 : 0;
      }
    }
  }
  status.CopyTo(exc);
  return result;
}

int CRainData::DecompressData(const uint16_t *data, int wordCount, const PixHeader *pixHeader,
                              CHydException *exc) {
  CHydException status;
  int result = 0;
  if (!pixHeader) {
    status.Set(CHydException::generic, "CRainData::DecompressData: pixHeader = NULL");
    status.CopyTo(exc);
    return 0;
  }
  if (!data || wordCount < 0)
    wordCount = 0;

  const int linesA = format == 1 ? int16_t(pixHeader->lineCountA + 1) : pixHeader->lineCountA;
  const int linesB = int16_t(linesA + pixHeader->lineDiffB);
  const int bits = (pixHeader->tag & 0x7800) >> 11;
  const int total = 2 * linesB + 2 * linesA;
  if (format < 1 || format > 4) {
    status.Set(CHydException::badRecordLength, "CRainData::CalculateData: wrong hyd-format");
  } else if (linesA >= MAXLIN || linesB >= MAXLIN || total >= MAX_VALUES) {
    status.Set(CHydException::badRecordLength, "CRainData::DecompressData: MAXLIN exceeded");
  } else if (linesA < 0 || linesB < 0) {
    // A negative count would index in front of the value buffer.
    status.Set(CHydException::badRecordLength,
               "CRainData::DecompressData: negative number of lines");
  } else if (bits == 0 && wordCount > 0 && total > 0) {
    status.Set(CHydException::badRecordLength,
               "CRainData::DecompressData: bits = 0 -> division by zero");
  } else {
    // Only whole values inside the data count; edges without one get 0 plus the offset.
    int available = bits ? int(std::min<long>(total, long(wordCount) * 16 / bits)) : 0;
    ValueStream stream{data, data + wordCount, bits};
    stream.Unpack(leftA, linesA, pixHeader->offsetA, available);
    stream.Unpack(rightA, linesA, pixHeader->offsetA, available);
    stream.Unpack(leftB, linesB, pixHeader->offsetB, available);
    stream.Unpack(rightB, linesB, pixHeader->offsetB, available);
    result = 1;
  }
  status.CopyTo(exc);
  return result;
}

int CRainData::SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                            FilterRange filterRange, CHydException *exc) {
  CHydException status;
  const int result = SetUp(mainHeader, pixHeader, filterRange, false, status);
  status.CopyTo(exc);
  return result;
}

int CRainData::SetOldHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                               FilterRange filterRange, CHydException *exc) {
  CHydException status;
  const int result = SetUp(mainHeader, pixHeader, filterRange, true, status);
  status.CopyTo(exc);
  return result;
}

int CRainData::SetUp(const MainHeader *mainHeader, const PixHeader *pixHeader,
                     const FilterRange &filterRange, bool old, CHydException &status) {
  const char *const mainNull = old ? "CRainData::SetOldHydHeader: mainHeader = NULL"
                                   : "CRainData::SetHydHeader: mainHeader = NULL";
  const char *const pixNull = old ? "CRainData::SetOldHydHeader: pixHeader = NULL"
                                  : "CRainData::SetHydHeader: pixHeader = NULL";
  if (!mainHeader) {
    status.Set(CHydException::generic, mainNull);
    return 0;
  }
  if (!pixHeader) {
    status.Set(CHydException::generic, pixNull);
    return 0;
  }
  HydRecord &r = record;
  const MainHeader &mh = *mainHeader;
  const PixHeader &ph = *pixHeader;
  if (old) {
    r.maxPosA = 0;
    r.maxPosB = 0;
  }
  r.tim = ph.tim;
  r.mainHeader = mainHeader;
  r.linesA = old ? int16_t(ph.lineCountA + 1) : ph.lineCountA;
  r.linesB = int16_t(r.linesA + ph.lineDiffB);
  r.minPosA = ph.offsetA;
  r.minPosB = ph.offsetB;
  r.diameter = float(ph.eqDiam / 100.0);
  r.area = 0;
  if (old) {
    r.dropType = uint16_t((ph.backLink >> 11) & 7);
    r.scaleSysA = float(ph.pixScaleA / 1000.0);
    r.scaleSysB = float(ph.pixScaleB / 1000.0);
  } else {
    r.rawDiameter = ph.eqDiam;
    r.dropType = uint16_t(ph.backLink >> 11);
    r.scaleHeight = float(ph.pixScaleH / 10000.0);
    r.scaleSysA = float(ph.pixScaleA / 10000.0);
    r.scaleSysB = float(ph.pixScaleB / 10000.0);
    r.volume = particle::SphereVolume(r.diameter);
  }

  if (r.linesA > MAXLIN || r.linesB > MAXLIN) {
    status.Set(CHydException::badRecordLength,
               old ? "CRainData::SetOldHydHeader: number of lines > MAXLIN"
                   : "CRainData::SetHydHeader: number of lines > MAXLIN");
    return 0;
  }

  int maxWidthA = 0;
  int maxWidthB = 0;
  ScanEdges(leftA, rightA, r.linesA, maxWidthA, r.maxPosA);
  ScanEdges(leftB, rightB, r.linesB, maxWidthB, r.maxPosB);

  const float centreA = particle::Centre(r.minPosA, r.maxPosA);
  const float centreB = particle::Centre(r.minPosB, r.maxPosB);
  const float planeDistance = particle::PlaneDistance(mh, centreA, centreB);

  if (old) {
    // A drop crossing the planes in absv/2 lines falls planeDistance mm in that time.
    r.scaleHeight = ph.absv != 0 ? float(planeDistance / (std::abs(int(ph.absv)) * 0.5)) : 100.0f;
    const double k = OldDiameter(mh);
    r.velocity = particle::Velocity(planeDistance, mh.lineFrequency, ph.absv);
    if (mh.lineFrequency >= 26000) {
      r.widthA = float(double(maxWidthA) * r.scaleSysA);
      r.widthB = float(double(maxWidthB) * r.scaleSysB);
      r.heightA = float(r.linesA * double(r.scaleHeight) * k);
      r.heightB = float(r.linesB * double(r.scaleHeight) * k);
    } else {
      // Slow cameras blur each edge; an empty camera keeps width 0 instead of going negative.
      r.widthA = maxWidthA > 0 ? float((maxWidthA - 0.6) * r.scaleSysA) : 0.0f;
      r.widthB = maxWidthB > 0 ? float((maxWidthB - 0.6) * r.scaleSysB) : 0.0f;
      r.heightA = float((r.linesA + 0.4) * r.scaleHeight * k);
      r.heightB = float((r.linesB + 0.4) * r.scaleHeight * k);
    }
  } else {
    r.velocity = particle::Velocity(planeDistance, mh.lineFrequency, ph.absv);
    r.widthA = float(double(maxWidthA) * r.scaleSysA);
    r.widthB = float(double(maxWidthB) * r.scaleSysB);
    r.heightA = float(r.linesA * double(r.scaleHeight));
    r.heightB = float(r.linesB * double(r.scaleHeight));
  }

  if (particle::Oblateness(r) == 0) {
    status.Set(CHydException::badRecordLength,
               old ? "CRainData::SetOldHydHeader: diameterA or diameterB = 0"
                   : "CRainData::SetHydHeader: diameterA or diameterB = 0");
    return 0;
  }
  r.area = particle::EffectiveArea(mh, r, filterRange);
  if (r.area == 0) {
    status.Set(CHydException::badRecordLength, old ? "CRainData::SetOldHydHeader: L0_1 or L0_2 = 0"
                                                   : "CRainData::SetHydHeader: L0_1 or L0_2 = 0");
    return 0;
  }
  r.hVelA = HorizontalVelocity(leftA, rightA, r.linesA, r.scaleSysA, mh.lineFrequency);
  r.hVelB = HorizontalVelocity(leftB, rightB, r.linesB, r.scaleSysB, mh.lineFrequency);
  r.format = format;
  return 1;
}

double CRainData::OldDiameter(const MainHeader &mh) {
  HydRecord &r = record;
  // Integrate the drop as a stack of elliptical slices, one per line seen by both cameras.
  const int n = std::min(r.linesA, r.linesB);
  const bool fast = mh.lineFrequency >= 26000;
  const double blur = fast ? 0.0 : 0.6;
  double volume = 0;
  for (int i = 0; i < n; ++i) {
    const double wA = (rightA[i] - leftA[i]) - blur;
    const double wB = (rightB[i] - leftB[i]) - blur;
    volume += particle::PI / 4 * (wA * r.scaleSysA) * (wB * r.scaleSysB) * r.scaleHeight;
  }
  // Blurred empty lines can sum below 0; that is no volume, not a negative one.
  if (volume <= 0)
    volume = 0.001;
  // Stretch the stack to the mean line count of the two cameras.
  if (n > 0)
    volume = volume * (r.linesA + r.linesB) / (2.0 * n);
  const double d = std::cbrt(6 * volume / particle::PI);

  double k = 1;
  switch (mh.corrModel) {
  case 0:
    k = 1 / (1 - 0.25 * std::exp(-1.25 * d));
    break;
  case 1:
    k = 1 / (1 - 0.36 * std::exp(-1.25 * d));
    break;
  case 2:
  case 3:
    k = 1 / (1 - std::exp(-2.5 * d));
    break;
  default:
    break;
  }
  r.diameter = float(std::cbrt(k) * d);
  r.volume = particle::SphereVolume(r.diameter);
  return k;
}
