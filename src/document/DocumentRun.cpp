#include "DocumentRun.h"

#include "CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <string>

RunStepResult StepDocument(CPluvicamDoc &doc, const ShownTest &shown) {
  RunStepResult result;
  std::string message;
  CHydData *particle = nullptr;
  do
    particle = doc.ReadHydData(0, &result.status, &message);
  while (result.status == CPluvicamDoc::statusRejected);

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
    if (!doc.IsSno() && !skipContours && doc.CreateContours(0, &contourMessage) < 0) {
      result.stop = true;
      doc.ShowMessage(contourMessage);
    }
    if (particle && doc.AddRainRate(particle->GetHydHeader()))
      doc.NotifyViews(1);
  }
  doc.NotifyParticle();
  return result;
}
