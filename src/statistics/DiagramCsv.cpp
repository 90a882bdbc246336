#include "DiagramCsv.h"

#include "DsdInterval.h"
#include "DsdMoments.h"
#include "OblatenessHistogram.h"
#include "data/PartialFile.h"
#include "document/CPluvicamDoc.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace diagramcsv {

namespace {

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

} // namespace

std::string ClockText(double seconds) {
  if (!std::isfinite(seconds))
    return "";
  const bool negative = seconds < 0;
  const double s = std::min(std::abs(seconds), 1e12);
  const long long whole = (long long)s;
  const long long hundredths = (long long)(s * 100) % 100;
  char text[48];
  std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld.%02lld", negative ? "-" : "",
                whole / 3600, whole / 60 % 60, whole % 60, hundredths);
  return text;
}

std::string TimText(const CPluvicamDoc &doc, double tim) {
  TimeOfDay t;
  if (!doc.TimToTimeOfDay(tim, &t))
    return "";
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second,
                t.millisecond);
  return text;
}

const char *const RAIN_RATE_COLUMNS = "source,startSec,endSec,startTime,endTime,rainRate\n";

void AppendRainRateRow(std::string &out, const char *source, const RateSegment &s) {
  char row[160];
  std::snprintf(row, sizeof row, "%s,%.9g,%.9g,%s,%s,%.9g\n", source, s.startSec, s.endSec,
                ClockText(s.startSec).c_str(), ClockText(s.endSec).c_str(), s.rate);
  out += row;
}

std::string ShapeTable(const OblatenessHistogram &histogram) {
  std::string out = "bin,lower,upper,count\n";
  char line[96];
  for (int b = 0; b < OblatenessHistogram::BINS; ++b) {
    std::snprintf(line, sizeof line, "%d,%.2f,%.2f,%lld\n", b, b * 0.01, (b + 1) * 0.01,
                  static_cast<long long>(histogram.Count(b)));
    out += line;
  }
  return out;
}

std::string DsdHeader(const dsd::ClassGeometry &g, float deltaD, bool moments, bool removed) {
  std::string out = "run,startTim,endTim,startTime,endTime,elapsed,collectedRain,count,";
  if (removed)
    out += "removed,";
  out += "rainInterval,timeInterval,dropCount,result,ndMax,complete";
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

void AppendDsdRow(std::string &out, int run, CPluvicamDoc &doc, const DsdInterval &r, bool moments,
                  bool removed) {
  out += std::to_string(run) + ',';
  AppendDsdRowValues(out, doc, r, moments, removed);
}

void AppendDsdRowValues(std::string &out, CPluvicamDoc &doc, const DsdInterval &r, bool moments,
                        bool removed) {
  const IntegrationState &st = *doc.GetIntegrationState();
  const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  char text[128];
  std::snprintf(text, sizeof text, "%.17g,%.17g,", st.startTim, st.endTim);
  out += text;
  out += TimText(doc, st.startTim);
  out += ',';
  out += TimText(doc, st.endTim);
  if (r.normalised)
    AppendCell(out, r.seconds);
  else
    out += ',';
  AppendCell(out, r.rain);
  out += ',' + std::to_string(r.count);
  if (removed)
    out += ',' + std::to_string(r.removed);
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

const char *const DOT_COLUMNS = "time,position,tim,diameter,velocity,hVelA,hVelB,oblateness\n";

void AppendDot(std::string &out, const CPluvicamDoc &doc, const DiagramDot &dot) {
  char text[200];
  std::snprintf(text, sizeof text, "%s,%d,%.17g,%.9g,%.9g,%.9g,%.9g,%.9g\n",
                TimText(doc, dot.tim).c_str(), int(dot.position), dot.tim, double(dot.diameter),
                double(dot.velocity), double(dot.hVelA), double(dot.hVelB), double(dot.oblateness));
  out += text;
}

bool WriteTable(const std::string &path, const std::string &text, const OutputGuard &guard,
                std::string &error) {
  if (const std::string refusal = guard.Check(path); !refusal.empty()) {
    error = "Could not save the data " + path + ": " + refusal;
    return false;
  }
  PartialFile file;
  std::string why;
  if (!file.Create(path, &why) || !file.Write(text.data(), text.size(), &why) ||
      !file.Commit(&why)) {
    error = "Could not save the data " + path + ": " + why;
    return false;
  }
  return true;
}

} // namespace diagramcsv
