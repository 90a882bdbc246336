#include "CHydFile.h"

#include <cstring>

int CHydFile::ReadPixHeader(PixHeader *pixHeader, uint16_t tag, int format, CHydException *exc) {
  CHydException status;
  int result;
  if (!pixHeader) {
    status.Set(CHydException::generic, "CHydFile::ReadPixHeader: pixHeader = NULL");
    result = -1;
  } else {
    uint8_t bytes[32];
    const uint32_t size = uint32_t(PixHeader::FileSize(format) - 2);
    result = ReadHeaderBytes(bytes, size, "CHydFile::ReadPixHeader: file not opened",
                             "Could not read PixHeader:", status);
    if (result == 1)
      pixHeader->Decode(bytes, tag, format);
  }
  status.CopyTo(exc);
  return result;
}

int CHydFile::ReadQuartHeader(QuartHeader *quartHeader, int16_t tag, CHydException *exc) {
  CHydException status;
  int result;
  if (!quartHeader) {
    status.Set(CHydException::generic, "CHydFile::ReadQuartHeader: quartHeader = NULL");
    result = -1;
  } else {
    uint8_t bytes[QuartHeader::FILE_SIZE];
    result = ReadHeaderBytes(bytes, QuartHeader::FILE_SIZE - 2,
                             "CHydFile::ReadQuartHeader: file not opened",
                             "Could not read QuartHeader:", status);
    if (result == 1)
      quartHeader->Decode(bytes, tag);
  }
  status.CopyTo(exc);
  return result;
}

int CHydFile::DropDataSize(int format, uint16_t tag) {
  int size = (tag & PixHeader::LENGTH_MASK) - PixHeader::FileSize(format);
  return size > 0 ? size : 0;
}

int CHydFile::ReadDropData(void *buffer, int format, uint16_t tag, CHydException *exc) {
  CHydException status;
  int result = 1;
  if (!buffer) {
    status.Set(CHydException::generic, "CHydFile::ReadDropData: inbuf = NULL");
    result = -1;
  } else if (!IsOpen()) {
    status.Set(CHydException::fileNotOpened, "CHydFile::ReadDropData: file not opened");
    result = -1;
  } else if (format < 1 || format > 4) {
    status.Set(CHydException::generic, "CHydFile::ReadDropData: wrong hyd-forma");
    result = -1;
  } else {
    const uint32_t size = uint32_t(DropDataSize(format, tag));
    int err = 0;
    uint32_t got = TakeFromBuffer(buffer, size)
                       ? size
                       : ReadBuffered(static_cast<uint8_t *>(buffer), size, err);
    if (err != 0) {
      status.SetFromFileError(err);
      status.message = "Could not read from hyd-file:" + status.message;
      result = -1;
    } else if (got < size) {
      if (IsEOF()) {
        status.Set(CHydException::endOfFile, "End of file");
        result = 0;
      } else {
        status.Set(CHydException::generic, "CHydFile::ReadDropData: Could not read from file");
        result = -1;
      }
    }
  }
  status.CopyTo(exc);
  return result;
}

int CHydFile::WriteDropType(uint16_t word, int32_t position, CHydException *exc) {
  return WriteWord(word, position, nullptr, exc);
}

int CHydFile::WriteDropType(uint16_t word, int32_t position, uint16_t tag, uint16_t oldWord,
                            CHydException *exc) {
  const uint8_t expected[4] = {uint8_t(tag), uint8_t(tag >> 8), uint8_t(oldWord),
                               uint8_t(oldWord >> 8)};
  return WriteWord(word, position, expected, exc);
}

int CHydFile::WriteWord(uint16_t word, int32_t position, const uint8_t *expected,
                        CHydException *exc) {
  CHydException status;
  int result = 0;
  std::string why;
  if (!IsOpen()) {
    status.Set(CHydException::fileNotOpened, "CHydFile::WriteDropType: file not opened");
  } else if (GetPosition() < 0) {
    status.Set(CHydException::generic, "CHydFile::WriteDropType: could not get file position");
  } else if (position < 0 || (expected && position < 2)) {
    status.Set(CHydException::generic, "CHydFile::WriteDropType: could not set file position");
  } else if (!IsWritable()) {
    status.Set(CHydException::accessDenied,
               "Could not write to hyd-file:access denied: hyd file is write-protected");
  } else if (expected && !IsUnchangedSinceOpen(why)) {
    status.Set(CHydException::generic, "Could not write to hyd-file:" + why + "; nothing written");
  } else if (uint8_t found[4]; expected && (!ReadAt(position - 2, found, 4) ||
                                            std::memcmp(found, expected, 4) != 0)) {
    status.Set(CHydException::generic,
               "Could not write to hyd-file:the record at " + std::to_string(position - 2) +
                   " is no longer the particle that was read; nothing written");
  } else {
    const uint8_t bytes[2] = {uint8_t(word), uint8_t(word >> 8)};
    int err = 0;
    if (WriteAt(position, bytes, 2, err)) {
      result = 1;
    } else {
      status.SetFromFileError(err);
      status.message = "Could not write to hyd-file:" + status.message;
    }
  }
  status.CopyTo(exc);
  return result;
}
