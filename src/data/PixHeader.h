#pragma once
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

// Display names of the class codes 0-6; "" for any other code.
const char *DropTypeName(int dropType);

// The class word as classification writes it: the old length bits with the new class on top.
inline uint16_t ClassWord(uint16_t backLink, unsigned dropType) {
  return uint16_t((backLink & PixHeader::LENGTH_MASK) | (dropType << 11));
}
