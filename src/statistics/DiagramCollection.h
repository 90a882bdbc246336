#pragma once
#include <cstdint>

class CPluvicamDoc;
struct HydRecord;

// The reading side of an enlarged diagram's run: takes the document's particles one at a time
// from where it stands, keeps the document's interval record (first and last particle time,
// count) and sorts the read statuses into what the diagram must do.
class DiagramCollection {
public:
  enum Outcome {
    Particle, // an accepted particle: Record() holds it
    Nothing,  // rejected by the filter, or a bad record (skipped): go on
    End,      // end of the file or of the time window
    Failed,   // a read error: the document's status text says which
  };

  // Clears the document's interval record, unless the pass keeps none (the calibration export).
  explicit DiagramCollection(CPluvicamDoc &doc, bool keepInterval = true);

  Outcome Next();
  const HydRecord *Record() const { return record; }
  // The run is over: the interval record becomes valid.
  void Finish();

private:
  void SkipFailedRecord();

  CPluvicamDoc &doc;
  const HydRecord *record = nullptr;
  bool interval;
  bool first = true;
};
