// pluvicam-cli: the headless tool over the core.
#include "CalibrateCommand.h"
#include "DocumentOptions.h"
#include "DsdCommand.h"
#include "ExportCommand.h"
#include "ParticleCsv.h"
#include "RainRateCommand.h"
#include "ShapeCommand.h"
#include "data/CHydDataHandler.h"
#include "data/RecordFraming.h"
#include "document/CPluvicamDoc.h"
#include "document/DocumentRun.h"
#include "particle/CHydData.h"
#include "particle/ContourBuilder.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <limits>
#include <memory>

namespace {

struct ContourOptions {
  bool enabled = false; // --contours given
  ContourMode mode = ContourMode::Raw;
  bool correct = false;    // --correction given: run the symmetric correction
  bool correction = false; // and apply its shear (on) or only measure it (off)
};

// Exit statuses: 0 the walk reached the end, 1 a failure stopped it, 2 no file or bad arguments.
constexpr int EXIT_STOPPED = 1;
constexpr int EXIT_UNUSABLE = 2;

bool OpenOrReport(CHydDataHandler &handler, const std::string &file) {
  CHydException e;
  if (handler.Open(file, CInputFile::modeRead, &e))
    return true;
  std::cerr << e.message << "\n";
  return false;
}

// A file without particles is not an error, but it must not look like a short day either.
void ReportNoParticles(CHydDataHandler &handler, const std::string &file) {
  if (handler.GetHydFile().GetLength() == 0)
    std::cerr << file << ": the data file is empty\n";
  else
    std::cerr << file << ": the data file holds no particle\n";
}

// Walks the file from position 0 with GetNextHydData. `onParticle` sees every delivered
// particle. Returns the exit status; failures are written to standard error as "POS: MESSAGE".
template <typename OnParticle>
int Walk(CHydDataHandler &handler, bool keepGoing, long long &failures, OnParticle onParticle) {
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
    std::cerr << pos << ": " << e.message << "\n";
    // A failure of the particle computation leaves the stream framed: go on behind the record.
    if (!keepGoing || !handler.LastFailureInComputation() ||
        e.code != CHydException::badRecordLength)
      return EXIT_STOPPED;
    handler.SetHydFilePosition(handler.RecordEndAfterFailure(), &e);
  }
}

int Info(const std::string &file) {
  CHydDataHandler handler;
  if (!OpenOrReport(handler, file))
    return EXIT_UNUSABLE;
  std::printf("file: %s\n", handler.GetHydFile().GetFileName().c_str());
  std::printf("kind: %s\n", handler.IsSno() ? "snow" : "rain");
  std::printf("format: %d\n", handler.GetFormat());
  std::printf("length: %d bytes\n", handler.GetHydFile().GetLength());
  int minutes = 0;
  for (int m = 1; m <= HeaderInfo::SLOTS; ++m)
    minutes += handler.GetHeaderInfo().GetMinutePosition(m) != -1;
  std::printf("indexed minutes: %d\n", minutes);
  std::printf("main headers: %zu\n", handler.GetTimeIndex().size());
  for (const MainTimEntry &entry : handler.GetTimeIndex()) {
    const MainHeader &h = entry.mainHeader;
    const int seconds = h.time % 86400;
    std::printf("  %02d:%02d:%02d  %.14s  %.6f lines/s  scales %.4f/%.4f mm  planes "
                "%.3f/%.3f/%.3f mm\n",
                seconds / 3600, seconds / 60 % 60, seconds % 60, h.ident, h.lineFrequency, h.scaleA,
                h.scaleB, h.planeDistance1, h.planeDistance2, h.planeDistance3);
  }
  long long failures = 0, particles = 0;
  double rain = 0;
  const int status = Walk(handler, true, failures, [&](CHydData &p, int32_t) {
    const HydRecord &r = *p.GetHydHeader();
    ++particles;
    if (r.area > 0)
      rain += r.volume / r.area;
  });
  if (particles == 0 && failures == 0)
    ReportNoParticles(handler, file);
  std::printf("particles: %lld\n", particles);
  std::printf("failures: %lld\n", failures);
  std::printf("rain: %.2f mm\n", rain);
  return status;
}

