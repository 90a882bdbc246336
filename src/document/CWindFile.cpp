#include "CWindFile.h"
#include "data/RegularInput.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void Tell(std::string *message, std::string text) {
  if (message)
    *message = std::move(text);
}

std::string PlatformText(int err) {
  std::string text = std::strerror(err);
  if (text.size() > 255)
    text.resize(255);
  return text;
}

uint16_t Word(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
} // namespace

CWindFile::~CWindFile() { Close(); }

int CWindFile::Open(const std::string &fileName, std::string *message) {
  if (IsOpen()) {
    Tell(message, "windfile file already opened!");
    return 0;
  }
  const RegularInput in = RegularInput::Open(fileName);
  if (in.fd < 0) {
    Tell(message,
         "Could not open windfile because: " + (in.err != 0 ? PlatformText(in.err) : in.problem));
    return 0;
  }
  fd = in.fd;
  position = 0;
  Tell(message, "");
  return 1;
}

void CWindFile::Close() {
  if (fd >= 0)
    ::close(fd);
  fd = -1;
  position = 0;
}

bool CWindFile::SetPosition(int64_t pos) {
  if (!IsOpen() || pos < 0)
    return false;
  const off_t reached = ::lseek(fd, off_t(pos), SEEK_SET);
  if (reached != off_t(pos))
    return false;
  position = pos;
  return true;
}

int16_t CWindFile::Read(WindRecord *windData, std::string *message) {
  if (!windData) {
    Tell(message, "CWindFile::Read: windData = NULL");
    return -1;
  }
  if (!IsOpen()) {
    Tell(message, "CWindFile::Read: file not opened");
    return -1;
  }
  uint8_t bytes[WindRecord::SIZE];
  size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = ::read(fd, bytes + got, sizeof bytes - got);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    got += size_t(n);
  }
  position += int64_t(got);
  if (got < sizeof bytes) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && position >= int64_t(info.st_size)) {
      Tell(message, "Windfile: End of file");
      return 0;
    }
    Tell(message, "CWindFile::Read: could not read from file");
    return -1;
  }
  windData->windSpeed = Word(bytes);
  windData->windDirection = Word(bytes + 2);
  windData->windExtra = Word(bytes + 4);
  windData->temperature = int16_t(Word(bytes + 6));
  Tell(message, "");
  return 1;
}

std::string CWindFile::NameFor(const std::string &dataPath) {
  // A dot in a folder name is not the file's extension.
  const auto slash = dataPath.find_last_of('/');
  const auto dot = dataPath.find_last_of('.');
  const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasDot ? dataPath.substr(0, dot) : dataPath) + ".wd";
}
