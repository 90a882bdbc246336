#pragma once
#include <cstddef>
#include <string>

// A file written under a temporary name beside its target that takes the target's name only
// when it is complete, so that a failure or an interruption never leaves half a file behind nor
// spoils the file it was to replace. SIGINT, SIGTERM and SIGHUP remove the temporary file before
// the process ends (a SIGKILL cannot).
class PartialFile {
public:
  PartialFile() = default;
  PartialFile(const PartialFile &) = delete;
  PartialFile &operator=(const PartialFile &) = delete;
  // An uncommitted file is removed.
  ~PartialFile();

  // Creates the temporary file beside `target` (beside the file a link leads to) and opens it
  // for writing. False with `error` set to the system's text.
  bool Create(const std::string &target, std::string *error);
  // Writes all of `size` bytes. False with `error` set to the system's text.
  bool Write(const void *data, std::size_t size, std::string *error);
  // Closes the file, gives it the permission bits of the file it replaces (those of any new
  // file when there is none) and the target's name. False with `error` set to the system's
  // text; the temporary file is removed then.
  bool Commit(std::string *error);
  // Removes the temporary file.
  void Discard();

  const std::string &Path() const { return temporary; }
  bool IsOpen() const { return !temporary.empty(); }

private:
  std::string target;
  std::string temporary;
  int fd = -1;
  int slot = -1; // in the list of files that the signal handler removes
};
