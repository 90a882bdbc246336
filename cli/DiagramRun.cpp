#include "DiagramRun.h"

#include "document/CPluvicamDoc.h"
#include "document/UserMessages.h"

#include <iostream>

namespace diagramrun {

namespace {
class Stderr : public UserMessages {
public:
  void Show(const std::string &text) override { std::cerr << text << "\n"; }
};
} // namespace

UserMessages &StderrMessages() {
  static Stderr messages;
  return messages;
}

std::unique_ptr<CPluvicamDoc> Open(const std::string &file, const DocumentOptions &options) {
  FilterRecord filter;
  std::string error;
  if (!options.BuildFilter(filter, error)) {
    std::cerr << error << "\n";
    return nullptr;
  }
  auto doc = std::make_unique<CPluvicamDoc>(&StderrMessages());
  doc->SetFilterSettings(filter);
  if (!doc->OpenHydFile(file, &error)) {
    std::cerr << error << "\n";
    return nullptr;
  }
  return doc;
}

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
        return EXIT_STOPPED;
      }
      return EXIT_OK;
    case DiagramCollection::Failed:
      collection.Finish();
      std::cerr << doc.GetStatusText() << "\n";
      return EXIT_STOPPED;
    }
  }
}

} // namespace diagramrun
