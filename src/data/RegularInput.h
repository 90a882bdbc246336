#pragma once
#include <cstdint>
#include <string>

// Opens an input file for reading (or reading and writing) without ever waiting: a FIFO, a
// device, a socket or a directory under an input's name is refused at once instead of blocking
// the program or being read for ever.
struct RegularInput {
  int fd = -1;         // open, blocking again; -1 on failure
  int err = 0;         // errno of a failed system call; 0 when the file was refused as such
  std::string problem; // the system's text, or "PATH is not a regular file"
  int64_t size = 0;
  uint64_t device = 0;
  uint64_t inode = 0;

  static RegularInput Open(const std::string &path, bool writable = false);
};
