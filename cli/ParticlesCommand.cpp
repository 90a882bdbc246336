// pluvicam-cli particles: one CSV row per particle, as the reader delivers them or, with document
// options, as the main window accepts them; or the same table as a compressed netCDF file.
// Several files form one table in the order of their first main header's time.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "ParticleCsv.h"
#include "ProgressLine.h"
#include "SeriesFiles.h"
#include "particle/ContourBuilder.h"
#include "statistics/ParallelStreams.h"
#include "statistics/ParticleNetcdfWriter.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <utility>

namespace {

struct ContourOptions {
  bool enabled = false; // --contours given
  ContourMode mode = ContourMode::Raw;
  bool correct = false;    // --correction given: run the symmetric correction
  bool correction = false; // and apply its shear (on) or only measure it (off)
};

struct ParticlesArguments {
  std::vector<std::string> files;
  std::string netcdf; // the particle table; CSV on standard output when empty
  bool keepGoing = false;
  std::string contourMode, correction;
  int jobs = 1; // files read at the same time
  DocumentOptions document;
};

std::string Columns(const ContourOptions &contours, bool wind) {
  std::string out = csv::ParticleHeader();
  if (contours.enabled) {
    out += ',';
    out += csv::CONTOUR_COLUMNS;
  }
  if (wind)
    out += ",windSpeed,windDirection,temperature";
  out += '\n';
  return out;
}

// Particles of a file read on a worker thread, handed to the output together: their CSV text or
// the table's values, and the messages that came with them.
struct ParticleBatch {
  std::string text;
  std::vector<double> values; // particle after particle
  int64_t rows = 0;
  std::string errors;
};

// Where the particles go: CSV text on standard output or the netCDF table; or, for a file read
// on a worker thread, the same text or the table's values in batches handed to the output.
class ParticleSink {
public:
  enum class Target { Output, Batches };
  // Particles per batch: small enough for memory, large enough to hand on rarely.
  static constexpr int64_t BATCH = 16384;

  ParticleSink(const ParticlesArguments &a, const ContourOptions &contours, bool wind,
               const OutputGuard &guard, Target target = Target::Output,
               std::function<void(ParticleBatch &&)> emit = {})
      : a(a), contours(contours), wind(wind), guard(guard), target(target), emit(std::move(emit)) {
    layout.contours = contours.enabled;
    layout.wind = wind;
  }

  // False with `error` set: nothing can be written.
  bool Begin(std::string &error) {
    if (target == Target::Batches)
      return true;
    if (a.netcdf.empty()) {
      out = Columns(contours, wind);
      return true;
    }
    return writer.Create(a.netcdf, layout, guard, &error);
  }
  // One particle; `a` and `b` its contours when they were built.
  void Add(const HydRecord &r, bool isSnow, const CContour *a, const CContour *b,
           const WindRecord *reading) {
    if (failed)
      return;
    if (this->a.netcdf.empty())
      AddToText(r, isSnow, a, b, reading);
    else
      AddToTable(r, isSnow, a, b, reading);
    if (target == Target::Batches && rows - emitted >= BATCH)
      Emit();
  }
  // A batch sink: hands on what it holds.
  void Emit() {
    ParticleBatch batch;
    batch.text.swap(out);
    batch.values.swap(values);
    batch.rows = rows - emitted;
    emitted = rows;
    emit(std::move(batch));
  }
  // A batch from a worker, written out here; its text is used up.
  void Take(ParticleBatch &batch) {
    if (failed)
      return;
    if (a.netcdf.empty()) {
      cli::Flush(out);
      cli::Flush(batch.text);
      return;
    }
    const std::size_t count = std::size_t(batch.rows);
    const std::size_t width = count > 0 ? batch.values.size() / count : 0;
    for (std::size_t k = 0; k < count && !failed; ++k)
      failed = !writer.AppendValues(batch.values.data() + k * width, &error);
  }
  int64_t Rows() const { return rows; }
  bool Failed() const { return failed; }
  // False with `error` set.
  bool End(std::string &error) {
    if (failed)
      return false;
    if (!writer.IsOpen()) {
      cli::Flush(out);
      return true;
    }
    return writer.Finish(&error);
  }
  const std::string &Error() const { return error; }

private:
  void AddToText(const HydRecord &r, bool isSnow, const CContour *a, const CContour *b,
                 const WindRecord *reading) {
    csv::AppendParticle(out, r, isSnow);
    if (contours.enabled) {
      out += ',';
      if (a && b)
        csv::AppendContours(out, r, *a, *b, contours.correct);
      else
        csv::AppendEmptyContours(out);
    }
    if (wind)
      cli::AppendWind(out, reading);
    out += '\n';
    ++rows;
    if (target == Target::Output)
      cli::FlushIfLarge(out);
  }

