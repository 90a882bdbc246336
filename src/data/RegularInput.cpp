#include "RegularInput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularInput RegularInput::Open(const std::string &path, bool writable) {
  RegularInput in;
  auto fail = [&](int err, std::string problem) {
    if (in.fd >= 0)
      ::close(in.fd);
    in.fd = -1;
    in.err = err;
    in.problem = std::move(problem);
    return in;
  };
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one.
  in.fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (in.fd < 0 && errno == EISDIR)
    return fail(0, path + " is not a regular file");
  if (in.fd < 0)
    return fail(errno, std::strerror(errno));
  struct stat info {};
  if (::fstat(in.fd, &info) != 0)
    return fail(errno, std::strerror(errno));
  if (!S_ISREG(info.st_mode))
    return fail(0, path + " is not a regular file");
  const int flags = ::fcntl(in.fd, F_GETFL);
  if (flags < 0 || ::fcntl(in.fd, F_SETFL, flags & ~O_NONBLOCK) < 0)
    return fail(errno, std::strerror(errno));
  in.size = int64_t(info.st_size);
  in.device = uint64_t(info.st_dev);
  in.inode = uint64_t(info.st_ino);
  return in;
}
