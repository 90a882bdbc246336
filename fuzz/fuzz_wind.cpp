// Fuzzes the wind reader: opening, positioning and reading at positions from the input.
// Input: eight 16-bit record numbers, then the wind file's bytes.
#include "FuzzDay.h"
#include "document/CWindFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzday::Input in{data, size};
  uint16_t records[8];
  for (uint16_t &r : records)
    r = uint16_t(in.Word(2));
  const std::string path = fuzzday::Folder() + "/w.wd";
  fuzzday::Write(path, in.p, in.n);
  CWindFile wind;
  if (!wind.Open(path))
    return 0;
  WindRecord record;
  std::string message;
  for (uint16_t r : records) {
    if (wind.SetPosition(int64_t(r) * 8))
      wind.Read(&record, &message);
  }
  while (wind.Read(&record, &message) == 1) {
  }
  return 0;
}
