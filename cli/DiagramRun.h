#pragma once
#include "CliCommon.h"
#include "DocumentOptions.h"
#include "statistics/DiagramCollection.h"

#include <functional>
#include <memory>
#include <string>

class CPluvicamDoc;
class UserMessages;
struct HydRecord;

// What the enlarged diagrams' commands share: a document opened with the window and filter
// options, and a pass over its particles as a diagram's run makes it.
namespace diagramrun {

// Exit statuses: 0 the pass reached the end of the data, 1 a failure stopped it, 2 no file or
// bad arguments.
using cli::EXIT_OK;
using cli::EXIT_STOPPED;
using cli::EXIT_UNUSABLE;

// The document's message boxes, on standard error.
UserMessages &StderrMessages();

// Opens `file` with the filter the options describe; null after reporting the failure.
std::unique_ptr<CPluvicamDoc> Open(const std::string &file, const DocumentOptions &options);

// Reads from where the document stands to the end of the window or file, handing every accepted
// particle to `onParticle`. Returns the exit status; a failure is reported on standard error.
int Run(CPluvicamDoc &doc, DiagramCollection &collection,
        const std::function<void(const HydRecord &)> &onParticle);

} // namespace diagramrun
