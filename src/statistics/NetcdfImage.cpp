#include "NetcdfImage.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <cstdlib>

namespace {
// The image grows as needed; this is where it starts.
constexpr std::size_t INITIAL_IMAGE = 1 << 20;
} // namespace

NetcdfImage::~NetcdfImage() { Abandon(); }

bool NetcdfImage::CreateFile(const std::string &path, const OutputGuard &outputGuard,
                             std::string *error) {
  Abandon();
  target = path;
  guard = outputGuard;
  if (const std::string refusal = guard.Check(path); !refusal.empty())
    return Fail(refusal, error);
  std::string why;
  if (!partial.Create(path, &why))
    return Fail(why.empty() ? "cannot create the file" : why, error);
  return Start(error);
}

bool NetcdfImage::CreateInMemory(const std::string &name, std::string *error) {
  Abandon();
  target = name;
  guard = OutputGuard{};
  return Start(error);
}

bool NetcdfImage::Start(std::string *error) {
  int id = -1;
  const int status = nc_create_mem(target.c_str(), NC_NETCDF4, INITIAL_IMAGE, &id);
  if (status != NC_NOERR)
    return Fail(nc_strerror(status), error);
  ncid = id;
  return true;
}

bool NetcdfImage::Fail(const std::string &why, std::string *error) {
  if (error)
    *error = "Could not write " + target + ": " + why;
  Abandon();
  return false;
}

bool NetcdfImage::CheckOpen(std::string *error) const {
  if (IsOpen())
    return true;
  if (error)
    *error = "Could not write " + target + ": the file is not open";
  return false;
}

bool NetcdfImage::CloseToMemory(void *&memory, std::size_t &size, std::string *error) {
  if (!CheckOpen(error))
    return false;
  NC_memio image{};
  const int status = nc_close_memio(ncid, &image);
  ncid = -1;
  if (status != NC_NOERR)
    return Fail(nc_strerror(status), error);
  memory = image.memory;
  size = image.size;
  return true;
}

bool NetcdfImage::FinishFile(std::string *error) {
  void *memory = nullptr;
  std::size_t size = 0;
  if (!CloseToMemory(memory, size, error))
    return false;
  const bool written = WriteFile(memory, size, error);
  std::free(memory);
  return written;
}

bool NetcdfImage::WriteFile(const void *memory, std::size_t size, std::string *error) {
  if (!partial.IsOpen()) {
    if (error)
      *error = "Could not write " + target + ": the file is not open";
    return false;
  }
  std::string why;
  if (!partial.Write(memory, size, &why))
    return Fail(why, error);
  // The reading took its time: the target may have become something else meanwhile.
  if (const std::string refusal = guard.Check(target); !refusal.empty())
    return Fail(refusal, error);
  if (!partial.Commit(&why))
    return Fail(why, error);
  return true;
}

bool NetcdfImage::FinishInMemory(std::vector<unsigned char> &bytes, std::string *error) {
  void *memory = nullptr;
  std::size_t size = 0;
  if (!CloseToMemory(memory, size, error))
    return false;
  const auto *begin = static_cast<const unsigned char *>(memory);
  bytes.assign(begin, begin + size);
  std::free(memory);
  Abandon();
  return true;
}

void NetcdfImage::Abandon() {
  if (ncid >= 0)
    nc_abort(ncid);
  ncid = -1;
  partial.Discard();
}
