#include "CHydException.h"

#include <cerrno>
#include <cstring>

namespace {
std::string PlatformText(int err) {
  std::string text = std::strerror(err);
  if (text.size() > 255)
    text.resize(255);
  return text;
}
} // namespace

void CHydException::SetFromFileError(int err) {
  if (err == 0)
    return;
  switch (err) {
  case ENOENT:
  case ENOTDIR:
    code = fileNotFound;
    break;
  case EACCES:
  case EPERM:
  case EROFS:
    code = accessDenied;
    break;
  default:
    code = generic;
  }
  message = PlatformText(err);
}

void CHydException::SetFromStreamError(int err, bool atEnd) {
  if (err == 0 && !atEnd)
    return;
  if (atEnd) {
    code = endOfFile;
    message = "End of file";
  } else {
    code = generic;
    message = PlatformText(err);
  }
}
