#include "PixHeader.h"

#include "LittleEndian.h"

void PixHeader::Decode(const uint8_t *p, uint16_t tagWord, int format) {
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

const char *DropTypeName(int dropType) {
  static const char *const names[] = {"not class.", "rain",   "melting", "snow",
                                      "hail",       "manual", "invalid"};
  return dropType >= 0 && dropType <= 6 ? names[dropType] : "";
}
