#pragma once
#include <functional>

// Runs `step` until it returns false inside a nested event loop, as a modal computation does:
// the caller returns only when the work is over, while the window system's events (a Stop
// button, repaints, a close) are handled between slices of about `sliceMs` milliseconds, not
// between single steps.
void RunInSlices(const std::function<bool()> &step, int sliceMs = 15);
