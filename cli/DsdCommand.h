#pragma once
#include "document/UserMessages.h"

#include <functional>
#include <string>
#include <vector>

// Where the dsd command puts its product when it runs inside another program (the Python module).
struct DsdInMemory {
  // The netCDF-4 file's bytes; empty when no product was made.
  std::vector<unsigned char> product;
  // Runs `work`, every call of the netCDF library, while the caller holds its own lock on the
  // library: it is not safe to call from two threads at once, and the caller's other threads
  // may use it too. The rows are gathered first, so this is one call at the end.
  std::function<void(const std::function<void()> &work)> exclusive =
      [](const std::function<void()> &work) { work(); };
};

// The dsd command run inside another program: `arguments` as they follow "dsd" on the command
// line, without --netcdf; the product goes into `target` instead of a file, `history` into its
// history after the time stamp, and every message to `messages`. Returns the command's exit
// status; an empty product was not made, and the messages say why. Arguments the command
// refuses throw std::invalid_argument with its message.
int RunDsdInMemory(const std::vector<std::string> &arguments, const std::string &history,
                   DsdInMemory &target, UserMessages &messages);
