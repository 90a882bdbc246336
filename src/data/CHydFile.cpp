#include "CHydFile.h"

#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <unistd.h>

int CHydFile::CopyPixHeader(PixHeader *pixHeader, uint16_t tag, int format, CHydException *exc) {
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

int CHydFile::ReadDropData(void *buffer, int format, uint16_t tag, CHydException *exc) {
  if (buffer && format >= 1 && format <= 4 &&
      TakeFromBuffer(buffer, uint32_t(DropDataSize(format, tag)))) {
    if (exc)
      exc->Clear();
    return 1;
  }
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

namespace {
// An exclusive advisory lock on the whole data file for one read-check-write of a class word:
// two programs classifying the same particle then both land, one after the other, and each
// learns the class it replaced. Readers take no lock; they never see half a word.
class ClassWriteLock {
public:
  explicit ClassWriteLock(int fd) : fd(fd) {
    for (int waited = 0;; waited += 10) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held = true;
        return;
      }
      if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= CHydFile::LOCK_WAIT_MS)
        return;
      ::usleep(10000);
    }
  }
  ~ClassWriteLock() {
    if (held)
      ::flock(fd, LOCK_UN);
  }
  ClassWriteLock(const ClassWriteLock &) = delete;
  ClassWriteLock &operator=(const ClassWriteLock &) = delete;
  bool Held() const { return held; }

private:
  int fd;
  bool held = false;
};
} // namespace

int CHydFile::WriteDropType(uint16_t word, int32_t position, CHydException *exc) {
  return WriteWord(word, position, nullptr, nullptr, exc);
}

int CHydFile::WriteDropType(uint16_t word, int32_t position, uint16_t tag, uint16_t oldWord,
                            CHydException *exc, uint16_t *replaced) {
  const uint8_t expected[4] = {uint8_t(tag), uint8_t(tag >> 8), uint8_t(oldWord),
                               uint8_t(oldWord >> 8)};
  return WriteWord(word, position, expected, replaced, exc);
}

int CHydFile::WriteWord(uint16_t word, int32_t position, const uint8_t *expected,
                        uint16_t *replaced, CHydException *exc) {
  CHydException status;
  auto fail = [&](int32_t code, std::string message) {
    status.Set(code, std::move(message));
    status.CopyTo(exc);
    return 0;
  };
  if (!IsOpen())
    return fail(CHydException::fileNotOpened, "CHydFile::WriteDropType: file not opened");
  if (GetPosition() < 0)
    return fail(CHydException::generic, "CHydFile::WriteDropType: could not get file position");
  if (position < 0 || (expected && position < 2))
    return fail(CHydException::generic, "CHydFile::WriteDropType: could not set file position");
  if (!IsWritable())
    return fail(CHydException::accessDenied,
                "Could not write to hyd-file:access denied: hyd file is write-protected");
  const ClassWriteLock lock(Descriptor());
  if (!lock.Held())
    return fail(CHydException::generic,
                "Could not write to hyd-file:the file is busy, another program is writing a "
                "class into it; nothing written");
  std::string why;
  if (expected && !IsUnchangedSinceOpen(why))
    return fail(CHydException::generic, "Could not write to hyd-file:" + why + "; nothing written");
  // Under the lock the word on the disk is the one this write replaces.
  uint8_t found[4] = {};
  const bool sameRecord =
      !expected ||
      (ReadAt(position - 2, found, 4) && found[0] == expected[0] && found[1] == expected[1] &&
       (uint16_t(found[2] | (found[3] << 8)) & PixHeader::LENGTH_MASK) ==
           (uint16_t(expected[2] | (expected[3] << 8)) & PixHeader::LENGTH_MASK));
  if (!sameRecord)
    return fail(CHydException::generic,
                "Could not write to hyd-file:the record at " + std::to_string(position - 2) +
                    " is no longer the particle that was read; nothing written");
  const uint8_t bytes[2] = {uint8_t(word), uint8_t(word >> 8)};
  int err = 0;
  if (!WriteAt(position, bytes, 2, err)) {
    status.SetFromFileError(err);
    status.message = "Could not write to hyd-file:" + status.message;
    status.CopyTo(exc);
    return 0;
  }
  if (replaced)
    *replaced = uint16_t(found[2] | (found[3] << 8));
  status.CopyTo(exc);
  return 1;
}
