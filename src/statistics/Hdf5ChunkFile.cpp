#include "Hdf5ChunkFile.h"

#include <hdf5.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {
// The image grows by this much when a chunk does not fit.
constexpr std::size_t GROWTH = std::size_t(16) << 20;

// The library's file image buffers, with one difference: the buffer of the closing file is kept
// for the caller (`udata` is where), so that the finished image is not copied once more.
void *Allocate(std::size_t size, H5FD_file_image_op_t, void *) { return std::malloc(size); }
void *Copy(void *to, const void *from, std::size_t size, H5FD_file_image_op_t, void *) {
  return std::memcpy(to, from, size);
}
void *Resize(void *p, std::size_t size, H5FD_file_image_op_t, void *) {
  return std::realloc(p, size);
}
herr_t Release(void *p, H5FD_file_image_op_t op, void *udata) {
  if (op != H5FD_FILE_IMAGE_OP_FILE_CLOSE) {
    std::free(p);
    return 0;
  }
  auto *&kept = *static_cast<unsigned char **>(udata);
  std::free(kept);
  kept = static_cast<unsigned char *>(p);
  return 0;
}
void *ShareUserData(void *udata) { return udata; }
herr_t KeepUserData(void *) { return 0; }
} // namespace

void Hdf5ChunkFile::Image::Free::operator()(unsigned char *p) const { std::free(p); }

Hdf5ChunkFile::~Hdf5ChunkFile() { Close(); }

bool Hdf5ChunkFile::Fail(const std::string &what, std::string *error) {
  if (error)
    *error = "the HDF5 library could not " + what;
  Close();
  return false;
}

bool Hdf5ChunkFile::Open(const void *image, std::size_t size, const std::vector<std::string> &names,
                         std::string *error) {
  Close();
  // Failures are reported as messages here; the library's own print-out would only repeat them.
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  const hid_t access = H5Pcreate(H5P_FILE_ACCESS);
  if (access < 0)
    return Fail("make a file access list", error);
  // In memory only: the image is copied in and taken back out by Finish.
  H5FD_file_image_callbacks_t callbacks{Allocate,      Copy,         Resize,   Release,
                                        ShareUserData, KeepUserData, &released};
  const bool ready = H5Pset_fapl_core(access, GROWTH, false) >= 0 &&
                     H5Pset_file_image_callbacks(access, &callbacks) >= 0 &&
                     H5Pset_file_image(access, const_cast<void *>(image), size) >= 0;
  // The library takes two images of one name for one file: each gets its own.
  static std::atomic<unsigned> opened{0};
  const std::string name = "image " + std::to_string(++opened);
  if (ready)
    file = H5Fopen(name.c_str(), H5F_ACC_RDWR, access);
  H5Pclose(access);
  if (file < 0)
    return Fail("open the file image", error);
  for (const std::string &name : names) {
    const hid_t dataset = H5Dopen2(file, name.c_str(), H5P_DEFAULT);
    if (dataset < 0)
      return Fail("open the variable " + name, error);
    datasets.push_back(dataset);
  }
  return true;
}

bool Hdf5ChunkFile::Write(std::size_t index, std::uint64_t first, std::uint64_t rows,
                          std::uint32_t skipped, const unsigned char *chunk, std::size_t size,
                          std::string *error) {
  if (index >= datasets.size())
    return Fail("find the variable of a chunk", error);
  const hsize_t extent = rows, offset = first;
  if (H5Dset_extent(datasets[index], &extent) < 0)
    return Fail("lengthen a variable", error);
  if (H5Dwrite_chunk(datasets[index], H5P_DEFAULT, skipped, &offset, size, chunk) < 0)
    return Fail("store a chunk", error);
  return true;
}

bool Hdf5ChunkFile::Finish(Image &image, std::string *error) {
  if (!IsOpen())
    return Fail("write a file that is not open", error);
  for (hid_t &dataset : datasets) {
    const herr_t status = H5Dclose(dataset);
    dataset = -1;
    if (status < 0)
      return Fail("close a variable", error);
  }
  datasets.clear();
  if (H5Fflush(file, H5F_SCOPE_GLOBAL) < 0)
    return Fail("flush the file", error);
  // The size of the file, without the room the image has grown ahead.
  const ssize_t length = H5Fget_file_image(file, nullptr, 0);
  if (length < 0)
    return Fail("measure the file image", error);
  const herr_t status = H5Fclose(file);
  file = -1;
  if (status < 0 || !released)
    return Fail("close the file", error);
  image.bytes.reset(released);
  image.size = std::size_t(length);
  released = nullptr;
  return true;
}

void Hdf5ChunkFile::Close() {
  for (hid_t dataset : datasets)
    if (dataset >= 0)
      H5Dclose(dataset);
  datasets.clear();
  if (file >= 0)
    H5Fclose(file);
  file = -1;
  std::free(released);
  released = nullptr;
}
