#pragma once
#include <cstdint>
#include <string>

// Camera and geometry settings, valid from `time` on. Holds every field in every format; fields
// absent from a format's file layout are filled when the header is read.
struct MainHeader {
  static constexpr int16_t TAG_FORMAT4 = int16_t(0xFFB6);
  static constexpr int16_t TAG_FORMAT3 = int16_t(0xFFB8);
  static constexpr int16_t TAG_FORMAT12 = int16_t(0xFFC0);
  static constexpr int IDENT_LENGTH = 14;

  int16_t tag = 0;
  uint16_t backLink = 0;
  char ident[IDENT_LENGTH] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  int32_t time = 0;
  double lineFrequency = 0;
  float planeDistance1 = 0;
  float planeDistance2 = 0;
  float planeDistance3 = 0;
  int16_t halfPixels = 0;
  int16_t firstPixel = 0;
  int16_t lastPixel = 0;
  float scaleA = 0;
  float scaleB = 0;
  float L0_1 = 0;
  float L0_2 = 0;
  int16_t corrModel = 0;
  uint16_t extra1 = 0;
  uint16_t extra2 = 0;
  uint16_t extra3 = 0;
  uint16_t extra4 = 0;

  static bool IsMainHeaderTag(int16_t tag) {
    return tag == TAG_FORMAT4 || tag == TAG_FORMAT3 || tag == TAG_FORMAT12;
  }
  // Full length of a main header in the file, tag included.
  static constexpr int FileSize(int format) { return format >= 4 ? 74 : format == 3 ? 72 : 64; }

  // Decodes the bytes behind the tag (FileSize(format) - 2 of them) in the layout of `format`.
  void Decode(const uint8_t *rest, int16_t tagWord, int format);

  // Empty when every number the computations divide by or turn into a pixel range is usable;
  // otherwise names the first field that is not, with its value. The bounds are loose on
  // purpose: no real recording comes near them.
  std::string Problem() const;

  // Equality over every field but the framing length; floats by value, the text byte for byte.
  bool operator==(const MainHeader &other) const;
};
