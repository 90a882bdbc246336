#pragma once
#include "CInputFile.h"
#include "PixHeader.h"
#include "QuartHeader.h"

// Reader of a hydrometeor data file, and writer of its one mutable word, the class.
class CHydFile : public CInputFile {
public:
  // Largest drop data part of a record: 11 bits of length less the smallest pix header.
  static constexpr int MAX_DROP_DATA = 2047 - 24;

  int ReadPixHeader(PixHeader *pixHeader, uint16_t tag, int format, CHydException *exc = nullptr) {
    // A walk finds the header in the buffer: decoded from there, without a copy.
    const uint8_t *view = pixHeader ? TakeView(uint32_t(PixHeader::FileSize(format) - 2)) : nullptr;
    if (!view)
      return CopyPixHeader(pixHeader, tag, format, exc);
    pixHeader->Decode(view, tag, format);
    if (exc)
      exc->Clear();
    return 1;
  }
  int ReadQuartHeader(QuartHeader *quartHeader, int16_t tag, CHydException *exc = nullptr);
  // Reads the drop data behind a pix header into `buffer`, which holds at least MAX_DROP_DATA
  // bytes. A record shorter than its own header has no drop data.
  int ReadDropData(void *buffer, int format, uint16_t tag, CHydException *exc = nullptr);
  // The tag of the record at `pos` where the read buffer holds it, without moving the read
  // position; false when it does not.
  bool PeekTag(int32_t pos, int16_t &tag) const {
    const uint8_t *bytes = ViewAt(pos, 2);
    if (bytes)
      tag = int16_t(bytes[0] | bytes[1] << 8);
    return bytes != nullptr;
  }
  // The drop data behind a pix header where the read buffer holds it, consumed; null otherwise
  // (ReadDropData then copies it, or says why it cannot).
  const uint8_t *TakeDropData(int format, uint16_t tag) {
    return format >= 1 && format <= 4 ? TakeView(uint32_t(DropDataSize(format, tag))) : nullptr;
  }
  // Size in bytes of the drop data of a record; 0 when the record is shorter than its header.
  static int DropDataSize(int format, uint16_t tag) {
    const int size = (tag & PixHeader::LENGTH_MASK) - PixHeader::FileSize(format);
    return size > 0 ? size : 0;
  }
  int WriteDropType(uint16_t word, int32_t position, CHydException *exc = nullptr);
  // The class write as the handler makes it: only when the file is still the one that was read
  // and the record at `position` - 2 still begins with `tag` and the length bits of `oldWord`;
  // nothing is written otherwise. The class bits may have been changed by another program since
  // the particle was read: `replaced` receives the word as it was just before this write.
  int WriteDropType(uint16_t word, int32_t position, uint16_t tag, uint16_t oldWord,
                    CHydException *exc = nullptr, uint16_t *replaced = nullptr);

  // How long a class write waits for another program's to end before it reports the file busy.
  static constexpr int LOCK_WAIT_MS = 3000;

private:
  // ReadPixHeader of a header that the read buffer does not hold whole.
  int CopyPixHeader(PixHeader *pixHeader, uint16_t tag, int format, CHydException *exc);
  int WriteWord(uint16_t word, int32_t position, const uint8_t *expected, uint16_t *replaced,
                CHydException *exc);
};
