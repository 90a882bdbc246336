#pragma once
#include <cstdint>
#include <string>

class CPluvicamDoc;
struct HydRecord;

// Reads the document's particles for a statistic that cuts the stream into intervals (drop size
// distribution, rain rate) and sorts every read into what such a loop acts on. It also sets the
// file back to a particle that closed an interval, so that the next interval starts with it.
class IntervalReader {
public:
  enum Outcome {
    Particle,  // an accepted particle: Record() and LineFrequency()
    Nothing,   // no particle this time (rejected by the filter)
    BadRecord, // a record whose computation failed; reading goes on behind it
    DataEnd,   // end of the file or of the time window
    Failure,   // an error: Message() and Position()
  };

  explicit IntervalReader(CPluvicamDoc &doc) : doc(doc) {}

  Outcome Next();

  // The accepted particle of the last read; valid until the next read.
  const HydRecord &Record() const { return *record; }
  double LineFrequency() const { return lineFrequency; }
  // The message of the last bad record, data end or failure.
  const std::string &Message() const { return message; }
  // Where in the data file the last read began.
  int32_t Position() const { return position; }
  // The data ended inside a record: the file is truncated.
  bool Truncated() const { return truncated; }

  // Sets the file to the record at `startPos` so that the next read delivers it again. False
  // with Message() filled when the handler refuses.
  bool Reposition(int32_t startPos);

private:
  CPluvicamDoc &doc;
  const HydRecord *record = nullptr;
  double lineFrequency = 0;
  std::string message;
  int32_t position = -1;
  bool truncated = false;
};
