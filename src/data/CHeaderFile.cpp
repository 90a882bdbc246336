#include "CHeaderFile.h"

#include "LittleEndian.h"

#include <cstdio>
#include <ctime>

namespace {
int UtcYear(int32_t seconds) {
  time_t t = seconds;
  struct tm calendar {};
  if (!gmtime_r(&t, &calendar))
    return 1970;
  return calendar.tm_year + 1900;
}
} // namespace

int CHeaderFile::ReadHeaderInfo(HeaderInfo *info, CHydException *exc) {
  CHydException status;
  auto fail = [&](int32_t code, std::string message) {
    status.Set(code, std::move(message));
    status.CopyTo(exc);
    return 0;
  };
  if (!info)
    return fail(CHydException::generic, "CHeaderFile::ReadHeaderInfo: info = NULL");
  if (!SetPosition(POSITIONS_OFFSET))
    return fail(CHydException::generic, "CHeaderFile::ReadHeaderInfo: couldn't set file position");
  for (int j = 0; j < HeaderInfo::SLOTS; ++j) {
    uint8_t bytes[4];
    if (Read(bytes, 4) != 1) {
      char text[120];
      if (IsEOF())
        std::snprintf(text, sizeof text, "CHeaderFile::ReadHeaderInfo: minute = %d EOF .....", j);
      else
        std::snprintf(text, sizeof text,
                      "CHeaderFile::ReadHeaderInfo: Could not read position-array from "
                      "hd-file!!! min = %d, min",
                      j);
      return fail(CHydException::generic, text);
    }
    info->positions[j] = le::I32(bytes);
  }
  if (!SetPosition(MAIN_HEADERS_OFFSET))
    return fail(CHydException::generic, "CHeaderFile::ReadHeaderInfo: couldn't set file position");
  uint8_t tagBytes[2];
  if (Read(tagBytes, 2, &status) != 1) {
    status.CopyTo(exc);
    return 0;
  }
  const int16_t tag = le::I16(tagBytes);
  switch (tag) {
  case MainHeader::TAG_FORMAT4:
    info->format = 4;
    break;
  case MainHeader::TAG_FORMAT3:
    info->format = 3;
    break;
  case MainHeader::TAG_FORMAT12: {
    MainHeader first;
    if (ReadMainHeader(&first, tag, 1, &status) != 1) {
      status.CopyTo(exc);
      return 0;
    }
    info->format = UtcYear(first.time) < 1996 ? 1 : 2;
    break;
  }
  default:
    return fail(CHydException::generic, "CHeaderFile::ReadHeaderInfo: wrong format in hd-file");
  }
  status.CopyTo(exc);
  return 1;
}
