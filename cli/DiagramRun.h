#pragma once
#include "statistics/DiagramCollection.h"

#include <functional>

class CPluvicamDoc;
struct HydRecord;

// What the enlarged diagrams' commands share: a pass over the document's particles as a
// diagram's run makes it.
namespace diagramrun {

// Reads from where the document stands to the end of the window or file, handing every accepted
// particle to `onParticle`. Returns the exit status; a failure is reported on standard error.
int Run(CPluvicamDoc &doc, DiagramCollection &collection,
        const std::function<void(const HydRecord &)> &onParticle);

} // namespace diagramrun
