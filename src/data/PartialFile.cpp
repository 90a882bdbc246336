#include "PartialFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary files that a terminating signal removes. The handler may only read what is
// complete: a slot's path is written before the slot is marked ready.
struct Slot {
  std::atomic<int> state{0}; // 0 free, 1 taken, 2 ready
  char path[PATH_MAX] = {};
};
constexpr int SLOTS = 16;
Slot slots[SLOTS];
constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveAndReraise(int signal) {
  for (Slot &s : slots)
    if (s.state.load() == 2)
      unlink(s.path);
  // The handler was reset on entry: the signal now ends the process as it would have.
  raise(signal);
}

// Only where nobody else handles the signal: a program's own handler, or a SIGHUP ignored under
// nohup, stays.
void InstallHandlers() {
  for (int signal : SIGNALS) {
    struct sigaction old {};
    if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL ||
        (old.sa_flags & SA_SIGINFO))
      continue;
    struct sigaction action {};
    action.sa_handler = RemoveAndReraise;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

int Register(const std::string &path) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandlers);
  if (path.size() >= PATH_MAX)
    return -1;
  for (int i = 0; i < SLOTS; ++i) {
    int expected = 0;
    if (!slots[i].state.compare_exchange_strong(expected, 1))
      continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].state.store(2);
    return i;
  }
  return -1; // not removed on a signal, but written all the same
}

void Unregister(int &slot) {
  if (slot >= 0)
    slots[slot].state.store(0);
  slot = -1;
}

// "NAME.partXXXXXX" beside `target`, with NAME shortened where the whole would not fit the
// file system's limit on a name.
std::string TemporaryPattern(const std::string &target) {
  static const std::string suffix = ".partXXXXXX";
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string name = target.substr(slash == std::string::npos ? 0 : slash + 1);
  const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
  const size_t room = size_t(limit > 0 ? limit : NAME_MAX) - suffix.size();
  size_t keep = std::min(name.size(), room);
  // Not through the middle of a UTF-8 character.
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  return target.substr(0, target.size() - name.size()) + name.substr(0, keep) + suffix;
}

std::string SystemText(int code) { return std::strerror(code); }

} // namespace

PartialFile::~PartialFile() { Discard(); }

bool PartialFile::Create(const std::string &path, std::string *error) {
  Discard();
  // Through a link, the file it leads to is replaced, not the link.
  char resolved[PATH_MAX];
  struct stat link {};
  target =
      lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && realpath(path.c_str(), resolved)
          ? std::string(resolved)
          : path;
  std::string pattern = TemporaryPattern(target);
  // No signal between the file's creation and its place in the list.
  sigset_t stopping, before;
  sigemptyset(&stopping);
  for (int signal : SIGNALS)
    sigaddset(&stopping, signal);
  pthread_sigmask(SIG_BLOCK, &stopping, &before);
  fd = mkostemp(pattern.data(), O_CLOEXEC);
  const int code = errno;
  if (fd >= 0) {
    temporary = pattern;
    slot = Register(temporary);
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  if (fd < 0 && error)
    *error = SystemText(code);
  return fd >= 0;
}

bool PartialFile::Write(const void *data, std::size_t size, std::string *error) {
  const char *bytes = static_cast<const char *>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (error)
        *error = SystemText(n < 0 ? errno : ENOSPC);
      return false;
    }
    bytes += n;
    size -= size_t(n);
  }
  return true;
}

bool PartialFile::Commit(std::string *error) {
  auto fail = [&](int code) {
    if (error)
      *error = SystemText(code);
    Discard();
    return false;
  };
  if (fd < 0)
    return fail(EBADF);
  // mkstemp makes the file private; it gets the bits of the file it replaces, or those of any
  // new file.
  mode_t mode = 0;
  struct stat old {};
  if (stat(target.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (fchmod(fd, mode) != 0 && errno != EPERM)
    return fail(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0)
    return fail(errno);
  if (std::rename(temporary.c_str(), target.c_str()) != 0)
    return fail(errno);
  Unregister(slot);
  temporary.clear();
  return true;
}

void PartialFile::Discard() {
  if (fd >= 0)
    ::close(fd);
  fd = -1;
  if (!temporary.empty())
    ::unlink(temporary.c_str());
  Unregister(slot);
  temporary.clear();
}
