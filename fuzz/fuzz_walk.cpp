// Fuzzes "open a data file with its index file and walk it" in both directions.
// Input: a 16-bit index length, the index file bytes, then the data file bytes; the first input
// byte also picks rain or snow.
#include "document/CHydDataHandler.h"
#include "particle/CHydData.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string Folder() {
  static std::string folder = [] {
    char pattern[] = "/tmp/pluvicam-fuzz-XXXXXX";
    const char *made = mkdtemp(pattern);
    if (!made)
      std::abort();
    return std::string(made);
  }();
  return folder;
}

void Write(const std::string &path, const uint8_t *data, size_t size) {
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f)
    std::abort();
  if (size)
    std::fwrite(data, 1, size, f);
  std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 3)
    return 0;
  const bool snow = data[0] & 1;
  const size_t indexSize = size_t(data[1] | data[2] << 8) + 5770;
  data += 3;
  size -= 3;
  // Short inputs get an index of zeros padded with the main headers they carry.
  std::string index(indexSize, '\0');
  const size_t headerBytes = indexSize > 5770 ? std::min(size, indexSize - 5770) : 0;
  for (size_t i = 0; i < headerBytes; ++i)
    index[5770 + i] = char(data[i]);
  const std::string base = Folder() + "/f";
  const std::string dataPath = base + (snow ? ".sno" : ".hyd");
  Write(base + (snow ? ".shd" : ".hd"), reinterpret_cast<const uint8_t *>(index.data()),
        index.size());
  Write(dataPath, data, size);

  CHydDataHandler handler;
  CHydException e;
  if (!handler.Open(dataPath, CInputFile::modeRead, &e))
    return 0;
  bool newMain = false;
  for (int i = 0; i < 200; ++i) {
    CHydData *particle = handler.GetNextHydData(newMain, &e);
    if (!particle) {
      if (!handler.LastFailureInComputation())
        break;
      handler.SetHydFilePosition(handler.RecordEndAfterFailure(), &e);
    }
  }
  for (int i = 0; i < 20; ++i)
    if (!handler.GetPreviousHydData(newMain, &e))
      break;
  return 0;
}
