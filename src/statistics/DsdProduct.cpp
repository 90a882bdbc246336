#include "DsdProduct.h"

#include "DsdMoments.h"
#include "document/CPluvicamDoc.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

std::string Ident(const MainHeader &h) {
  std::string text;
  for (char c : h.ident)
    text += (c >= 0x20 && c < 0x7f) ? c : '?';
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  while (!text.empty() && text.front() == ' ')
    text.erase(text.begin());
  return text;
}

std::string Clock(const TimeOfDay &t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

} // namespace

std::string UtcStamp(long long seconds) {
  const std::time_t t = std::time_t(seconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm))
    return "";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

DsdProductLayout MakeDsdProductLayout(CPluvicamDoc &doc, bool moments, const std::string &history) {
  DsdProductLayout layout;
  const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  const dsd::ClassGeometry g = dsd::GeometryFor(s.deltaD, doc.GetViewFactor());
  layout.classCount = g.count;
  layout.deltaD = double(s.deltaD);
  layout.moments = moments;

  auto text = [&](const char *name, const std::string &value) {
    layout.attributes.emplace_back(name, value);
  };
  auto number = [&](const char *name, double value) {
    layout.attributes.emplace_back(name, value);
  };
  text("title", "Drop size distribution N(D) and integral rain quantities");
  const MainHeader *h = doc.FirstMainHeader();
  text("source", "two-camera line-scan precipitation instrument" +
                     (h ? ", ident \"" + Ident(*h) + "\"" : std::string()));
  text("history", history);
  text("institution", "");
  switch (s.mode) {
  case IntegrationMode::FullTimeRange:
    text("integration_mode", "full time range");
    break;
  case IntegrationMode::Rain:
    text("integration_mode", "rain");
    number("integration_rain_mm", s.rainInterval);
    break;
  case IntegrationMode::Time:
    text("integration_mode", "time");
    number("integration_time_s", s.timeInterval);
    break;
  case IntegrationMode::Objects:
    text("integration_mode", "particles");
    number("integration_particles", s.dropCount);
    break;
  }
  number("diameter_class_width_mm", s.deltaD);
  number("diameter_scale", doc.GetViewFactor());
  text("time_window", Clock(doc.GetFilter().startTime) + "-" + Clock(doc.GetFilter().endTime));
  const VelocityQc &qc = doc.GetFilter().velocityQc;
  if (qc.On() && doc.IsSno())
    text("velocity_qc", "off: it does not apply to snow");
  else
    text("velocity_qc", qc.Description());
  if (h) {
    text("sensor_name", Ident(*h));
    text("instrument_ident", Ident(*h));
    number("line_frequency_hz", h->lineFrequency);
    number("scale_a_mm_per_pixel", h->scaleA);
    number("scale_b_mm_per_pixel", h->scaleB);
  }
  return layout;
}

DsdProductRow MakeDsdProductRow(CPluvicamDoc &doc, const DsdInterval &r, bool moments) {
  DsdProductRow row;
  const IntegrationState &st = *doc.GetIntegrationState();
  const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  // Times of day in camera lines count from the midnight (UTC) of the file's first main header.
  const MainHeader *first = doc.FirstMainHeader();
  double midnight = 0, lf = 0;
  if (first) {
    midnight = std::floor(double(first->time) / 86400.0) * 86400.0;
    lf = first->lineFrequency;
  }
  if (const MainHeader *current = doc.CurrentMainHeader(); current && current->lineFrequency > 0)
    lf = current->lineFrequency;
  if (lf > 0) {
    // Intervals by time are stamped with their nominal bounds, so that the product's times
    // fall on whole intervals and line up with other series of the same interval.
    const bool nominal = std::isfinite(r.nominalStartTim) && std::isfinite(r.nominalEndTim);
    row.start = midnight + (nominal ? r.nominalStartTim : st.startTim) / lf;
    row.end = midnight + (nominal ? r.nominalEndTim : st.endTim) / lf;
  } else {
    row.start = row.end = std::nan("");
  }
  row.count = r.count;
  row.removed = r.removed;
  row.counts = r.counts;
  row.raw = r.raw;
  row.meanVelocity.resize(r.velocitySums.size());
  for (std::size_t k = 0; k < r.velocitySums.size(); ++k)
    row.meanVelocity[k] = r.counts[k] > 0 ? r.velocitySums[k] / r.counts[k] : std::nan("");
  row.amount = r.rain;
  row.complete = r.end == DsdInterval::Complete;
  if (r.normalised) {
    row.nd.assign(r.classes.begin(), r.classes.begin() + r.geometry.count);
    // A partial interval at the end of the data leaves the setting's rate as it was; its own
    // rate follows from its rain and duration.
    if (row.complete)
      row.rainRate = s.result;
    else if (r.seconds > 0)
      row.rainRate = r.rain * 3600.0 / r.seconds;
  }
  if (moments && r.normalised) {
    const DsdMoments m = DsdMoments::Of(r.classes.data(), r.geometry.count, r.deltaD);
    row.nt = m.nt;
    row.lwc = m.w;
    row.reflectivity = m.z;
    row.dm = m.dm;
    row.d0 = m.d0;
    row.nw = m.nw;
    row.mu = m.mu;
    row.lambda = m.lambda;
  }
  return row;
}
