// pluvicam-cli particles: one CSV row per particle, as the reader delivers them or, with document
// options, as the main window accepts them.
#include "CliCommon.h"
#include "CommandRegistry.h"
#include "ParticleCsv.h"
#include "particle/ContourBuilder.h"

#include <CLI/CLI.hpp>

namespace {

struct ContourOptions {
  bool enabled = false; // --contours given
  ContourMode mode = ContourMode::Raw;
  bool correct = false;    // --correction given: run the symmetric correction
  bool correction = false; // and apply its shear (on) or only measure it (off)
};

struct ParticlesArguments {
  std::string file;
  bool keepGoing = false;
  std::string contourMode, correction;
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

int Particles(const std::string &file, bool keepGoing, const ContourOptions &contours) {
  CHydDataHandler handler;
  if (!cli::OpenOrReport(handler, file))
    return cli::EXIT_UNUSABLE;
  std::string out = Columns(contours, false);
  CContour contourA, contourB;
  long long failures = 0, count = 0;
  const int status = cli::Walk(handler, keepGoing, failures, [&](CHydData &p, int32_t pos) {
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
    cli::FlushIfLarge(out);
  });
  cli::Flush(out);
  if (count == 0 && failures == 0)
    cli::ReportNoParticles(handler, file);
  return status;
}

int DocumentParticles(const std::string &file, const DocumentOptions &options,
                      const ContourOptions &contours, bool keepGoing) {
  cli::StderrMessages messages;
  auto doc = cli::OpenDocument(file, options, messages);
  if (!doc)
    return cli::EXIT_UNUSABLE;
  std::string out = Columns(contours, options.wind);
  const bool isSnow = doc->IsSno();
  const int status = cli::RunDocument(*doc, keepGoing, [&](HydRecord &record) {
    // Built again here for the failure text and for the particle panel's smoothed contours.
    int validA = 0, validB = 0;
    if (contours.enabled && !isSnow) {
      std::string message;
      doc->CreateContours(contours.mode, &message);
      doc->GetContour(Camera::A, &validA);
      doc->GetContour(Camera::B, &validB);
      if (!(validA && validB))
        std::cerr << record.startPos << ": " << message << "\n";
      else if (contours.correct)
        CorrectContours(*doc->GetContour(Camera::A), *doc->GetContour(Camera::B), record,
                        contours.correction);
    }
    csv::AppendParticle(out, record, isSnow);
    if (contours.enabled) {
      out += ',';
      if (validA && validB)
        csv::AppendContours(out, record, *doc->GetContour(Camera::A), *doc->GetContour(Camera::B),
                            contours.correct);
      else
        csv::AppendEmptyContours(out);
    }
    if (options.wind)
      cli::AppendWind(out, *doc);
    out += '\n';
    cli::FlushIfLarge(out);
  });
  cli::Flush(out);
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
  if (a.document.Any())
    return DocumentParticles(a.file, a.document, contours, a.keepGoing);
  return Particles(a.file, a.keepGoing, contours);
}

} // namespace

void AddParticlesCommand(CommandRegistry &registry) {
  auto a = std::make_shared<ParticlesArguments>();
  CLI::App &command =
      registry.Add("particles", "one CSV row per particle", [a] { return Run(*a); });
  command.add_option("FILE", a->file, "hydrometeor file")->required();
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
  AddDocumentOptions(command, a->document, true);
}
