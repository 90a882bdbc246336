#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A netCDF-4 file image, opened through the HDF5 library underneath, to which chunks are appended
// that the caller has already passed through the variables' filters. The netCDF library filters
// every chunk itself, one after the other on one thread; this lets the caller compress the
// chunks of a large table on all cores and have them stored as they are.
//
// Used on one thread at a time: the HDF5 library is not safe from several.
class Hdf5ChunkFile {
public:
  Hdf5ChunkFile() = default;
  Hdf5ChunkFile(const Hdf5ChunkFile &) = delete;
  Hdf5ChunkFile &operator=(const Hdf5ChunkFile &) = delete;
  ~Hdf5ChunkFile();

  // Opens a copy of the image and the one-dimensional chunked variables `names` in it. False with
  // `error` set to what failed.
  bool Open(const void *image, std::size_t size, const std::vector<std::string> &names,
            std::string *error);
  // Stores one filtered chunk of variable `index` (its place in `names`) at row `first`, a
  // multiple of the variable's chunk length, and makes the variable `rows` long. `skipped` has bit
  // i set for each filter of the variable's pipeline that the chunk did not pass through.
  bool Write(std::size_t index, std::uint64_t first, std::uint64_t rows, std::uint32_t skipped,
             const unsigned char *chunk, std::size_t size, std::string *error);
  // The finished file: the library's own buffer, taken over rather than copied.
  struct Image {
    struct Free {
      void operator()(unsigned char *p) const;
    };
    std::unique_ptr<unsigned char, Free> bytes;
    std::size_t size = 0;
  };
  // Closes the file into `image`.
  bool Finish(Image &image, std::string *error);
  void Close();

  bool IsOpen() const { return file >= 0; }

private:
  bool Fail(const std::string &what, std::string *error);

  std::int64_t file = -1;
  std::vector<std::int64_t> datasets;
  // The buffer the library lets go when it closes the file.
  unsigned char *released = nullptr;
};
