#include "CRainData.h"

#include "ParticleGeometry.h"
#include "data/CHydFile.h"
#include "data/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int MAX_VALUES = 4 * CRainData::MAXLIN; // 4800: two edges per line and camera
// Readable bytes behind the data that a load of eight bytes may touch.
constexpr int LOAD_SLACK_BYTES = 8;
static_assert(CInputFile::VIEW_SLACK >= LOAD_SLACK_BYTES);

using CameraExtent = CRainData::CameraExtent;

// Widest line and rightmost edge of one camera; both stay 0 without a line wider than 0.
CameraExtent ScanEdges(const int16_t *left, const int16_t *right, int lines) {
  int width = 0;
  int pos = 0;
  for (int i = 0; i < lines; ++i) {
    const int r = right[i];
    width = std::max(width, r - left[i]);
    pos = std::max(pos, r);
  }
  return CameraExtent{width, int16_t(pos)};
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

// Eight bytes from `at` as one little-endian 64-bit value, those from `size` on read as 0. The
// bytes up to `at` + 8 must be readable: the data is followed by LOAD_SLACK_BYTES.
uint64_t EightBytes(const uint8_t *bytes, int at, int size) {
  const uint64_t value = le::U64(bytes + at);
  const int inside = size - at;
  return inside >= 8 ? value : value & ((uint64_t(1) << (8 * inside)) - 1);
}

// Packed values of `Bits` bits, least significant bit first, from the `size` bytes of `bytes`
// into `values`, which has room for `count` rounded up to whole loads. One load of eight bytes
// serves as many values as its 56 sure bits hold, so a value costs a shift and a mask.
template <int Bits> void UnpackValues(const uint8_t *bytes, int size, int count, uint16_t *values) {
  constexpr int PER_LOAD = 56 / Bits;
  constexpr uint64_t MASK = (uint64_t(1) << Bits) - 1;
  int bit = 0;
  for (int i = 0; i < count; i += PER_LOAD, bit += PER_LOAD * Bits) {
    const uint64_t acc = EightBytes(bytes, bit >> 3, size) >> (bit & 7);
    // Unrolled, every shift is a constant.
#pragma GCC unroll 56
    for (int k = 0; k < PER_LOAD; ++k)
      values[i + k] = uint16_t((acc >> (k * Bits)) & MASK);
  }
}

// The three 3-bit values of every 9-bit group, padded to four so that one copy places them.
constexpr std::array<std::array<uint16_t, 4>, 512> ThreeBitGroups() {
  std::array<std::array<uint16_t, 4>, 512> groups{};
  for (int g = 0; g < 512; ++g)
    groups[g] = {uint16_t(g & 7), uint16_t((g >> 3) & 7), uint16_t(g >> 6), 0};
  return groups;
}
constexpr auto THREE_BIT_GROUPS = ThreeBitGroups();

// The commonest width: a load's 54 sure bits of whole groups are six look-ups of three values.
// Each copy writes one value more, which the next one or the caller's room takes.
template <> void UnpackValues<3>(const uint8_t *bytes, int size, int count, uint16_t *values) {
  int bit = 0;
  for (int i = 0; i < count; i += 18, bit += 54) {
    const uint64_t acc = EightBytes(bytes, bit >> 3, size) >> (bit & 7);
#pragma GCC unroll 6
    for (int g = 0; g < 6; ++g)
      std::memcpy(values + i + 3 * g, THREE_BIT_GROUPS[(acc >> (9 * g)) & 511].data(),
                  sizeof(THREE_BIT_GROUPS[0]));
  }
}

#if defined(__SSE2__)
// 4 bits: the low and the high halves of eight bytes interleaved are sixteen values.
template <> void UnpackValues<4>(const uint8_t *bytes, int size, int count, uint16_t *values) {
  const __m128i lowHalf = _mm_set1_epi8(0x0F);
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0, at = 0; i < count; i += 16, at += 8) {
    const __m128i eight = _mm_cvtsi64_si128(int64_t(EightBytes(bytes, at, size)));
    const __m128i low = _mm_and_si128(eight, lowHalf);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(eight, 4), lowHalf);
    const __m128i sixteen = _mm_unpacklo_epi8(low, high);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(values + i), _mm_unpacklo_epi8(sixteen, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(values + i + 8), _mm_unpackhi_epi8(sixteen, zero));
  }
}
#endif

