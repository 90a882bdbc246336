// Fuzzes the minute index: positioning by time of day and by byte position, each followed by a
// short walk, and the check that a position is a particle record's start.
// Input: four 16-bit minutes of the day and a 32-bit byte position, then a day as in FuzzDay.h.
#include "FuzzDay.h"
#include "data/RecordFraming.h"
#include "document/CHydDataHandler.h"
#include "particle/CHydData.h"

namespace {
void WalkSome(CHydDataHandler &handler, int count) {
  CHydException e;
  bool newMain = false;
  for (int i = 0; i < count; ++i)
    if (!handler.GetNextHydData(newMain, &e))
      break;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzday::Input in{data, size};
  int minutes[4];
  for (int &m : minutes)
    m = int(in.Word(2) % 1500);
  const int32_t position = int32_t(in.Word(4));
  const std::string dataPath = fuzzday::WriteDay(in);
  CHydDataHandler handler;
  CHydException e;
  if (!handler.Open(dataPath, CInputFile::modeRead, &e))
    return 0;
  for (int m : minutes) {
    if (handler.SetHydFilePosition(m / 60, m % 60, &e) >= 0)
      WalkSome(handler, 8);
  }
  if (handler.SetHydFilePosition(position, &e) >= 0)
    WalkSome(handler, 8);
  IsParticleRecordStart(handler.GetHydFile(), position);
  return 0;
}
