#include "DsdCommand.h"

#include "ParticleCsv.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DsdIntegration.h"
#include "statistics/DsdMoments.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

constexpr int EXIT_STOPPED = 1;
constexpr int EXIT_UNUSABLE = 2;

class StderrMessages : public UserMessages {
public:
  void Show(const std::string &text) override { std::cerr << text << "\n"; }
};

bool ParseNumber(const std::string &text, double &value) {
  if (text.empty())
    return false;
  errno = 0;
  char *end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

// Sets the document's `dsdIntegration` from the options, with the limits of the integration
// dialog. False with `error` set.
bool ApplySettings(const DsdOptions &o, IntegrationSettings &s, std::string &error) {
  if (o.mode == "full")
    s.mode = FullTimeRange;
  else if (o.mode == "rain")
    s.mode = Rain;
  else if (o.mode == "objects")
    s.mode = Objects;
  else
    s.mode = Time;

  if (!o.deltaD.empty()) {
    double d = 0;
    const float widths[] = {0.05f, 0.1f, 0.15f, 0.2f, 0.25f};
    bool known = false;
    if (ParseNumber(o.deltaD, d))
      for (float w : widths)
        known = known || float(d) == w;
    if (!known) {
      error = "--delta-d: expected 0.05, 0.1, 0.15, 0.2 or 0.25 mm, got \"" + o.deltaD + "\"";
      return false;
    }
    s.deltaD = float(d);
  }

  if (o.interval.empty())
    return true;
  double v = 0;
  if (!ParseNumber(o.interval, v)) {
    error = "--interval: expected a number, got \"" + o.interval + "\"";
    return false;
  }
  switch (s.mode) {
  case FullTimeRange:
    error = "--interval: the full time range has no interval";
    return false;
  case Rain:
    if (float(v) < 0.05f || float(v) > 5.0f) {
      error = "--interval: Rain Integration Interval must be between 0.05 and 5 mm";
      return false;
    }
    s.rainInterval = float(v);
    return true;
  case Time:
    if (float(v) < 15.0f || float(v) > 43200.0f) {
      error = "--interval: Time Integration Interval must be between 15 and 43200 sec";
      return false;
    }
    s.timeInterval = float(v);
    return true;
  default:
    if (v != std::trunc(v) || v < 1 || v > 999999) {
      error = "--interval: NrDrops must be a whole number between 1 and 999999";
      return false;
    }
    s.dropCount = int32_t(v);
    return true;
  }
}

void AppendCell(std::string &out, double value) {
  char text[40];
  std::snprintf(text, sizeof text, ",%.9g", value);
  out += text;
}

void AppendOptional(std::string &out, const std::optional<double> &value) {
  if (value)
    AppendCell(out, *value);
  else
    out += ',';
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

std::string Header(const dsd::ClassGeometry &g, float deltaD, bool moments) {
  std::string out = "run,startTim,endTim,startTime,endTime,elapsed,collectedRain,count,"
                    "rainInterval,timeInterval,dropCount,result,ndMax,complete";
  for (int k = 0; k < g.count; ++k) {
    char text[32];
    std::snprintf(text, sizeof text, ",nd_%.2f", k * double(deltaD));
    out += text;
  }
  if (moments)
    out += ",Nt,W,Z,Dm,D0,Nw,mu,lambda";
  out += '\n';
  return out;
}

void AppendRow(std::string &out, int run, CPluvicamDoc &doc, const DsdInterval &r, bool moments) {
  const IntegrationState &st = *doc.GetIntegrationState();
  const IntegrationSettings &s = *doc.GetIntegrationSettings(1);
  char text[128];
  std::snprintf(text, sizeof text, "%d,%.17g,%.17g,", run, st.startTim, st.endTim);
  out += text;
  out += TimeText(doc, st.startTim);
  out += ',';
  out += TimeText(doc, st.endTim);
  if (r.normalised)
    AppendCell(out, r.seconds);
  else
    out += ',';
  AppendCell(out, r.rain);
  out += ',' + std::to_string(r.count);
  AppendCell(out, s.rainInterval);
  AppendCell(out, s.timeInterval);
  out += ',' + std::to_string(s.dropCount);
  AppendCell(out, s.result);
  if (r.normalised)
    AppendCell(out, r.ndMax);
  else
    out += ',';
  out += r.end == DsdInterval::Complete ? ",1" : ",0";
  for (int k = 0; k < r.geometry.count; ++k) {
    if (r.normalised)
      AppendCell(out, r.classes[size_t(k)]);
    else
      out += ',';
  }
  if (moments) {
    const DsdMoments m =
        r.normalised ? DsdMoments::Of(r.classes.data(), r.geometry.count, r.deltaD) : DsdMoments{};
    for (const auto *v : {&m.nt, &m.w, &m.z, &m.dm, &m.d0, &m.nw, &m.mu, &m.lambda})
      AppendOptional(out, *v);
  }
  out += '\n';
}

} // namespace

CLI::App *AddDsdCommand(CLI::App &app, DsdOptions &o) {
  auto *cmd = app.add_subcommand(
      "dsd", "the drop size distribution N(D), one CSV row per Run of the enlarged diagram");
  cmd->add_option("FILE", o.file, "hydrometeor file")->required();
  cmd->add_option("--mode", o.mode, "integration by time, rain, objects, or the full window")
      ->check(CLI::IsMember({"time", "rain", "objects", "full"}));
  cmd->add_option("--interval", o.interval,
                  "seconds (time, default 60), mm of rain (rain, default 0.05) or particles "
                  "(objects, default 500)");
  cmd->add_option("--delta-d", o.deltaD, "class width in mm: 0.05, 0.1, 0.15, 0.2, 0.25 (default)");
  cmd->add_option("--scale", o.scale, "diameter axis of 10, 20 or 50 mm: scale 1, 2 or 5")
      ->check(CLI::IsMember({1, 2, 5}));
  cmd->add_flag("--moments", o.moments, "append Nt, W, Z, Dm, D0, Nw, mu and lambda");
  AddDocumentOptions(*cmd, o.document, false);
  return cmd;
}

int RunDsdCommand(const DsdOptions &o) {
  FilterRecord filter;
  std::string error;
  if (!o.document.BuildFilter(filter, error)) {
    std::cerr << error << "\n";
    return EXIT_UNUSABLE;
  }
  // Without an end the window is the whole day as the settings give it.
  if (o.document.to.empty()) {
    filter.endTime = TimeOfDay{};
    filter.endTime.hour = 23;
    filter.endTime.minute = 59;
    filter.endTime.second = 59;
  }
  StderrMessages messages;
  auto doc = std::make_unique<CPluvicamDoc>(&messages);
  doc->SetFilterSettings(filter);
  doc->ResetIntegration(1);
  if (!ApplySettings(o, *doc->GetIntegrationSettings(1), error)) {
    std::cerr << error << "\n";
    return EXIT_UNUSABLE;
  }
  if (!doc->OpenHydFile(o.file, &error, true)) {
    std::cerr << error << "\n";
    return EXIT_UNUSABLE;
  }
  doc->SetViewFactor(uint16_t(o.scale));
  DsdIntegration::OpenAtWindowStart(*doc);
  DsdIntegration::InitialUpdate(*doc);

  const IntegrationSettings &s = *doc->GetIntegrationSettings(1);
  std::string out = Header(dsd::GeometryFor(s.deltaD, o.scale), s.deltaD, o.moments);
  DsdIntegration integration(*doc);
  integration.onBadRecord = [&](int32_t pos, const std::string &message) {
    std::cerr << pos << ": " << message << "\n";
  };
  int status = 0;
  for (int run = 1;; ++run) {
    const DsdInterval &r = integration.RunToEnd();
    if (r.end == DsdInterval::Failed || r.end == DsdInterval::NotStarted) {
      std::cerr << r.position << ": " << r.message << "\n";
      status = EXIT_STOPPED;
      break;
    }
    if (r.count > 0)
      AppendRow(out, run, *doc, r, o.moments);
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
    if (r.truncated) {
      std::cerr << r.position << ": " << r.message << "\n";
      status = EXIT_STOPPED;
      break;
    }
    // The full window is one Run; other modes go on until the data end inside a Run.
    if (s.mode == FullTimeRange || r.end != DsdInterval::Complete || r.count == 0)
      break;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
}