using ValueUnpacker = void (*)(const uint8_t *, int, int, uint16_t *);

// One unpacker per value width 1-15; entry 0 is never called.
template <int... Widths>
constexpr std::array<ValueUnpacker, 16> ValueUnpackers(std::integer_sequence<int, Widths...>) {
  return {nullptr, &UnpackValues<Widths + 1>...};
}
constexpr auto VALUE_UNPACKERS = ValueUnpackers(std::make_integer_sequence<int, 15>());

// Most values one load can hold: how far unpacking may write past the last value.
constexpr int UNPACK_OVERRUN = 56;

// Lines placed a step at a time on 16-bit lanes.
constexpr int EDGE_LANES = 8;
static_assert(CRainData::MAXLIN % EDGE_LANES == 0, "whole steps stay inside the edge arrays");
static_assert(UNPACK_OVERRUN >= EDGE_LANES, "the last step reads inside the values");

#if defined(__SSE2__)
// Largest of the eight lanes, all of them at least 0.
int16_t LargestLane(__m128i lanes) {
  lanes = _mm_max_epi16(lanes, _mm_srli_si128(lanes, 8));
  lanes = _mm_max_epi16(lanes, _mm_srli_si128(lanes, 4));
  lanes = _mm_max_epi16(lanes, _mm_srli_si128(lanes, 2));
  return int16_t(_mm_cvtsi128_si32(lanes));
}
#endif

// One camera's edges from its unpacked values (the left edges, then the right ones) of `bits`
// bits, and the camera's widest line and rightmost edge met on the way. The values are readable
// and the edge arrays writable up to `lines` rounded up to whole steps; edges written past the
// last line mean nothing, as those of an earlier particle there did.
CameraExtent PlaceEdges(const uint16_t *__restrict values, int lines, int16_t offset, int bits,
                        int16_t *__restrict left, int16_t *__restrict right) {
  if (offset + ((1 << bits) - 1) <= INT16_MAX) {
    // No edge wraps around: a line's width is the difference of its values, which 16 bits hold.
#if defined(__SSE2__)
    // Lanes past the last line count as width 0 and position 0, which change neither maximum.
    const __m128i shift = _mm_set1_epi16(offset);
    const __m128i lineCount = _mm_set1_epi16(int16_t(lines));
    __m128i line = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    __m128i width = _mm_setzero_si128();
    __m128i pos = _mm_setzero_si128();
    for (int i = 0; i < lines; i += EDGE_LANES) {
      const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i *>(values + i));
      const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i *>(values + lines + i));
      const __m128i rightEdge = _mm_add_epi16(r, shift);
      _mm_storeu_si128(reinterpret_cast<__m128i *>(left + i), _mm_add_epi16(l, shift));
      _mm_storeu_si128(reinterpret_cast<__m128i *>(right + i), rightEdge);
      const __m128i inside = _mm_cmplt_epi16(line, lineCount);
      width = _mm_max_epi16(width, _mm_and_si128(inside, _mm_sub_epi16(r, l)));
      pos = _mm_max_epi16(pos, _mm_and_si128(inside, rightEdge));
      line = _mm_add_epi16(line, _mm_set1_epi16(EDGE_LANES));
    }
    return CameraExtent{LargestLane(width), LargestLane(pos)};
#else
    int16_t width = 0;
    int16_t pos = 0;
    for (int i = 0; i < lines; ++i) {
      const uint16_t l = values[i];
      const uint16_t r = values[lines + i];
      left[i] = int16_t(l + offset);
      right[i] = int16_t(r + offset);
      width = std::max(width, int16_t(r - l));
      pos = std::max(pos, int16_t(r + offset));
    }
    return CameraExtent{width, pos};
#endif
  }
  int width = 0;
  int pos = 0;
  for (int i = 0; i < lines; ++i) {
    const int16_t l = int16_t(values[i] + offset);
    const int16_t r = int16_t(values[lines + i] + offset);
    left[i] = l;
    right[i] = r;
    width = std::max(width, r - l);
    pos = std::max(pos, int(r));
  }
  return CameraExtent{width, int16_t(pos)};
}

} // namespace

