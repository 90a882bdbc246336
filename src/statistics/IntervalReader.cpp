#include "IntervalReader.h"

#include "data/CHydDataHandler.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <cmath>

IntervalReader::Outcome IntervalReader::Next() {
  record = nullptr;
  CHydDataHandler *handler = doc.GetHandler();
  if (!handler) {
    message = "CPluvicamDoc::ReadHydData: m_hydHandler = NULL";
    return Failure;
  }
  position = handler->GetHydFile().GetPosition();
  int status = CPluvicamDoc::statusRejected;
  CHydData *particle = doc.ReadHydData(0, &status, &message);
  switch (status) {
  case CPluvicamDoc::statusAccepted: {
    const HydRecord *r = particle ? particle->GetHydHeader() : nullptr;
    const double f = r && r->mainHeader ? r->mainHeader->lineFrequency : 0.0;
    // Without a line frequency the particle has no time of its own to place it in an interval.
    if (!r || !(f > 0) || !std::isfinite(f) || !std::isfinite(r->tim))
      return Nothing;
    record = r;
    lineFrequency = f;
    return Particle;
  }
  case CPluvicamDoc::statusEndOfFile:
    // Status 2 stays until a reset without reading again; the boundary flag is the last read's.
    truncated = !handler->EndedAtRecordBoundary();
    return DataEnd;
  case CPluvicamDoc::statusOutOfTime:
    truncated = false;
    return DataEnd;
  case CPluvicamDoc::statusBadRecord:
    // A failed particle computation leaves the stream framed: go on behind its record. Any
    // other bad length has moved the file on; one that did not would be read for ever.
    if (handler->LastFailureInComputation()) {
      handler->SetHydFilePosition(handler->RecordEndAfterFailure());
    } else if (handler->GetHydFile().GetPosition() == position) {
      return Failure;
    }
    return BadRecord;
  case CPluvicamDoc::statusError:
    return Failure;
  default:
    return Nothing;
  }
}

bool IntervalReader::Reposition(int32_t startPos) {
  CHydDataHandler *handler = doc.GetHandler();
  if (!handler) {
    message = "CPluvicamDoc::ReadHydData: m_hydHandler = NULL";
    return false;
  }
  CHydException exc;
  if (handler->SetHydFilePosition(startPos, &exc) < 0) {
    message = exc.message;
    return false;
  }
  return true;
}
