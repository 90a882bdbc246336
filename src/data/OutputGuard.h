#pragma once
#include <string>
#include <vector>

// Where a writer may put its output. Every writer asks here before it creates, replaces or
// appends to a file: an output never lands on a file the run reads nor on the index, pix, wind
// or tip file beside a data file it reads, whatever links lead there; a name of the instrument's
// own files (.hyd, .pix, .sno, .hd, .shd, .wd, .tip) is never written; only a regular file is
// replaced or appended to, and never a read-only one.
class OutputGuard {
public:
  // A data file the run reads; the files beside it with the same name up to the extension are
  // kept safe with it.
  void AddDataFile(const std::string &path);

  // Empty when `path` may be written; otherwise why not, naming `path` and the file it would
  // have replaced.
  std::string Check(const std::string &path) const;
  // The same for a file already opened for writing as `fd` under the name `path`: what was
  // checked by name could have been swapped before the open.
  std::string CheckOpened(int fd, const std::string &path) const;

private:
  struct Input {
    std::string path;
    std::string description; // "the index file DAY.hd of DAY.hyd"
  };
  // The refusal when the file with this device and inode is one of the inputs; else empty.
  std::string SameAsInput(const std::string &path, unsigned long long device,
                          unsigned long long inode) const;

  std::vector<Input> inputs;
};