  void AddToTable(const HydRecord &r, bool isSnow, const CContour *a, const CContour *b,
                  const WindRecord *reading) {
    ParticleContourCells cells;
    if (a && b) {
      const CContour::CorrectionComputed knownA = a->GetCorrectionComputed();
      const CContour::CorrectionComputed knownB = b->GetCorrectionComputed();
      cells = {a->GetCount(), b->GetCount(), contours.correct, knownA.sizes,
               knownA.rms,    knownB.sizes,  knownB.rms};
    }
    ParticleWindCells windCells;
    if (reading)
      windCells = {reading->windSpeed / 100.0, double(reading->windDirection),
                   reading->temperature / 100.0};
    ++rows;
    if (target == Target::Batches)
      ParticleNetcdfWriter::Values(layout, r, isSnow, a && b ? &cells : nullptr,
                                   reading ? &windCells : nullptr, values);
    else
      failed = !writer.Append(r, isSnow, a && b ? &cells : nullptr, reading ? &windCells : nullptr,
                              &error);
  }

  const ParticlesArguments &a;
  const ContourOptions &contours;
  bool wind;
  OutputGuard guard;
  Target target;
  ParticleNetcdfWriter::Layout layout;
  std::string out;
  ParticleNetcdfWriter writer;
  std::function<void(ParticleBatch &&)> emit;
  std::vector<double> values; // of a batch, particle after particle
  int64_t rows = 0;
  int64_t emitted = 0; // rows handed on in batches
  bool failed = false;
  std::string error;
};

// The particles of one file as the reader delivers them.
int Particles(const std::string &file, bool keepGoing, const ContourOptions &contours,
              ParticleSink &sink, const std::function<void(double, int64_t)> &progress,
              std::ostream &errors) {
  CHydDataHandler handler;
  if (!cli::OpenOrReport(handler, file, errors))
    return cli::EXIT_UNUSABLE;
  CContour contourA, contourB;
  long long failures = 0, count = 0;
  const int32_t length = handler.GetHydFile().GetLength();
  const int status = cli::Walk(
      handler, keepGoing, failures,
      [&](CHydData &p, int32_t pos) {
        ++count;
        HydRecord &record = *p.GetHydHeader();
        bool built = false;
        if (contours.enabled && !p.IsSnow()) {
          std::string message;
          built = BuildContours(EdgesOf(static_cast<CRainData &>(p)), record, contours.mode,
                                contourA, contourB, &message) == 1;
          if (!built)
            errors << pos << ": " << message << "\n";
          else if (contours.correct)
            CorrectContours(contourA, contourB, record, contours.correction);
        }
        sink.Add(record, p.IsSnow(), built ? &contourA : nullptr, built ? &contourB : nullptr,
                 nullptr);
        if ((count & 4095) == 0 && length > 0)
          progress(double(pos) / length, count);
      },
      errors);
  if (count == 0 && failures == 0)
    cli::ReportNoParticles(handler, file, errors);
  return status;
}

// The particles of one file as the main window accepts them.
int DocumentParticles(const std::string &file, const DocumentOptions &options,
                      const ContourOptions &contours, bool keepGoing, ParticleSink &sink,
                      const std::function<void(double, int64_t)> &progress, std::ostream &errors) {
  cli::StreamMessages messages(errors);
  auto doc = cli::OpenDocument(file, options, messages);
  if (!doc)
    return cli::EXIT_UNUSABLE;
  const bool isSnow = doc->IsSno();
  int64_t count = 0;
  const int status = cli::RunDocument(
      *doc, keepGoing,
      [&](HydRecord &record) {
        // Built again here for the failure text and for the particle panel's smoothed contours.
        int validA = 0, validB = 0;
        if (contours.enabled && !isSnow) {
          std::string message;
          doc->CreateContours(contours.mode, &message);
          doc->GetContour(Camera::A, &validA);
          doc->GetContour(Camera::B, &validB);
          if (!(validA && validB))
            errors << record.startPos << ": " << message << "\n";
          else if (contours.correct)
            CorrectContours(*doc->GetContour(Camera::A), *doc->GetContour(Camera::B), record,
                            contours.correction);
        }
        const bool built = validA && validB;
        WindRecord wind;
        const bool windRead = options.wind && doc->GetWindData(&wind);
        sink.Add(record, isSnow, built ? doc->GetContour(Camera::A) : nullptr,
                 built ? doc->GetContour(Camera::B) : nullptr, windRead ? &wind : nullptr);
        if ((++count & 4095) == 0 && doc->GetFileLength() > 0)
          progress(double(doc->GetFilePosition()) / doc->GetFileLength(), count);
      },
      errors);
  return status;
}

int Run(const ParticlesArguments &a) {
  ContourOptions contours;
  contours.enabled = !a.contourMode.empty();
  contours.mode = a.contourMode == "smooth" ? ContourMode::SmoothWithRawFallback : ContourMode::Raw;
  contours.correct = !a.correction.empty();
  contours.correction = a.correction == "on";
  if (contours.correct && !contours.enabled) {
    std::cerr << "--correction needs --contours\n";
    return cli::EXIT_UNUSABLE;
  }
  OutputGuard guard;
  for (const std::string &file : a.files)
    guard.AddDataFile(file);
  std::string error;
  if (!a.netcdf.empty())
    if (const std::string refusal = guard.Check(a.netcdf); !refusal.empty()) {
      std::cerr << "Could not write " << a.netcdf << ": " << refusal << "\n";
      return cli::EXIT_UNUSABLE;
    }
  FilterRecord checked;
  if (a.document.Any() && !a.document.BuildFilter(checked, error)) {
    std::cerr << error << "\n";
    return cli::EXIT_UNUSABLE;
  }
  cli::StderrMessages messages;
  // One file is read as it is named; several in the order of their times, each once.
  SeriesFiles series;
  if (a.files.size() == 1)
    series.files = a.files;
  else
    series = SeriesFiles::Order(a.files, messages);
  ParticleSink sink(a, contours, a.document.wind, guard);
  if (!sink.Begin(error)) {
    std::cerr << error << "\n";
    return cli::EXIT_UNUSABLE;
  }
  ProgressLine progress;
  int64_t before = 0; // particles of the files already read
  int status = series.complete ? cli::EXIT_OK : cli::EXIT_STOPPED;
  bool anyOpened = false;
  const std::size_t files = series.files.size();
  auto read = [&](std::size_t i, ParticleSink &into, std::ostream &errors,
                  const std::function<void(double, int64_t)> &show) {
    return a.document.Any() ? DocumentParticles(series.files[i], a.document, contours, a.keepGoing,
                                                into, show, errors)
                            : Particles(series.files[i], a.keepGoing, contours, into, show, errors);
  };
  auto account = [&](int fileStatus) {
    anyOpened = anyOpened || fileStatus != cli::EXIT_UNUSABLE;
    if (fileStatus != cli::EXIT_OK)
      status = std::max(status, fileStatus == cli::EXIT_UNUSABLE && files > 1 ? cli::EXIT_STOPPED
                                                                              : fileStatus);
  };
  if (a.jobs <= 1 || files <= 1) {
    // One file after the other on this thread, each particle written as it comes.
    for (std::size_t i = 0; i < files && !sink.Failed(); ++i) {
      int64_t inFile = 0;
      const int fileStatus = read(i, sink, std::cerr, [&](double fraction, int64_t count) {
        inFile = count;
        progress.Update(i + 1, files, fraction, before + count);
      });
      progress.Clear();
      before += inFile;
      account(fileStatus);
    }
  } else {
    // Each file read by its own worker and handed here in batches with its messages, written in
    // the series' order as one thread would have written them.
    struct FileEnd {
      int status = 0;
      std::string errors;
    };
    const auto show = [&](std::size_t i, double fraction, const std::string &errors) {
      progress.Clear();
      std::cerr << errors << std::flush;
      progress.Update(i + 1, files, fraction, before, true);
    };
    // Batches a file may hold before its worker waits. The text is made on the workers and
    // only written here, so text held ahead lets the workers of later files go on: up to
    // TEXT_BATCHES_HELD batches in all (about 0.5 GB). The table's values are compressed here on
    // every core, which sets the pace, so more of them held would only cost memory.
    using Streams = ParallelStreams<ParticleBatch, FileEnd>;
    constexpr std::size_t TEXT_BATCHES_HELD = 128;
    const std::size_t held =
        a.netcdf.empty() ? std::max<std::size_t>(4, TEXT_BATCHES_HELD / Streams::FilesAhead(a.jobs))
                         : 4;
    Streams::Run(
        files, a.jobs, held,
        [&](std::size_t i, const auto &emit) {
          std::ostringstream errors;
          ParticleSink batches(a, contours, a.document.wind, guard, ParticleSink::Target::Batches,
                               [&](ParticleBatch &&batch) {
                                 batch.errors = errors.str();
                                 errors.str("");
                                 emit(std::move(batch));
                               });
          FileEnd end;
          end.status = read(i, batches, errors, [](double, int64_t) {});
          batches.Emit();
          end.errors = errors.str();
          return end;
        },
        [&](std::size_t i, ParticleBatch &batch) {
          sink.Take(batch);
          before += batch.rows;
          show(i, 0.0, batch.errors);
          return !sink.Failed();
        },
        [&](std::size_t i, FileEnd &end) {
          show(i, 1.0, end.errors);
          account(end.status);
          return !sink.Failed();
        });
    progress.Clear();
  }
  if (sink.Failed()) {
    std::cerr << sink.Error() << "\n";
    return cli::EXIT_STOPPED;
  }
  if (!anyOpened)
    return cli::EXIT_UNUSABLE;
  if (!sink.End(error)) {
    std::cerr << error << "\n";
    return cli::EXIT_STOPPED;
  }
  return status;
}

} // namespace

void AddParticlesCommand(CommandRegistry &registry) {
  auto a = std::make_shared<ParticlesArguments>();
  CLI::App &command =
      registry.Add("particles", "one CSV row per particle", [a] { return Run(*a); });
  command
      .add_option("FILE", a->files,
                  "hydrometeor files, taken in the order of their first main header's time")
      ->required();
  command.add_option("--netcdf", a->netcdf,
                     "write the particles as a compressed CF netCDF-4 table instead of CSV");
  command.add_flag("--keep-going", a->keepGoing, "go on after a particle whose computation failed");
  command
      .add_option("--contours", a->contourMode,
                  "build each rain particle's contours: raw, or smooth (raw where smoothing "
                  "fails)")
      ->check(CLI::IsMember({"raw", "smooth"}));
  command
      .add_option("--correction", a->correction,
                  "run the symmetric correction with its shear applied (on) or only measured "
                  "(off)")
      ->check(CLI::IsMember({"on", "off"}));
  AddJobsOption(command, a->jobs);
  AddDocumentOptions(command, a->document, true);
}
