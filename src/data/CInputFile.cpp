#include "CInputFile.h"
#include "RegularInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

CInputFile::~CInputFile() { Close(); }

int CInputFile::Open(const std::string &fileName, OpenMode mode, CHydException *exc) {
  CHydException status;
  if (isOpen) {
    status.Set(CHydException::generic, "File already opened!");
    status.CopyTo(exc);
    return 0;
  }
  RegularInput in = RegularInput::Open(fileName, mode == modeReadWrite);
  if (in.fd < 0) {
    if (in.err != 0)
      status.SetFromFileError(in.err);
    else
      status.Set(CHydException::generic, in.problem);
    status.CopyTo(exc);
    return 0;
  }
  if (in.size > MAX_LENGTH) {
    ::close(in.fd);
    status.Set(CHydException::generic,
               "file of " + std::to_string(in.size) +
                   " bytes is larger than 2 GiB, the largest its index can address");
    status.CopyTo(exc);
    return 0;
  }
  writable = mode == modeReadWrite;
  openDevice = in.device;
  openInode = in.inode;
  openLength = in.size;
  fd = in.fd;
  filePath = fileName;
  buffer = std::make_unique<uint8_t[]>(BUFFER_SIZE + VIEW_SLACK);
  bufferStart = 0;
  bufferFill = bufferPos = 0;
  isOpen = true;
  status.CopyTo(exc);
  return 1;
}

void CInputFile::Close() {
  if (!isOpen)
    return;
  buffer.reset();
  ::close(fd);
  fd = -1;
  isOpen = false;
  writable = false;
}

bool CInputFile::IsUnchangedSinceOpen(std::string &why) const {
  if (!isOpen) {
    why = "the file is not open";
    return false;
  }
  struct stat now {};
  struct stat named {};
  if (::fstat(fd, &now) != 0) {
    why = std::string("the file cannot be inspected: ") + std::strerror(errno);
    return false;
  }
  if (::stat(filePath.c_str(), &named) != 0 || uint64_t(named.st_dev) != openDevice ||
      uint64_t(named.st_ino) != openInode) {
    why = filePath + " is no longer the file that was read (replaced, moved or deleted)";
    return false;
  }
  if (int64_t(now.st_size) != openLength) {
    why = filePath + " changed its length from " + std::to_string(openLength) + " to " +
          std::to_string(int64_t(now.st_size)) + " bytes since it was read";
    return false;
  }
  return true;
}

bool CInputFile::IsEOF() const {
  if (!isOpen)
    return true;
  return GetPosition() >= GetLength();
}

int32_t CInputFile::GetLength() const {
  if (!isOpen)
    return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return -1;
  return int32_t(std::min<int64_t>(info.st_size, INT32_MAX));
}

std::string CInputFile::GetFileName() const {
  auto slash = filePath.find_last_of('/');
  return slash == std::string::npos ? filePath : filePath.substr(slash + 1);
}

namespace {
// One pread, retried when a signal interrupts it; -1 with `err` set on failure.
ssize_t PreadOnce(int fd, void *dst, size_t count, int64_t offset, int &err) {
  for (;;) {
    const ssize_t got = ::pread(fd, dst, count, offset);
    if (got >= 0 || errno != EINTR) {
      if (got < 0)
        err = errno;
      return got;
    }
  }
}
} // namespace

uint32_t CInputFile::ReadBuffered(uint8_t *dst, uint32_t count, int &err) {
  err = 0;
  uint32_t done = 0;
  while (done < count) {
    if (bufferPos == bufferFill) {
      bufferStart += bufferFill;
      bufferFill = bufferPos = 0;
      const uint32_t wanted = count - done;
      // Large reads go straight to the caller.
      const bool direct = wanted >= BUFFER_SIZE;
      const ssize_t got = direct ? PreadOnce(fd, dst + done, wanted, bufferStart, err)
                                 : PreadOnce(fd, buffer.get(), BUFFER_SIZE, bufferStart, err);
      if (got <= 0)
        return done;
      if (direct) {
        bufferStart += got;
        done += uint32_t(got);
        continue;
      }
      bufferFill = uint32_t(got);
    }
    const uint32_t n = std::min(count - done, bufferFill - bufferPos);
    std::memcpy(dst + done, buffer.get() + bufferPos, n);
    bufferPos += n;
    done += n;
  }
  return done;
}

