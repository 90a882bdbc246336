#include "RecordFraming.h"

#include "LittleEndian.h"
#include "PixHeader.h"

namespace {
void Tell(std::string *message, const std::string &text) {
  if (message)
    *message = text;
}
} // namespace

int IsParticleRecordStart(CInputFile &file, int32_t position, std::string *message) {
  if (!file.IsOpen()) {
    Tell(message, "file not opened");
    return -1;
  }
  const int32_t length = file.GetLength();
  const std::string notThere = "not the start of a particle record";
  if (position < 0 || position >= length) {
    Tell(message, notThere);
    return 0;
  }
  const int32_t restore = file.GetPosition();
  int result = 0;
  int64_t p = 0; // a step past the last record of a 2 GiB file must not wrap
  while (p <= position && p < length) {
    uint8_t bytes[2];
    CHydException exc;
    if (!file.SetPosition(int32_t(p)) || file.Read(bytes, 2, &exc) != 1) {
      if (exc.code != CHydException::endOfFile) {
        Tell(message, exc.message);
        result = -1;
      }
      break;
    }
    const int16_t tag = le::I16(bytes);
    // Headers carry their length as a negative tag, particle records in bits 0-10.
    const int32_t step = tag < 0 ? -int32_t(tag) : tag & PixHeader::LENGTH_MASK;
    if (p == position) {
      result = tag >= 0 ? 1 : 0;
      break;
    }
    if (step < 2)
      break; // a record that names no length ends the framing: nothing behind it is certain
    p += step;
  }
  file.SetPosition(restore < 0 ? 0 : restore);
  if (result == 0)
    Tell(message, notThere);
  else if (result == 1)
    Tell(message, "");
  return result;
}
