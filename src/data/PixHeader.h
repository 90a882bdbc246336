#pragma once
#include "LittleEndian.h"
#include <cstdint>

// Header of a particle record; the drop data follows it.
struct PixHeader {
  static constexpr int LENGTH_MASK = 0x07FF;

  uint16_t tag = 0; // bits 0-10 record length, bits 11-14 packed value width
  uint16_t backLink = 0;
  double tim = 0;
  uint16_t eqDiam = 0;
  int16_t lineCountA = 0;
  int16_t lineDiffB = 0;
  int16_t absv = 0;
  int16_t offsetA = 0;
  int16_t offsetB = 0;
  uint16_t pixScaleH = 0;
  uint16_t pixScaleA = 0;
  uint16_t pixScaleB = 0;

  // Size of the header in the file for a format version 1-4.
  static constexpr int FileSize(int format) { return format >= 4 ? 30 : format >= 2 ? 26 : 24; }

  int Length() const { return tag & LENGTH_MASK; }
  int Bits() const { return (tag & 0x7800) >> 11; }
  int DropType() const { return backLink >> 11; }

  // Decodes the bytes behind the tag (FileSize(format) - 2 of them).
  void Decode(const uint8_t *rest, uint16_t tagWord, int format);
};

inline void PixHeader::Decode(const uint8_t *p, uint16_t tagWord, int format) {
  tag = tagWord;
  backLink = le::U16(p);
  p += 2;
  if (format >= 4) {
    tim = le::F64(p);
    p += 8;
  } else {
    tim = double(le::U32(p));
    p += 4;
  }
  eqDiam = le::U16(p);
  lineCountA = le::I16(p + 2);
  // Format 1 keeps the camera B difference in one signed byte followed by a spare byte.
  lineDiffB = format == 1 ? int16_t(int8_t(p[4])) : le::I16(p + 4);
  absv = le::I16(p + 6);
  offsetA = le::I16(p + 8);
  offsetB = le::I16(p + 10);
  p += 12;
  if (format >= 2) {
    pixScaleH = le::U16(p);
    p += 2;
  } else {
    pixScaleH = 0;
  }
  pixScaleA = le::U16(p);
  pixScaleB = le::U16(p + 2);
}

// Display names of the class codes 0-6; "" for any other code.
const char *DropTypeName(int dropType);

// The class word as classification writes it: the old length bits with the new class on top.
inline uint16_t ClassWord(uint16_t backLink, unsigned dropType) {
  return uint16_t((backLink & PixHeader::LENGTH_MASK) | (dropType << 11));
}