[[gnu::flatten]] int CRainData::CalculateData(CHydFile *hydFile, const MainHeader *mainHeader,
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
    // The data is unpacked where the file's buffer holds it; only a record that the buffer does
    // not hold whole is copied out first.
    const int size = CHydFile::DropDataSize(format, pixHeader->tag);
    uint8_t copy[CHydFile::MAX_DROP_DATA + LOAD_SLACK_BYTES];
    const uint8_t *data = hydFile->TakeDropData(format, pixHeader->tag);
    if (!data && hydFile->ReadDropData(copy, format, pixHeader->tag, &status) == 1) {
      std::fill_n(copy + size, LOAD_SLACK_BYTES, uint8_t(0));
      data = copy;
    }
    if (data) {
      const bool packed = int16_t(pixHeader->tag) > 0;
      if (!packed || Unpack(data, size, pixHeader, status)) {
        if (format >= 1 && format <= 4)
          result = SetUp(mainHeader, pixHeader, filterRange, format == 1, packed, status);
        else
          status.Set(CHydException::badRecordLength, "CRainData::CalculateData: wrong hyd-format");
      }
    }
  }
  status.CopyTo(exc);
  return result;
}

int CRainData::DecompressData(const uint16_t *data, int wordCount, const PixHeader *pixHeader,
                              CHydException *exc) {
  CHydException status;
  if (!data || wordCount < 0)
    wordCount = 0;
  // Words beyond those the most values can fill change nothing.
  wordCount = std::min(wordCount, MAX_VALUES);
  // The words as the file holds them, followed by the slack that unpacking may touch.
  std::vector<uint8_t> bytes(2 * size_t(wordCount) + LOAD_SLACK_BYTES);
  for (int i = 0; i < wordCount; ++i)
    le::PutU16(bytes.data() + 2 * i, data[i]);
  const int result = Unpack(bytes.data(), 2 * wordCount, pixHeader, status);
  status.CopyTo(exc);
  return result;
}

int CRainData::Unpack(const uint8_t *data, int size, const PixHeader *pixHeader,
                      CHydException &status) {
  if (!pixHeader) {
    status.Set(CHydException::generic, "CRainData::DecompressData: pixHeader = NULL");
    return 0;
  }
  const int linesA = format == 1 ? int16_t(pixHeader->lineCountA + 1) : pixHeader->lineCountA;
  const int linesB = int16_t(linesA + pixHeader->lineDiffB);
  const int bits = (pixHeader->tag & 0x7800) >> 11;
  const int total = 2 * linesB + 2 * linesA;
  const int wordCount = (size + 1) / 2;
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
    // Only whole values inside the data count, the data taken as 16-bit words (an odd last byte
    // is the low half of a word); edges without one get 0 plus the offset.
    const int available = bits ? int(std::min<long>(total, long(wordCount) * 16 / bits)) : 0;
    uint16_t values[MAX_VALUES + UNPACK_OVERRUN];
    if (available > 0)
      VALUE_UNPACKERS[bits](data, size, available, values);
    // Values missing count as 0, and so do those that the edges' last step reads past the end.
    if (available < total)
      std::fill(values + available, values + total, uint16_t(0));
    std::fill_n(values + total, EDGE_LANES, uint16_t(0));
    decodedA = PlaceEdges(values, linesA, pixHeader->offsetA, bits, leftA, rightA);
    decodedB = PlaceEdges(values + 2 * linesA, linesB, pixHeader->offsetB, bits, leftB, rightB);
    return 1;
  }
  return 0;
}

int CRainData::SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                            FilterRange filterRange, CHydException *exc) {
  CHydException status;
  const int result = SetUp(mainHeader, pixHeader, filterRange, false, false, status);
  status.CopyTo(exc);
  return result;
}

int CRainData::SetOldHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                               FilterRange filterRange, CHydException *exc) {
  CHydException status;
  const int result = SetUp(mainHeader, pixHeader, filterRange, true, false, status);
  status.CopyTo(exc);
  return result;
}

int CRainData::SetUp(const MainHeader *mainHeader, const PixHeader *pixHeader,
                     const FilterRange &filterRange, bool old, bool edgesDecoded,
                     CHydException &status) {
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

  const CameraExtent extentA = edgesDecoded ? decodedA : ScanEdges(leftA, rightA, r.linesA);
  const CameraExtent extentB = edgesDecoded ? decodedB : ScanEdges(leftB, rightB, r.linesB);
  const int maxWidthA = extentA.maxWidth;
  const int maxWidthB = extentB.maxWidth;
  r.maxPosA = extentA.maxPos;
  r.maxPosB = extentB.maxPos;

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
