#include "DocumentRun.h"

#include "CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <string>

RunStepResult StepDocument(CPluvicamDoc &doc, const ShownTest &shown) {
  RunStepResult result;
  std::string message;
  CHydData *particle = nullptr;
  int status = CPluvicamDoc::statusRejected;
  do
    particle = doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status, &message);
  while (status == CPluvicamDoc::statusRejected);
  result.status = CPluvicamDoc::ReadStatus(status);

  if (result.status == CPluvicamDoc::statusError) {
    result.stop = true;
    doc.ShowMessage(message);
    return result; // no view is told
  }
  if (result.status != CPluvicamDoc::statusAccepted) {
    result.stop = true; // end of file, of the window, or a bad record: silently
  } else {
    std::string windMessage;
    if (doc.ReadWindData(&windMessage) < 0) {
      result.stop = true;
      doc.ShowMessage(windMessage);
    }
    const bool skipContours = shown && !result.stop && !shown() && doc.ContoursBuildable();
    std::string contourMessage;
    if (!doc.IsSno() && !skipContours &&
        doc.CreateContours(ContourMode::Raw, &contourMessage) < 0) {
      result.stop = true;
      doc.ShowMessage(contourMessage);
    }
    std::string rateMessage;
    if (particle && doc.AddRainRate(particle->GetHydHeader(), &rateMessage)) {
      doc.NotifyViews(1);
    } else if (!rateMessage.empty()) {
      // Without memory for the rain-rate list the run cannot go on.
      result.stop = true;
      doc.ShowMessage(rateMessage);
    }
  }
  doc.NotifyParticle();
  return result;
}