int CInputFile::ReadUnbuffered(void *dst, uint32_t count, CHydException *exc) {
  CHydException status;
  int result = 1;
  if (!dst) {
    status.Set(CHydException::generic, "CInputFile::Read: lpBuf = NULL");
    result = -1;
  } else if (!isOpen) {
    status.Set(CHydException::fileNotOpened, "CInputFile::Read: file not opened");
    result = -1;
  } else {
    int err = 0;
    uint32_t got = ReadBuffered(static_cast<uint8_t *>(dst), count, err);
    if (err != 0) {
      status.SetFromFileError(err);
      status.message = "Could not read from hyd-file:" + status.message;
      result = -1;
    } else if (got < count) {
      if (IsEOF()) {
        status.Set(CHydException::endOfFile, "End of file");
        result = 0;
      } else {
        status.Set(CHydException::generic, "CInputFile::Read: Could not read from file");
        result = -1;
      }
    }
  }
  status.CopyTo(exc);
  return result;
}

int CInputFile::ReadHeaderBytesUnbuffered(uint8_t *dst, uint32_t count, const char *notOpenMessage,
                                          const char *prefix, CHydException &status) {
  if (!isOpen) {
    status.Set(CHydException::fileNotOpened, notOpenMessage);
    return -1;
  }
  int err = 0;
  uint32_t got = ReadBuffered(dst, count, err);
  if (got == count)
    return 1;
  status.SetFromStreamError(err, err == 0);
  if (status.code == CHydException::endOfFile) {
    status.message = "End of file";
    return 0;
  }
  status.message = prefix + status.message;
  return -1;
}

int CInputFile::ReadMainHeader(MainHeader *mainHeader, int16_t tag, int format,
                               CHydException *exc) {
  CHydException status;
  int result;
  if (!mainHeader) {
    status.Set(CHydException::generic, "CInputFile: mainHeader = NULL");
    result = -1;
  } else {
    uint8_t bytes[80];
    const uint32_t size = uint32_t(MainHeader::FileSize(format) - 2);
    const int32_t start = GetPosition() - 2; // the caller has read the tag
    result = ReadHeaderBytes(bytes, size, "CInputFile::ReadMainHeader: file not opened",
                             "Could not read MainHeader:", status);
    if (result == 1) {
      mainHeader->Decode(bytes, tag, format);
      // A corrupt header must give an error, never figures computed from it.
      const std::string problem = mainHeader->Problem();
      if (!problem.empty()) {
        status.Set(CHydException::generic, "CInputFile::ReadMainHeader: " + problem +
                                               " in the main header at position " +
                                               std::to_string(start) + " of " + filePath);
        result = -1;
      }
    }
  }
  status.CopyTo(exc);
  return result;
}

bool CInputFile::WriteAt(int32_t pos, const uint8_t *src, uint32_t count, int &err) {
  err = 0;
  uint32_t done = 0;
  while (done < count) {
    ssize_t put = ::pwrite(fd, src + done, count - done, int64_t(pos) + done);
    if (put < 0) {
      if (errno == EINTR)
        continue;
      err = errno;
      break;
    }
    done += uint32_t(put);
  }
  if (err == 0 && ::fdatasync(fd) != 0)
    err = errno;
  // Whatever the buffer held around that position is stale now.
  int64_t logical = bufferStart + bufferPos;
  bufferStart = logical;
  bufferFill = bufferPos = 0;
  return err == 0;
}

bool CInputFile::ReadAt(int32_t pos, uint8_t *dst, uint32_t count) const {
  if (!isOpen || pos < 0)
    return false;
  uint32_t done = 0;
  while (done < count) {
    int err = 0;
    const ssize_t got = PreadOnce(fd, dst + done, count - done, int64_t(pos) + done, err);
    if (got <= 0)
      return false;
    done += uint32_t(got);
  }
  return true;
}
