#include "CliCommon.h"

#include "ParticleCsv.h"
#include <limits>

#include <cstdio>

namespace cli {

bool OpenOrReport(CHydDataHandler &handler, const std::string &file, std::ostream &err) {
  CHydException e;
  if (handler.Open(file, CInputFile::modeRead, &e)) {
    if (!handler.OpenNotice().empty())
      err << file << ": " << handler.OpenNotice() << "\n";
    return true;
  }
  err << e.message << "\n";
  return false;
}

void ReportNoParticles(CHydDataHandler &handler, const std::string &file, std::ostream &err) {
  if (handler.GetHydFile().GetLength() == 0)
    err << file << ": the data file is empty\n";
  else
    err << file << ": the data file holds no particle\n";
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

int RunEndStatus(const CPluvicamDoc &doc, const RunStepResult &step) {
  switch (step.status) {
  case CPluvicamDoc::statusOutOfTime:
    return 0;
  case CPluvicamDoc::statusEndOfFile:
    // An end inside a record is a truncated file, not the end of the data.
    if (doc.GetHandler()->EndedAtRecordBoundary())
      return 0;
    std::cerr << doc.GetStatusText() << "\n";
    return EXIT_STOPPED;
  case CPluvicamDoc::statusBadRecord:
    std::cerr << doc.GetStatusText() << "\n";
    return EXIT_STOPPED;
  default: // errors were shown by the step itself
    return EXIT_STOPPED;
  }
}

void AppendWind(std::string &out, const CPluvicamDoc &doc) {
  WindRecord wind;
  if (!doc.GetWindData(&wind)) {
    out += ",,,";
    return;
  }
  out += ',';
  csv::AppendFloat(out, wind.windSpeed / 100.0);
  out += ',';
  csv::AppendInt(out, wind.windDirection);
  out += ',';
  csv::AppendFloat(out, wind.temperature / 100.0);
}

std::string TimeText(const CPluvicamDoc &doc, double tim) {
  TimeOfDay t;
  if (!doc.TimToTimeOfDay(tim, &t))
    return "";
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second,
                t.millisecond);
  return text;
}

void FlushIfLarge(std::string &out) {
  if (out.size() > (1 << 16))
    Flush(out);
}

void Flush(std::string &out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

} // namespace cli
