// Fuzzes "open a data file with its index file and walk it" in both directions, going on behind
// particles whose computation failed as a batch reader does.
#include "FuzzDay.h"
#include "data/CHydDataHandler.h"
#include "particle/CHydData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzday::Input in{data, size};
  const std::string dataPath = fuzzday::WriteDay(in);
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
