#include "QuartHeader.h"

#include "LittleEndian.h"

void QuartHeader::Decode(const uint8_t *p, int16_t tagWord) {
  tag = tagWord;
  backLink = le::U16(p);
  quart1 = le::U32(p + 2);
  quart2 = le::U32(p + 6);
  quart3 = le::I16(p + 10);
  quart4 = le::I16(p + 12);
  quart5 = le::I16(p + 14);
  quart6 = le::I16(p + 16);
  quart7 = le::U32(p + 18);
}