int Particles(const std::string &file, bool keepGoing, const ContourOptions &contours) {
  CHydDataHandler handler;
  if (!OpenOrReport(handler, file))
    return EXIT_UNUSABLE;
  std::string out = csv::PARTICLE_COLUMNS;
  if (contours.enabled) {
    out += ',';
    out += csv::CONTOUR_COLUMNS;
  }
  out += '\n';
  CContour contourA, contourB;
  long long failures = 0, count = 0;
  const int status = Walk(handler, keepGoing, failures, [&](CHydData &p, int32_t pos) {
    ++count;
    HydRecord &record = *p.GetHydHeader();
    if (!contours.enabled) {
      csv::AppendParticle(out, record, p.IsSnow());
    } else {
      bool built = false;
      if (!p.IsSnow()) {
        std::string message;
        built = BuildContours(EdgesOf(static_cast<CRainData &>(p)), record, contours.mode, contourA,
                              contourB, &message) == 1;
        if (!built)
          std::cerr << pos << ": " << message << "\n";
        else if (contours.correct)
          CorrectContours(contourA, contourB, record, contours.correction);
      }
      csv::AppendParticle(out, record, p.IsSnow());
      out += ',';
      if (built)
        csv::AppendContours(out, record, contourA, contourB, contours.correct);
      else
        csv::AppendEmptyContours(out);
    }
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  });
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (count == 0 && failures == 0)
    ReportNoParticles(handler, file);
  return status;
}

// The document's message boxes, on standard error.
class StderrMessages : public UserMessages {
public:
  void Show(const std::string &text) override { std::cerr << text << "\n"; }
};

// Opens `file` in a document with `filter`. Null after reporting the failure.
std::unique_ptr<CPluvicamDoc> OpenDocument(const std::string &file, const FilterRecord &filter,
                                           UserMessages &messages, bool readOnly = true) {
  std::string error;
  auto doc = std::make_unique<CPluvicamDoc>(&messages);
  doc->SetFilterSettings(filter);
  if (!doc->OpenHydFile(file, &error, readOnly)) {
    std::cerr << error << "\n";
    return nullptr;
  }
  return doc;
}

// Opens `file` with the filter the options describe. Null after reporting the failure.
std::unique_ptr<CPluvicamDoc> OpenDocument(const std::string &file, const DocumentOptions &options,
                                           UserMessages &messages) {
  FilterRecord filter;
  std::string error;
  if (!options.BuildFilter(filter, error)) {
    std::cerr << error << "\n";
    return nullptr;
  }
  return OpenDocument(file, filter, messages);
}

