#include "MainHeader.h"

#include "LittleEndian.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// The acquisition stores a slightly rounded line rate; it is held as the exact crystal rate.
constexpr double EXACT_LINE_FREQUENCY = 34090.857142857145;
} // namespace

void MainHeader::Decode(const uint8_t *rest, int16_t tagWord, int format) {
  const uint8_t *p = rest;
  tag = tagWord;
  backLink = le::U16(p);
  p += 2;
  std::memcpy(ident, p, IDENT_LENGTH);
  p += IDENT_LENGTH;
  time = le::I32(p);
  p += 4;
  lineFrequency = le::F64(p);
  p += 8;
  if (lineFrequency > 34089.0 && lineFrequency < 34091.0)
    lineFrequency = EXACT_LINE_FREQUENCY;
  planeDistance1 = le::F32(p);
  p += 4;
  if (format >= 3) {
    planeDistance2 = le::F32(p);
    planeDistance3 = le::F32(p + 4);
    p += 8;
  } else {
    planeDistance2 = planeDistance1;
    planeDistance3 = planeDistance1;
  }
  if (format >= 4) {
    halfPixels = le::I16(p);
    p += 2;
  } else {
    halfPixels = 256;
  }
  firstPixel = le::I16(p);
  lastPixel = le::I16(p + 2);
  p += 4;
  scaleA = le::F32(p);
  scaleB = le::F32(p + 4);
  L0_1 = le::F32(p + 8);
  L0_2 = le::F32(p + 12);
  p += 16;
  corrModel = le::I16(p);
  extra1 = le::U16(p + 2);
  extra2 = le::U16(p + 4);
  extra3 = le::U16(p + 6);
  extra4 = le::U16(p + 8);
}

bool MainHeader::operator==(const MainHeader &o) const {
  // The length bits of backLink frame the record in the stream; a repeat written behind another
  // record differs there only, so they take no part in the comparison.
  return tag == o.tag && (backLink & 0xF800) == (o.backLink & 0xF800) &&
         std::memcmp(ident, o.ident, IDENT_LENGTH) == 0 && time == o.time &&
         lineFrequency == o.lineFrequency && planeDistance1 == o.planeDistance1 &&
         planeDistance2 == o.planeDistance2 && planeDistance3 == o.planeDistance3 &&
         halfPixels == o.halfPixels && firstPixel == o.firstPixel && lastPixel == o.lastPixel &&
         scaleA == o.scaleA && scaleB == o.scaleB && L0_1 == o.L0_1 && L0_2 == o.L0_2 &&
         corrModel == o.corrModel && extra1 == o.extra1 && extra2 == o.extra2 &&
         extra3 == o.extra3 && extra4 == o.extra4;
}

std::string MainHeader::Problem() const {
  char text[160];
  // 2 * halfPixels - 1 is the largest pixel and must fit 16 bits.
  if (halfPixels < 1 || halfPixels > 16383) {
    std::snprintf(text, sizeof text, "halfPixels = %d is outside 1 to 16383", halfPixels);
    return text;
  }
  if (!std::isfinite(lineFrequency) || lineFrequency < 1.0) {
    std::snprintf(text, sizeof text,
                  "lineFrequency = %g is not a line rate of at least 1 line per second",
                  lineFrequency);
    return text;
  }
  const struct {
    const char *name;
    float value;
  } positive[] = {{"planeDistance1", planeDistance1},
                  {"planeDistance2", planeDistance2},
                  {"planeDistance3", planeDistance3},
                  {"scaleA", scaleA},
                  {"scaleB", scaleB}};
  for (const auto &field : positive) {
    if (!std::isfinite(field.value) || !(field.value > 0)) {
      std::snprintf(text, sizeof text, "%s = %g is not a finite number greater than 0", field.name,
                    double(field.value));
      return text;
    }
  }
  return {};
}
