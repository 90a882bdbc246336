#pragma once

// A big view (or the drop view's panel) that may be computing: its frame waits for it to become
// idle before it closes. Asking may also tell it to stop.
class BusyView {
public:
  virtual ~BusyView();
  virtual bool IsIdle() = 0;
};
