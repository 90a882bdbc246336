// Fuzzes the document's read loop: a time window and a filter from the input, forward reads with
// the wind and contours of every accepted particle, backward steps and a restart at the window.
// Input: 16 bytes of filter, then a day as in FuzzDay.h (a wind file is written from the data's
// first bytes when flag bit 2 of the filter's first byte is set).
#include "FuzzDay.h"
#include "document/CPluvicamDoc.h"
#include "document/CWindFile.h"
#include "document/DocumentRun.h"
#include "particle/CHydData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzday::Input in{data, size};
  FilterRecord filter = FilterRecord::DocumentDefaults();
  const uint8_t mode = in.Byte();
  filter.startTime.hour = int16_t(in.Byte() % 25);
  filter.startTime.minute = int16_t(in.Byte() % 60);
  filter.endTime.hour = int16_t(in.Byte() % 25);
  filter.endTime.minute = int16_t(in.Byte() % 60);
  filter.diamMin = float(in.Byte()) / 10.0f;
  filter.diamMax = filter.diamMin + float(in.Byte());
  filter.velMin = float(in.Byte()) / 20.0f;
  filter.velMax = filter.velMin + float(in.Byte()) / 5.0f;
  filter.oblMin = float(in.Byte()) / 200.0f;
  filter.oblMax = filter.oblMin + float(in.Byte()) / 100.0f;
  filter.minPixA = int16_t(in.Word(2) % 2048);
  filter.maxPixA = int16_t(filter.minPixA + in.Byte() * 8);
  filter.dropType = int16_t(in.Byte() % 7);
  filter.minPixB = filter.minPixA;
  filter.maxPixB = filter.maxPixA;
  const size_t windBytes = (mode & 4) ? std::min<size_t>(in.n, 256) : 0;
  std::string wind(reinterpret_cast<const char *>(in.p), windBytes);
  const std::string dataPath = fuzzday::WriteDay(in);
  const std::string windPath = CWindFile::NameFor(dataPath);
  if (mode & 4)
    fuzzday::Write(windPath, wind.data(), wind.size());
  else
    ::unlink(windPath.c_str());

  CPluvicamDoc doc;
  doc.SetFilterSettings(filter);
  if (!doc.OpenHydFile(dataPath, nullptr, true))
    return 0;
  for (int i = 0; i < 150; ++i) {
    const RunStepResult step = StepDocument(doc);
    if (step.stop) {
      // Behind a particle that failed, as a user pressing Run again.
      if (step.status != CPluvicamDoc::statusBadRecord)
        break;
    }
    if (doc.GetHydHeader() && !doc.IsSno())
      doc.CreateContours(1);
  }
  int status = 0;
  for (int i = 0; i < 5; ++i)
    doc.ReadHydData(1, &status);
  doc.ResetData();
  for (int i = 0; i < 5; ++i)
    StepDocument(doc);
  return 0;
}
