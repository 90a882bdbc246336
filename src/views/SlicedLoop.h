#pragma once
#include <functional>

class CPluvicamDoc;
struct HydRecord;

// Runs `step` until it returns false inside a nested event loop, as a modal computation does:
// the caller returns only when the work is over, while the window system's events (a Stop
// button, repaints, a close) are handled between slices of about `sliceMs` milliseconds, not
// between single steps.
void RunInSlices(const std::function<bool()> &step, int sliceMs = 15);

// An enlarged diagram's run in slices: the document's particles from where it stands go to
// `onParticle` while `running()` holds; the end of the data and a read error call `onEnd` and
// end the run. Returns false after a read error (the document's status text says which).
// Without `keepInterval` the document's interval record is left alone.
bool CollectInSlices(CPluvicamDoc &doc, const std::function<bool()> &running,
                     const std::function<void(const HydRecord &)> &onParticle,
                     const std::function<void()> &onEnd, bool keepInterval = true);
