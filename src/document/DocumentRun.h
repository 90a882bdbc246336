#pragma once

class CPluvicamDoc;

// One step of the main window's run: the part of the timer tick that does not touch the timer.
// The shell's timer tick and single step and the command-line tool all stand on it.
struct RunStepResult {
  int status = 1;    // read status of the step (CPluvicamDoc::ReadStatus)
  bool stop = false; // the run must stop: end of file or window, a bad record, an error
};

// Reads until a particle passes the filter, then fetches its wind reading, builds its contours
// (rain) and adds its rain to the rain-rate intervals; tells the views of a completed interval
// (flag 1) and of the new particle. Errors go to the document's UserMessages.
RunStepResult StepDocument(CPluvicamDoc &doc);
