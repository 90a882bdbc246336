#include "DiagramCollection.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

DiagramCollection::DiagramCollection(CPluvicamDoc &document, bool keepInterval)
    : doc(document), interval(keepInterval) {
  if (interval)
    doc.ClearIntegrationState();
}

DiagramCollection::Outcome DiagramCollection::Next() {
  int status = CPluvicamDoc::statusRejected;
  CHydData *particle = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status);
  record = nullptr;
  switch (status) {
  case CPluvicamDoc::statusAccepted:
    break;
  case CPluvicamDoc::statusEndOfFile:
  case CPluvicamDoc::statusOutOfTime:
    return End;
  case CPluvicamDoc::statusError:
    return Failed;
  case CPluvicamDoc::statusBadRecord:
    SkipFailedRecord();
    return Nothing;
  default:
    return Nothing;
  }
  if (!particle)
    return Nothing;
  record = particle->GetHydHeader();
  if (!interval)
    return Particle;
  IntegrationState &state = *doc.GetIntegrationState();
  if (first) {
    state.startTim = record->tim;
    first = false;
  } else {
    state.endTim = record->tim;
  }
  ++state.count;
  return Particle;
}

void DiagramCollection::SkipFailedRecord() {
  // The reader stands inside the record whose computation failed; reading on from there would
  // take drop data for record headers.
  if (doc.LastFailureInComputation())
    doc.SetFilePosition(doc.RecordEndAfterFailure());
}

void DiagramCollection::Finish() {
  if (interval)
    doc.GetIntegrationState()->valid = true;
}
