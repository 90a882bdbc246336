#include "FileIdentity.h"

#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::Of(const std::string &path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0)
    return std::nullopt;
  return FileIdentity{uint64_t(info.st_dev), uint64_t(info.st_ino)};
}