// Runs the main window's loop to its end; `onParticle` sees every accepted particle after the
// document has taken its wind reading and rain. Returns the exit status.
template <typename OnParticle>
int RunDocument(CPluvicamDoc &doc, bool keepGoing, OnParticle onParticle) {
  for (;;) {
    const RunStepResult step = StepDocument(doc);
    if (step.status == CPluvicamDoc::statusAccepted)
      onParticle(*doc.GetHydHeader());
    if (!step.stop)
      continue;
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
      // The document stands behind a record whose computation failed.
      if (keepGoing && doc.GetHandler()->LastFailureInComputation())
        continue;
      return EXIT_STOPPED;
    default: // errors were shown by the step itself
      return EXIT_STOPPED;
    }
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

int DocumentParticles(const std::string &file, const DocumentOptions &options,
                      const ContourOptions &contours, bool keepGoing) {
  StderrMessages messages;
  auto doc = OpenDocument(file, options, messages);
  if (!doc)
    return EXIT_UNUSABLE;
  std::string out = csv::PARTICLE_COLUMNS;
  if (contours.enabled) {
    out += ',';
    out += csv::CONTOUR_COLUMNS;
  }
  if (options.wind)
    out += ",windSpeed,windDirection,temperature";
  out += '\n';
  const bool isSnow = doc->IsSno();
  const int status = RunDocument(*doc, keepGoing, [&](HydRecord &record) {
    // Built again here for the failure text and for the particle panel's smoothed contours.
    int validA = 0, validB = 0;
    if (contours.enabled && !isSnow) {
      std::string message;
      doc->CreateContours(contours.mode == ContourMode::SmoothWithRawFallback ? 1 : 0, &message);
      doc->GetContour(0, &validA);
      doc->GetContour(1, &validB);
      if (!(validA && validB))
        std::cerr << record.startPos << ": " << message << "\n";
      else if (contours.correct)
        CorrectContours(*doc->GetContour(0), *doc->GetContour(1), record, contours.correction);
    }
    csv::AppendParticle(out, record, isSnow);
    if (contours.enabled) {
      out += ',';
      if (validA && validB)
        csv::AppendContours(out, record, *doc->GetContour(0), *doc->GetContour(1),
                            contours.correct);
      else
        csv::AppendEmptyContours(out);
    }
    if (options.wind)
      AppendWind(out, *doc);
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  });
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
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

int RainSteps(const std::string &file, const DocumentOptions &options, bool keepGoing) {
  StderrMessages messages;
  auto doc = OpenDocument(file, options, messages);
  if (!doc)
    return EXIT_UNUSABLE;
  double rain = 0;
  const int status = RunDocument(*doc, keepGoing, [&](HydRecord &record) {
    if (record.area > 0)
      rain += double(record.volume / record.area);
  });
  std::string out = "startTim,endTim,duration,complete,startTime,endTime\n";
  const auto &list = doc->GetRateList();
  for (auto entry = list.rbegin(); entry != list.rend(); ++entry) {
    csv::AppendFloat(out, entry->startTim);
    out += ',';
    // An open interval has no end yet.
    if (entry->complete)
      csv::AppendFloat(out, entry->endTim);
    out += ',';
    csv::AppendFloat(out, entry->duration);
    out += ',';
    csv::AppendInt(out, entry->complete);
    out += ',';
    out += TimeText(*doc, entry->startTim);
    out += ',';
    if (entry->complete)
      out += TimeText(*doc, entry->endTim);
    out += '\n';
  }
  char total[64];
  std::snprintf(total, sizeof total, "total rain: %.4f mm\n", rain);
  out += total;
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
}

const char *ClassName(int dropType) {
  static const char *const names[] = {"not class.", "rain",   "melting", "snow",
                                      "hail",       "manual", "invalid"};
  return dropType >= 0 && dropType <= 6 ? names[dropType] : "?";
}

int Classify(const std::string &file, int32_t position, int dropType) {
  StderrMessages messages;
  // The whole day and no limits but the valid pixels: any particle the user can point at.
  FilterRecord filter;
  filter.endTime.hour = 24;
  filter.diamMin = filter.velMin = filter.oblMin = -std::numeric_limits<float>::max();
  filter.diamMax = filter.velMax = filter.oblMax = std::numeric_limits<float>::max();
  filter.minPixA = filter.minPixB = std::numeric_limits<int16_t>::min();
  filter.maxPixA = filter.maxPixB = std::numeric_limits<int16_t>::max();
  auto doc = OpenDocument(file, filter, messages, false);
  if (!doc)
    return EXIT_UNUSABLE;
  // A position inside a record may parse as a particle too; only a record start is one.
  std::string framing;
  if (IsParticleRecordStart(doc->GetHandler()->GetHydFile(), position, &framing) != 1) {
    std::cerr << "POS is not the start of a particle record: " << position << "\n";
    return EXIT_STOPPED;
  }
  CHydException e;
  if (doc->GetHandler()->SetHydFilePosition(position, &e) < 0) {
    std::cerr << e.message << "\n";
    return EXIT_STOPPED;
  }
  int status = 0;
  std::string message;
  CHydData *particle = doc->ReadHydData(0, &status, &message);
  // Only a particle record starting exactly at POS is the one asked for; never write elsewhere.
  if (!particle || particle->GetHydHeader()->startPos != position) {
    std::cerr << (message.empty() ? "no particle record begins at " + std::to_string(position)
                                  : message)
              << "\n";
    return EXIT_STOPPED;
  }
  if (status != CPluvicamDoc::statusAccepted) {
    std::cerr << "the particle at " << position
              << " lies outside the valid pixels; its class is not written\n";
    return EXIT_STOPPED;
  }
  const int oldClass = particle->GetHydHeader()->dropType;
  if (!doc->SetNewParticleClass(dropType, &message)) {
    std::cerr << message << "\n";
    return EXIT_STOPPED;
  }
  const int newClass = particle->GetHydHeader()->dropType;
  std::printf("old class: %d (%s)\nnew class: %d (%s)\n", oldClass, ClassName(oldClass), newClass,
              ClassName(newClass));
  return 0;
}

int Scan(const std::string &file) {
  CHydDataHandler handler;
  if (!OpenOrReport(handler, file))
    return EXIT_UNUSABLE;
  long long failures = 0, particles = 0;
  // Processor time of this process: the figure that stays meaningful on a shared machine.
  auto cpuSeconds = [] {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  };
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  const int status = Walk(handler, true, failures, [&](CHydData &, int32_t) { ++particles; });
  const double seconds = cpuSeconds() - cpuStart;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  std::printf("%lld particles, %lld failures, %.3f s of processor time (%.3f s elapsed), %.0f "
              "particles/s\n",
              particles, failures, seconds, wall, seconds > 0 ? double(particles) / seconds : 0.0);
  return status;
}

} // namespace

int main(int argc, char **argv) {
  CLI::App app{"Headless Pluvicam: reads hydrometeor files (.hyd, .pix, .sno)"};
  app.require_subcommand(1);
  std::string file;
  bool keepGoing = false;
  DocumentOptions docOptions;
  int32_t position = 0;
  int dropType = 0;

  auto *info = app.add_subcommand("info", "the file's headers, particle count and rain total");
  info->add_option("FILE", file, "hydrometeor file")->required();
  auto *particles = app.add_subcommand("particles", "one CSV row per particle");
  particles->add_option("FILE", file, "hydrometeor file")->required();
  particles->add_flag("--keep-going", keepGoing, "go on after a particle whose computation failed");
  std::string contourMode, correction;
  particles
      ->add_option("--contours", contourMode,
                   "build each rain particle's contours: raw, or smooth (raw where smoothing "
                   "fails)")
      ->check(CLI::IsMember({"raw", "smooth"}));
  particles
      ->add_option("--correction", correction,
                   "run the symmetric correction with its shear applied (on) or only measured "
                   "(off)")
      ->check(CLI::IsMember({"on", "off"}));
  AddDocumentOptions(*particles, docOptions, true);
  auto *rainsteps =
      app.add_subcommand("rainsteps", "the rain-rate intervals of 0.1 mm, as the main window runs");
  rainsteps->add_option("FILE", file, "hydrometeor file")->required();
  rainsteps->add_flag("--keep-going", keepGoing, "go on after a particle whose computation failed");
  AddDocumentOptions(*rainsteps, docOptions, false);
  RainRateOptions rainRateOptions;
  auto *rainrate = AddRainRateCommand(app, file, rainRateOptions);
  auto *classify = app.add_subcommand("classify", "write a particle's class into the file");
  classify->add_option("FILE", file, "hydrometeor file")->required();
  classify->add_option("POS", position, "position of the particle record (startPos)")->required();
  classify
      ->add_option("CLASS", dropType,
                   "0 not class., 1 rain, 2 melting, 3 snow, 4 hail, "
                   "5 manual, 6 invalid")
      ->required();
  ExportOptions exportOptions;
  CLI::App *exportCmd = AddExportCommand(app, exportOptions);
  DsdOptions dsdOptions;
  CLI::App *dsd = AddDsdCommand(app, dsdOptions);
  auto *scan = app.add_subcommand("scan", "walk the file and report the speed");
  scan->add_option("FILE", file, "hydrometeor file")->required();
  CalibrateCommand calibrateCommand;
  auto *calibrate = calibrateCommand.Add(app);
  ShapeCommand shapeCommand;
  auto *shape = shapeCommand.Add(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : EXIT_UNUSABLE;
  }
  if (*info)
    return Info(file);
  if (*particles) {
    ContourOptions contours;
    contours.enabled = !contourMode.empty();
    contours.mode = contourMode == "smooth" ? ContourMode::SmoothWithRawFallback : ContourMode::Raw;
    contours.correct = !correction.empty();
    contours.correction = correction == "on";
    if (contours.correct && !contours.enabled) {
      std::cerr << "--correction needs --contours\n";
      return EXIT_UNUSABLE;
    }
    if (docOptions.Any())
      return DocumentParticles(file, docOptions, contours, keepGoing);
    return Particles(file, keepGoing, contours);
  }
  if (*rainsteps)
    return RainSteps(file, docOptions, keepGoing);
  if (*rainrate)
    return RainRateCommand(file, rainRateOptions);
  if (*classify)
    return Classify(file, position, dropType);
  if (*calibrate)
    return calibrateCommand.Run();
  if (*shape)
    return shapeCommand.Run();
  if (*exportCmd)
    return RunExport(exportOptions);
  if (*dsd) {
    for (int i = 0; i < argc; ++i)
      dsdOptions.commandLine += (i ? " " : "") + std::string(argv[i]);
    return RunDsdCommand(dsdOptions);
  }
  return Scan(file);
}
