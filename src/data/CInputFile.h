#pragma once
#include "CHydException.h"
#include "MainHeader.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

// An open-or-closed file with a read buffer. The logical position always stands exactly behind
// the bytes consumed, whatever the buffer read ahead, so unbuffered reads, position queries and
// header reads mix freely.
//
// Status conventions: 1/0 operations return 1 on success and 0 on failure; 1/0/-1 operations
// return 0 at end of file and -1 on any other failure. The optional last argument receives the
// outcome (a fresh record on success).
class CInputFile {
public:
  enum OpenMode { modeRead, modeReadWrite };

  CInputFile() = default;
  CInputFile(const CInputFile &) = delete;
  CInputFile &operator=(const CInputFile &) = delete;
  virtual ~CInputFile();

  int Open(const std::string &fileName, OpenMode mode, CHydException *exc = nullptr);
  void Close();
  bool IsOpen() const { return isOpen; }
  int32_t GetPosition() const {
    if (!isOpen)
      return -1;
    const int64_t pos = bufferStart + bufferPos;
    return pos > MAX_LENGTH ? -1 : int32_t(pos);
  }
  int SetPosition(int32_t pos) {
    if (!isOpen || pos < 0)
      return 0;
    // A target inside the buffered window only moves the read pointer.
    if (pos >= bufferStart && pos <= bufferStart + bufferFill)
      bufferPos = uint32_t(pos - bufferStart);
    else
      bufferStart = pos, bufferFill = bufferPos = 0;
    return 1;
  }
  bool IsEOF() const;
  int32_t GetLength() const;
  std::string GetFileName() const;
  std::string GetFilePath() const { return filePath; }
  bool IsWritable() const { return isOpen && writable; }
  // Whether the path still names the file that was opened, with the length it had then; false
  // with `why` filled when it was replaced, moved away or changed in length.
  bool IsUnchangedSinceOpen(std::string &why) const;

  // Largest data file: the index holds 32-bit positions.
  static constexpr int64_t MAX_LENGTH = INT32_MAX;
  // Readable bytes behind every view of the buffer.
  static constexpr uint32_t VIEW_SLACK = 8;

  // Reads served from the buffer are the walk's common case; only the others take the call.
  int Read(void *dst, uint32_t count, CHydException *exc = nullptr) {
    if (dst && TakeFromBuffer(dst, count)) {
      if (exc)
        exc->Clear();
      return 1;
    }
    return ReadUnbuffered(dst, count, exc);
  }
  // Reads bytes at an absolute position, leaving the read position and buffer alone; false on a
  // short read.
  bool ReadAt(int32_t pos, uint8_t *dst, uint32_t count) const;
  int ReadMainHeader(MainHeader *mainHeader, int16_t tag, int format, CHydException *exc = nullptr);

protected:
  // Copies `count` bytes when the buffer already holds them; the common case of a walk.
  bool TakeFromBuffer(void *dst, uint32_t count) {
    if (!isOpen || bufferFill - bufferPos < count)
      return false;
    std::memcpy(dst, buffer.get() + bufferPos, count);
    bufferPos += count;
    return true;
  }

  // The next `count` bytes where the buffer holds them, consumed; null when it does not. At least
  // VIEW_SLACK more bytes behind them are readable, so that a reader may load whole words.
  const uint8_t *TakeView(uint32_t count) {
    if (!isOpen || bufferFill - bufferPos < count)
      return nullptr;
    const uint8_t *view = buffer.get() + bufferPos;
    bufferPos += count;
    return view;
  }

  // The `count` bytes at `pos` where the buffer holds them, without moving the read position;
  // null when it does not.
  const uint8_t *ViewAt(int32_t pos, uint32_t count) const {
    if (!isOpen || pos < bufferStart || pos + int64_t(count) > bufferStart + bufferFill)
      return nullptr;
    return buffer.get() + (pos - bufferStart);
  }

  // Reads exactly `count` bytes through the buffer. Returns the number of bytes delivered; a
  // shorter count means end of file (`err` 0) or a platform failure (`err` the errno value).
  uint32_t ReadBuffered(uint8_t *dst, uint32_t count, int &err);

  // The frame shared by every header read: open check, buffered read of the bytes behind the
  // tag, failure mapping with `prefix` ("Could not read MainHeader:" and the like).
  int ReadHeaderBytes(uint8_t *dst, uint32_t count, const char *notOpenMessage, const char *prefix,
                      CHydException &status) {
    return TakeFromBuffer(dst, count)
               ? 1
               : ReadHeaderBytesUnbuffered(dst, count, notOpenMessage, prefix, status);
  }

  // Writes bytes at an absolute position, bypassing the read buffer, which is dropped, and
  // flushes them to the disk.
  bool WriteAt(int32_t pos, const uint8_t *src, uint32_t count, int &err);

  // The open descriptor, for advisory locks; -1 when closed.
  int Descriptor() const { return fd; }

private:
  static constexpr uint32_t BUFFER_SIZE = 64 * 1024;

  // Read and ReadHeaderBytes when the buffer does not hold the bytes.
  int ReadUnbuffered(void *dst, uint32_t count, CHydException *exc);
  int ReadHeaderBytesUnbuffered(uint8_t *dst, uint32_t count, const char *notOpenMessage,
                                const char *prefix, CHydException &status);

  bool isOpen = false;
  bool writable = false;
  int fd = -1;
  uint64_t openDevice = 0;
  uint64_t openInode = 0;
  int64_t openLength = 0;
  std::string filePath;
  std::unique_ptr<uint8_t[]> buffer;
  int64_t bufferStart = 0; // file offset of buffer[0]
  uint32_t bufferFill = 0;
  uint32_t bufferPos = 0;
};
