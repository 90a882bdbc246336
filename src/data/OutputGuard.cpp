#include "OutputGuard.h"

#include "FileIdentity.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Companion {
  const char *extension;
  const char *kind;
};

// What lies beside a data file under the same stem, and what the readers take it for.
constexpr std::array<Companion, 7> COMPANIONS = {{{".hyd", "data file"},
                                                  {".pix", "pix file"},
                                                  {".sno", "data file"},
                                                  {".hd", "index file"},
                                                  {".shd", "index file"},
                                                  {".wd", "wind file"},
                                                  {".tip", "tip file"}}};

// The path up to its extension; a dot of a folder is no extension.
std::string Stem(const std::string &path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path;
  return path.substr(0, dot);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// The file a link leads to, or `path` itself when it cannot be resolved.
std::string Resolved(const std::string &path) {
  char buffer[PATH_MAX];
  return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

// The target named by a link that leads nowhere yet: a write through it would create that file.
std::string DanglingTarget(const std::string &path) {
  char buffer[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

// True when the file name ends in one of the instrument's extensions, in any case.
bool IsInstrumentName(const std::string &path) {
  const std::string name = Lower(path.substr(path.find_last_of('/') + 1));
  return std::any_of(COMPANIONS.begin(), COMPANIONS.end(), [&](const Companion &c) {
    const std::string extension = c.extension;
    return name.size() >= extension.size() &&
           name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
  });
}

std::string InstrumentRefusal(const std::string &path, const std::string &name) {
  const std::string extension = name.substr(name.find_last_of('.'));
  if (name == path)
    return path + " ends in " + extension + ", a name kept for the instrument's own files";
  return path + " leads to " + name + ", a name kept for the instrument's own files";
}

} // namespace

void OutputGuard::AddDataFile(const std::string &path) {
  inputs.push_back({path, "the data file " + path});
  const std::string stem = Stem(path);
  for (const Companion &c : COMPANIONS) {
    const std::string companion = stem + c.extension;
    if (companion != path)
      inputs.push_back({companion, std::string("the ") + c.kind + " " + companion + " of " + path});
  }
}

std::string OutputGuard::SameAsInput(const std::string &path, unsigned long long device,
                                     unsigned long long inode) const {
  const FileIdentity output{device, inode};
  for (const Input &input : inputs)
    if (FileIdentity::Of(input.path) == output)
      return path + " is " + input.description + " that this run reads";
  return "";
}

std::string OutputGuard::Check(const std::string &path) const {
  if (path.empty())
    return "no file name given";
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (IsInstrumentName(path))
      return InstrumentRefusal(path, path);
    // A link to nothing: writing through it would create its target.
    struct stat link {};
    const std::string target = lstat(path.c_str(), &link) == 0 ? DanglingTarget(path) : "";
    return IsInstrumentName(target) ? InstrumentRefusal(path, target) : "";
  }
  if (S_ISDIR(info.st_mode))
    return path + " is a directory";
  if (!S_ISREG(info.st_mode))
    return path + " is not a regular file";
  if (std::string same = SameAsInput(path, info.st_dev, info.st_ino); !same.empty())
    return same;
  if (IsInstrumentName(path))
    return InstrumentRefusal(path, path);
  if (const std::string real = Resolved(path); IsInstrumentName(real))
    return InstrumentRefusal(path, real);
  // Even where the system would let us (as root), a file someone made read-only stays as it is.
  if ((info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0)
    return path + " is read-only";
  return "";
}

std::string OutputGuard::CheckOpened(int fd, const std::string &path) const {
  struct stat info {};
  if (fstat(fd, &info) != 0)
    return path + " cannot be examined";
  if (!S_ISREG(info.st_mode))
    return path + " is not a regular file";
  if (std::string same = SameAsInput(path, info.st_dev, info.st_ino); !same.empty())
    return same;
  const std::string real = Resolved("/proc/self/fd/" + std::to_string(fd));
  if (IsInstrumentName(real))
    return InstrumentRefusal(path, real);
  return "";
}
