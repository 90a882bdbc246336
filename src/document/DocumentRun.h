#pragma once
#include "CPluvicamDoc.h"

#include <functional>

// One step of the main window's run: the part of the timer tick that does not touch the timer.
// The shell's timer tick and single step and the command-line tool all stand on it.
struct RunStepResult {
  CPluvicamDoc::ReadStatus status = CPluvicamDoc::statusRejected; // read status of the step
  bool stop = false; // the run must stop: end of file or window, a bad record, an error
};

// Asked after the read, before the contours: will the views be shown this particle, that is,
// is it the last one handed to them before a picture?
using ShownTest = std::function<bool()>;

// Reads until a particle passes the filter, then fetches its wind reading, builds its contours
// (rain) and adds its rain to the rain-rate intervals; tells the views of a completed interval
// (flag 1) and of the new particle. Errors go to the document's UserMessages.
//
// Only the particle views draw contours, and they show the last particle. With `shown` given,
// the contours are built only when it says so, when the run stops at this particle, or when
// the build would fail (that turns the status into a bad record); so the document ends the step
// in the same state as without `shown`, except that the contours of an unseen particle are
// missing.
RunStepResult StepDocument(CPluvicamDoc &doc, const ShownTest &shown = {});
