#pragma once
#include "DocumentOptions.h"
#include "document/CHydDataHandler.h"
#include "document/CPluvicamDoc.h"
#include "document/DocumentRun.h"
#include "particle/CHydData.h"

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

// What the subcommands of pluvicam-cli share: exit statuses, opening a file, the two walks over
// it (the reader's and the main window's), the report of failures and the output of CSV text.
namespace cli {

// Exit statuses: 0 the walk reached the end, 1 a failure stopped it, 2 no file or bad arguments.
constexpr int EXIT_OK = 0;
constexpr int EXIT_STOPPED = 1;
constexpr int EXIT_UNUSABLE = 2;

// Opens `file` read-only; false after reporting the failure on standard error.
bool OpenOrReport(CHydDataHandler &handler, const std::string &file,
                  std::ostream &errors = std::cerr);

// A file without particles is not an error, but it must not look like a short day either.
void ReportNoParticles(CHydDataHandler &handler, const std::string &file,
                       std::ostream &errors = std::cerr);

// Walks the file from position 0 with GetNextHydData. `onParticle` sees every delivered
// particle. Returns the exit status; failures are written to `errors` as "POS: MESSAGE".
template <typename OnParticle>
int Walk(CHydDataHandler &handler, bool keepGoing, long long &failures, OnParticle onParticle,
         std::ostream &errors = std::cerr) {
  CHydException e;
  handler.SetHydFilePosition(0, &e);
  for (;;) {
    const int32_t pos = handler.GetHydFile().GetPosition();
    bool newMain = false;
    CHydData *particle = handler.GetNextHydData(newMain, &e);
    if (particle) {
      onParticle(*particle, pos);
      continue;
    }
    if (e.code == CHydException::endOfFile && handler.EndedAtRecordBoundary())
      return 0;
    ++failures;
    errors << pos << ": " << e.message << "\n";
    // A failure of the particle computation leaves the stream framed: go on behind the record.
    if (!keepGoing || !handler.LastFailureInComputation() ||
        e.code != CHydException::badRecordLength)
      return EXIT_STOPPED;
    handler.SetHydFilePosition(handler.RecordEndAfterFailure(), &e);
  }
}

// The document's message boxes and every failure of a command, on standard error.
class StderrMessages : public UserMessages {
public:
  void Show(const std::string &text) override;
};

// The document's messages into a stream of the caller's, in the order they came (a file read on
// a worker thread, the Python module).
class StreamMessages : public UserMessages {
public:
  explicit StreamMessages(std::ostream &out) : out(out) {}
  void Show(const std::string &text) override { out << text << "\n"; }

private:
  std::ostream &out;
};

// The whole day and no limits but the pixel type's: any particle the user can point at.
FilterRecord AnyParticleFilter();

// How a command uses its data file: only the class write opens it for writing.
enum class FileAccess { Read, WriteClass };

struct DocumentSetup {
  FilterRecord filter = AnyParticleFilter();
  FileAccess access = FileAccess::Read;
  // Among several files a failure says which one it belongs to.
  bool nameFileInFailure = false;
};

// Opens `file` in a document that reports through `messages`. Null after telling `messages` why.
std::unique_ptr<CPluvicamDoc> OpenDocument(const std::string &file, const DocumentSetup &setup,
                                           UserMessages &messages);
// The same with the filter that `options` describe; a malformed option is told the same way.
std::unique_ptr<CPluvicamDoc> OpenDocument(const std::string &file, const DocumentOptions &options,
                                           UserMessages &messages);

// The exit status of a document run that stopped with `step`; why it failed goes to `errors`.
int RunEndStatus(const CPluvicamDoc &doc, const RunStepResult &step,
                 std::ostream &errors = std::cerr);

// Runs the main window's loop to its end; `onParticle` sees every accepted particle after the
// document has taken its wind reading and rain. With `keepGoing` a record whose computation
// failed is reported to `errors` and passed over. Returns the exit status.
template <typename OnParticle>
int RunDocument(CPluvicamDoc &doc, bool keepGoing, OnParticle onParticle,
                std::ostream &errors = std::cerr) {
  for (;;) {
    const RunStepResult step = StepDocument(doc);
    if (step.status == CPluvicamDoc::statusAccepted)
      onParticle(*doc.GetHydHeader());
    if (!step.stop)
      continue;
    // The document stands behind a record whose computation failed.
    if (keepGoing && step.status == CPluvicamDoc::statusBadRecord &&
        doc.LastFailureInComputation()) {
      errors << doc.GetStatusText() << "\n";
      continue;
    }
    return RunEndStatus(doc, step, errors);
  }
}

// Appends ",windSpeed,windDirection,temperature" of a wind reading (empty cells without).
void AppendWind(std::string &out, const WindRecord *wind);

// "HH:MM:SS.mmm" of a time in camera lines, or empty when the document cannot convert it.
std::string TimeText(const CPluvicamDoc &doc, double tim);

// Writes `out` to standard output once it has grown large; call Flush at the end.
void FlushIfLarge(std::string &out);
void Flush(std::string &out);

} // namespace cli
