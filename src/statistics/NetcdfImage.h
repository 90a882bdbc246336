#pragma once
#include "data/OutputGuard.h"
#include "data/PartialFile.h"

#include <cstddef>
#include <string>
#include <vector>

// A netCDF-4 file built in memory, then written under a temporary name beside its target, which
// it takes only once complete, or handed to the caller as bytes. So an interrupted or failed
// export never leaves a partial file nor clobbers an earlier product. In memory, because the
// library cannot close a file after a failed write (a full disk): it retries the write on every
// close and crashes at the process's exit.
//
// Every failure abandons the image and reads "Could not write TARGET: ...".
class NetcdfImage {
public:
  NetcdfImage() = default;
  NetcdfImage(const NetcdfImage &) = delete;
  NetcdfImage &operator=(const NetcdfImage &) = delete;
  ~NetcdfImage();

  // Starts the image of the file `path`, where `guard` lets it be written. The temporary file is
  // made now, so that a place where nothing can be written is known before the data are read.
  // False with `error` set.
  bool CreateFile(const std::string &path, const OutputGuard &guard, std::string *error);
  // Starts an image the caller takes with FinishInMemory; `name` stands for it in messages.
  bool CreateInMemory(const std::string &name, std::string *error);

  // False with "...: WHY" in `error`.
  bool Fail(const std::string &why, std::string *error);
  // False with "...: the file is not open" in `error` when no image is being built.
  bool CheckOpen(std::string *error) const;

  // Closes the image and gives the file the target's name.
  bool FinishFile(std::string *error);
  // Closes the image into `memory` (which the caller frees) for another writer to go on with;
  // the temporary file stays for WriteFile.
  bool CloseToMemory(void *&memory, std::size_t &size, std::string *error);
  // Writes a finished image under the temporary name and gives the file the target's name.
  bool WriteFile(const void *memory, std::size_t size, std::string *error);
  // Closes the image into `bytes`.
  bool FinishInMemory(std::vector<unsigned char> &bytes, std::string *error);
  // Drops the image and the temporary file.
  void Abandon();

  int Id() const { return ncid; }
  bool IsOpen() const { return ncid >= 0; }

private:
  bool Start(std::string *error);

  int ncid = -1;
  std::string target;
  OutputGuard guard;
  PartialFile partial;
};
