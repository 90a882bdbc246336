#include "DiagramRun.h"
#include "CliCommon.h"

#include "document/CPluvicamDoc.h"

#include <iostream>

namespace diagramrun {

int Run(CPluvicamDoc &doc, DiagramCollection &collection,
        const std::function<void(const HydRecord &)> &onParticle) {
  for (;;) {
    switch (collection.Next()) {
    case DiagramCollection::Particle:
      onParticle(*collection.Record());
      break;
    case DiagramCollection::Nothing:
      break;
    case DiagramCollection::End:
      collection.Finish();
      // An end inside a record is a truncated file, not the end of the data.
      if (doc.GetStatus() == CPluvicamDoc::statusEndOfFile && !doc.EndedAtRecordBoundary()) {
        std::cerr << doc.GetStatusText() << "\n";
        return cli::EXIT_STOPPED;
      }
      return cli::EXIT_OK;
    case DiagramCollection::Failed:
      collection.Finish();
      std::cerr << doc.GetStatusText() << "\n";
      return cli::EXIT_STOPPED;
    }
  }
}

} // namespace diagramrun
