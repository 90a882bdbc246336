#include "CliCommon.h"

#include "ParticleCsv.h"
#include "statistics/DiagramCsv.h"
#include <limits>

#include <atomic>
#include <cstdio>

namespace cli {

bool OpenOrReport(CHydDataHandler &handler, const std::string &file, std::ostream &errors) {
  CHydException e;
  if (handler.Open(file, CInputFile::modeRead, &e)) {
    if (!handler.OpenNotice().empty())
      errors << file << ": " << handler.OpenNotice() << "\n";
    return true;
  }
  errors << e.message << "\n";
  return false;
}

void ReportNoParticles(CHydDataHandler &handler, const std::string &file, std::ostream &errors) {
  if (handler.GetHydFile().GetLength() == 0)
    errors << file << ": the data file is empty\n";
  else
    errors << file << ": the data file holds no particle\n";
}

void StderrMessages::Show(const std::string &text) { std::cerr << text << "\n"; }

FilterRecord AnyParticleFilter() {
  FilterRecord filter;
  filter.endTime.hour = 24;
  filter.diamMin = filter.velMin = filter.oblMin = -std::numeric_limits<float>::max();
  filter.diamMax = filter.velMax = filter.oblMax = std::numeric_limits<float>::max();
  filter.minPixA = filter.minPixB = std::numeric_limits<int16_t>::min();
  filter.maxPixA = filter.maxPixB = std::numeric_limits<int16_t>::max();
  return filter;
}

std::unique_ptr<CPluvicamDoc> OpenDocument(const std::string &file, const DocumentSetup &setup,
                                           UserMessages &messages) {
  std::string error;
  auto doc = std::make_unique<CPluvicamDoc>(&messages);
  doc->SetFilterSettings(setup.filter);
  if (!doc->OpenHydFile(file, &error, setup.access == FileAccess::Read)) {
    messages.Show(setup.nameFileInFailure ? file + ": " + error : error);
    return nullptr;
  }
  // Said once however many snow files a command reads, on however many threads.
  static std::atomic<bool> snowTold = false;
  if (doc->IsSno() && setup.filter.velocityQc.On() && !snowTold.exchange(true))
    messages.Show("The velocity check does not apply to snow files: " + file +
                  " is read without it");
  return doc;
}

std::unique_ptr<CPluvicamDoc> OpenDocument(const std::string &file, const DocumentOptions &options,
                                           UserMessages &messages) {
  DocumentSetup setup;
  std::string error;
  if (!options.BuildFilter(setup.filter, error)) {
    messages.Show(error);
    return nullptr;
  }
  return OpenDocument(file, setup, messages);
}

int RunEndStatus(const CPluvicamDoc &doc, const RunStepResult &step, std::ostream &errors) {
  switch (step.status) {
  case CPluvicamDoc::statusOutOfTime:
    return 0;
  case CPluvicamDoc::statusEndOfFile:
    // An end inside a record is a truncated file, not the end of the data.
    if (doc.GetHandler()->EndedAtRecordBoundary())
      return 0;
    errors << doc.GetStatusText() << "\n";
    return EXIT_STOPPED;
  case CPluvicamDoc::statusBadRecord:
    errors << doc.GetStatusText() << "\n";
    return EXIT_STOPPED;
  default: // errors were shown by the step itself
    return EXIT_STOPPED;
  }
}

void AppendWind(std::string &out, const WindRecord *wind) {
  if (!wind) {
    out += ",,,";
    return;
  }
  out += ',';
  csv::AppendFloat(out, wind->windSpeed / 100.0);
  out += ',';
  csv::AppendInt(out, wind->windDirection);
  out += ',';
  csv::AppendFloat(out, wind->temperature / 100.0);
}

std::string TimeText(const CPluvicamDoc &doc, double tim) { return diagramcsv::TimText(doc, tim); }

void FlushIfLarge(std::string &out) {
  if (out.size() > (1 << 16))
    Flush(out);
}

void Flush(std::string &out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

} // namespace cli
