// pluvicam-cli: the headless tool over the core.
#include "ParticleCsv.h"
#include "data/CHydDataHandler.h"
#include "particle/ContourBuilder.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>

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
    if (!keepGoing || !handler.LastFailureInComputation())
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
  long long failures = 0;
  const int status = Walk(handler, keepGoing, failures, [&](CHydData &p, int32_t pos) {
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
  return status;
}

int Scan(const std::string &file) {
  CHydDataHandler handler;
  if (!OpenOrReport(handler, file))
    return EXIT_UNUSABLE;
  long long failures = 0, particles = 0;
  const auto start = std::chrono::steady_clock::now();
  const int status = Walk(handler, true, failures, [&](CHydData &, int32_t) { ++particles; });
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%lld particles, %lld failures, %.3f s, %.0f particles/s\n", particles, failures,
              seconds, seconds > 0 ? double(particles) / seconds : 0.0);
  return status;
}

} // namespace

int main(int argc, char **argv) {
  CLI::App app{"Headless Pluvicam: reads hydrometeor files (.hyd, .pix, .sno)"};
  app.require_subcommand(1);
  std::string file;
  bool keepGoing = false;

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
  auto *scan = app.add_subcommand("scan", "walk the file and report the speed");
  scan->add_option("FILE", file, "hydrometeor file")->required();

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
    return Particles(file, keepGoing, contours);
  }
  return Scan(file);
}
