#pragma once
#include "document/UserMessages.h"

#include <string>
#include <vector>

// The files of a series in the order of their first main header's time, each read once: two
// names of one file (the same device and inode after links) are one file. A file whose main
// headers reach back into the time of the file before it would make the series' time run
// backwards and is left out. Every file left out is reported through `messages`.
struct SeriesFiles {
  std::vector<std::string> files;
  // False when a file was left out because it did not open or overlapped another; a file
  // named twice loses nothing.
  bool complete = true;

  static SeriesFiles Order(const std::vector<std::string> &names, UserMessages &messages);
};
