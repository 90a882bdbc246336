#pragma once
// The input layout shared by the reader targets, and the memory-backed folder their files go to.
//
// Input: a flags byte (bit 0 snow, bit 1 .pix), a count k of minute slots, k slots of a 16-bit
// minute and a 32-bit position, a 16-bit length of the index's main headers, those headers, then
// the data file. Minutes without a slot are -1. Inputs too short for a part leave it empty.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzzday {

constexpr size_t INDEX_HEADERS_OFFSET = 5770;
constexpr size_t POSITIONS_OFFSET = 4;
constexpr int SLOTS = 1441;

// A folder in a memory file system when there is one: writing the two files per input then
// costs no disk.
inline const std::string &Folder() {
  static const std::string folder = [] {
    struct stat info {};
    std::string base =
        ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/pluvicam-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
      std::abort();
    return pattern;
  }();
  return folder;
}

inline void Write(const std::string &path, const void *data, size_t size) {
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f)
    std::abort();
  if (size)
    std::fwrite(data, 1, size, f);
  std::fclose(f);
}

struct Input {
  const uint8_t *p;
  size_t n;
  uint8_t Byte() {
    if (!n)
      return 0;
    --n;
    return *p++;
  }
  uint32_t Word(int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
      v |= uint32_t(Byte()) << (8 * i);
    return v;
  }
};

// Writes the data and index files of an input; returns the data file's path. `in` is left at
// what follows nothing: the data takes the rest.
inline std::string WriteDay(Input &in) {
  const uint8_t flags = in.Byte();
  std::string index(INDEX_HEADERS_OFFSET, '\0');
  for (int m = 0; m < SLOTS; ++m)
    for (int b = 0; b < 4; ++b)
      index[POSITIONS_OFFSET + size_t(m) * 4 + size_t(b)] = char(0xFF);
  const int slots = in.Byte();
  for (int i = 0; i < slots; ++i) {
    const uint32_t minute = in.Word(2) % SLOTS;
    const uint32_t position = in.Word(4);
    for (int b = 0; b < 4; ++b)
      index[POSITIONS_OFFSET + minute * 4 + size_t(b)] = char(position >> (8 * b));
  }
  size_t headers = in.Word(2);
  if (headers > in.n)
    headers = in.n;
  index.append(reinterpret_cast<const char *>(in.p), headers);
  in.p += headers;
  in.n -= headers;
  const bool snow = flags & 1;
  const std::string base = Folder() + "/f";
  const std::string dataPath = base + (snow ? ".sno" : (flags & 2) ? ".pix" : ".hyd");
  Write(base + (snow ? ".shd" : ".hd"), index.data(), index.size());
  Write(dataPath, in.p, in.n);
  in.p += in.n;
  in.n = 0;
  return dataPath;
}

} // namespace fuzzday
