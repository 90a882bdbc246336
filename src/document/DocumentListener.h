#pragma once
#include "FilterRecord.h"

// What the document tells the views and control panels. The shell forwards each call to its
// windows; tests record them. Calls arrive synchronously and in the document's order.
class DocumentListener {
public:
  virtual ~DocumentListener();

  // A new particle stands (0x500): views ask the document for it and redraw.
  virtual void OnParticle() {}
  // Accumulated rain-rate data changed (flag 1) or was dropped (flag 0); 0x501 to every view.
  virtual void OnReset(int flag) { (void)flag; }
  // The small top view re-reads pixel ranges and filter (0x501 with 0, 0).
  virtual void OnTopViewReset() {}
  // The main control panels show a new filter (SetFilterFields).
  virtual void OnFilterChanged(const FilterRecord &filter) { (void)filter; }
  // The main control panels' largest pixel index changed (UpdatePixelBounds).
  virtual void OnPixelBounds(int maxPixel) { (void)maxPixel; }
  // The file is being closed: the run timer must stop.
  virtual void OnStopRun() {}
};
