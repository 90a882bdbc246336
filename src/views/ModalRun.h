#pragma once
#include <functional>

// Runs `step` again and again until it returns false, inside a nested event loop that gets the
// window messages about every 15 ms: repaints and Stop reach the windows while the caller waits,
// and the work goes at full speed between them. Returns when `step` has returned false.
void RunModal(const std::function<bool()> &step);
