#include "DsdIntegration.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include <algorithm>
#include <cmath>

namespace {
// trunc(value) as a whole number; values beyond any day's interval count stay ordered.
int64_t Whole(double value) {
  const double t = std::trunc(value);
  if (!(t > -1e15))
    return int64_t(-1e15);
  if (!(t < 1e15))
    return int64_t(1e15);
  return int64_t(t);
}
} // namespace

DsdIntegration::DsdIntegration(CPluvicamDoc &doc) : doc(doc), reader(doc) {}

bool DsdIntegration::Begin() {
  result = DsdInterval{};
  computing = false;
  run = false;
  settings = &doc.GetIntegrationSettings(IntegrationKind::Dsd);
  state = doc.GetIntegrationState();
  if (settings->mode == IntegrationMode::FullTimeRange)
    doc.ResetData();
  if (!state || !doc.HasHydFile() || doc.GetFileState() == CPluvicamDoc::fileNone)
    return false;

  const TimeOfDay &start = doc.GetFilter().startTime;
  result.deltaD = settings->deltaD;
  result.geometry = dsd::GeometryFor(settings->deltaD, doc.GetViewFactor());
  const std::size_t classes = std::size_t(result.geometry.count);
  result.counts.assign(classes, 0);
  result.velocitySums.assign(classes, 0.0);
  result.raw.assign(classes * DsdInterval::VELOCITY_CLASSES, 0);
  settings->result = 0;
  // The figures that the mode does not use are cleared; the mode's own setting stays.
  switch (settings->mode) {
  case IntegrationMode::FullTimeRange:
    settings->rainInterval = 0;
    settings->timeInterval = 0;
    settings->dropCount = 0;
    break;
  case IntegrationMode::Rain:
    settings->timeInterval = 0;
    settings->dropCount = 0;
    break;
  case IntegrationMode::Time:
    settings->rainInterval = 0;
    settings->dropCount = 0;
    break;
  case IntegrationMode::Objects:
    settings->rainInterval = 0;
    settings->timeInterval = 0;
    break;
  default:
    break;
  }
  windowStart = double((60 * start.hour + start.minute) * 60);
  computing = true;
  run = true;
  first = true;
  done = false;
  repositionFailed = false;
  elapsed = 0;
  previousEnd = t0 = tLast = 0;
  k0 = -1;
  return true;
}

void DsdIntegration::Take(const HydRecord &r) {
  // Without a measuring area a particle has no rain depth and no concentration.
  if (r.area > 0)
    result.rain += r.volume / r.area;
  ++result.count;
  tLast = r.tim;
  const int k = dsd::ClassOf(r.diameter, settings->deltaD);
  if (k < 0 || k >= result.geometry.count)
    return;
  const float av = r.area * r.velocity;
  if (av == 0 || !std::isfinite(av))
    return;
  result.classes[size_t(k)] += 1e6 / av;
  ++result.counts[size_t(k)];
  result.velocitySums[size_t(k)] += r.velocity;
  // Faster than the last velocity class (or negative): in N(D), not in the velocity classes.
  const double v = std::floor(double(r.velocity) / DsdInterval::VELOCITY_CLASS_WIDTH + 0.001);
  if (v >= 0 && v < DsdInterval::VELOCITY_CLASSES)
    ++result.raw[size_t(k) * DsdInterval::VELOCITY_CLASSES + size_t(v)];
}

void DsdIntegration::Normalise(double seconds) {
  const float factor = 1.0f / (float(seconds) * settings->deltaD);
  for (int k = 0; k < result.geometry.count; ++k)
    result.classes[size_t(k)] *= factor;
  result.normalised = true;
  result.seconds = seconds;
}

void DsdIntegration::NormalisePartial() {
  // A partial interval is normalised with its own duration, up to its last particle. It starts
  // where the previous interval ended; an interval by time no earlier than its aligned start,
  // which may lie long after that end when intervals without particles came between, and it
  // lasts no longer than a whole interval.
  double from = t0;
  if (settings->mode == IntegrationMode::Time) {
    SetNominalBounds();
    from = std::max(previousEnd, result.nominalStartTim);
  }
  double seconds = lineFrequency > 0 ? (tLast - from) / lineFrequency : 0.0;
  if (settings->mode == IntegrationMode::Time)
    seconds = std::min(seconds, double(settings->timeInterval));
  // No duration (a single particle at the start), no concentration.
  if (seconds > 0 && std::isfinite(seconds))
    Normalise(seconds);
}

void DsdIntegration::SetNominalBounds() {
  result.nominalStartTim = double(k0) * intervalLines + windowStart;
  result.nominalEndTim = double(k0 + 1) * intervalLines + windowStart;
}

bool DsdIntegration::Reposition(const HydRecord &r) {
  if (reader.Reposition(r.startPos))
    return true;
  repositionFailed = true;
  result.message = reader.Message();
  result.position = r.startPos;
  return false;
}

bool DsdIntegration::Next() {
  if (!computing || !run)
    return false;
  switch (reader.Next()) {
  case IntervalReader::Nothing:
    if (doc.LastRemovedByVelocityQc())
      ++result.removed;
    return run;
  case IntervalReader::BadRecord:
    ++result.skipped;
    if (onBadRecord)
      onBadRecord(reader.Position(), reader.Message());
    return run;
  case IntervalReader::DataEnd:
    done = true;
    result.end = DsdInterval::DataEnded;
    result.truncated = reader.Truncated();
    result.message = reader.Message();
    result.position = reader.Position();
    return false;
  case IntervalReader::Failure:
    result.end = DsdInterval::Failed;
    result.message = reader.Message();
    result.position = reader.Position();
    return false;
  case IntervalReader::Particle:
    break;
  }

  const HydRecord &r = reader.Record();
  const double t = r.tim;
  const double lf = reader.LineFrequency();
  const IntegrationMode mode = settings->mode;
  if (first) {
    // The interval starts 2 lines after the previous one ended (or at the window's start).
    state->startTim = mode == IntegrationMode::FullTimeRange ? t : state->endTim + 2;
    previousEnd = state->endTim;
    t0 = previousEnd + 2;
    lineFrequency = lf;
    elapsed = float((t - t0) / lf);
    if (mode == IntegrationMode::Time) {
      hourly = 3600.0f / settings->timeInterval;
      windowStart *= lf;
      intervalLines = double(settings->timeInterval) * lf;
      k0 = Whole((t - windowStart) / intervalLines);
    }
    first = false;
  } else {
    state->endTim = t;
  }

  switch (mode) {
  case IntegrationMode::FullTimeRange:
    Take(r);
    lineFrequency = lf;
    elapsed = float((state->endTim - state->startTim) / lf);
    break;
  case IntegrationMode::Rain:
    // An interval needs a duration and at least one particle before it can close.
    if (settings->rainInterval > result.rain || !(elapsed > 0) || result.count == 0) {
      Take(r);
      lineFrequency = lf;
      elapsed = float((t - t0) / lf);
    } else {
      Normalise(elapsed);
      // The rate of the nominal amount, not of the collected one.
      settings->result = settings->rainInterval * 3600.0f / elapsed;
      settings->timeInterval = elapsed;
      settings->dropCount = result.count;
      done = true;
      result.end = DsdInterval::Complete;
      Reposition(r);
    }
    break;
  case IntegrationMode::Time:
    if (Whole((t - windowStart) / intervalLines) == k0) {
      Take(r);
      lineFrequency = lf;
    } else {
      Normalise(settings->timeInterval);
      settings->result = hourly * result.rain;
      settings->rainInterval = result.rain;
      settings->dropCount = result.count;
      done = true;
      result.end = DsdInterval::Complete;
      if (Reposition(r)) {
        SetNominalBounds();
        state->startTim = result.nominalStartTim + 2;
        state->endTim = result.nominalEndTim + 2;
      }
    }
    break;
  case IntegrationMode::Objects:
    if (result.count < settings->dropCount || result.count == 0) {
      Take(r);
      lineFrequency = lf;
      elapsed = float((t - t0) / lf);
    } else {
      // Particles that all share one time stamp have no duration: the interval closes here
      // without N(D) instead of reading the same particle again for ever.
      if (elapsed > 0) {
        Normalise(elapsed);
        settings->timeInterval = elapsed;
        settings->rainInterval = result.rain;
        settings->result = result.rain * 3600.0f / elapsed;
      }
      done = true;
      result.end = DsdInterval::Complete;
      Reposition(r);
    }
    break;
  default:
    // An unknown mode has no interval rule: the Run ends without result.
    run = false;
    break;
  }
  return !done && !repositionFailed && run;
}

void DsdIntegration::Finish() {
  if (!computing)
    return;
  if (settings->mode == IntegrationMode::FullTimeRange) {
    // A single particle (or particles sharing one time) has no duration: no N(D), no rate.
    if (result.count >= 2 && elapsed > 0) {
      Normalise(elapsed);
      settings->timeInterval = elapsed;
      settings->result = result.rain * 3600.0f / elapsed;
    } else {
      settings->timeInterval = 0;
      settings->result = 0;
      if (result.count == 1)
        state->endTim = state->startTim;
    }
    settings->rainInterval = result.rain;
    settings->dropCount = result.count;
    if (result.end == DsdInterval::DataEnded)
      result.end = DsdInterval::Complete;
  }
  state->valid = true;
  state->removed = result.removed;
  computing = false;

  if (repositionFailed) {
    result.end = DsdInterval::Failed;
  } else if (result.end == DsdInterval::NotStarted) {
    result.end = DsdInterval::Stopped;
  } else if (result.end == DsdInterval::DataEnded && result.count > 0) {
    NormalisePartial();
  }
  result.success = done && result.end != DsdInterval::Failed;
  if (!result.success)
    result.normalised = false;
  result.ndMax = 0;
  if (result.normalised)
    for (int k = 0; k < result.geometry.count; ++k)
      result.ndMax = std::max(result.ndMax, result.classes[size_t(k)]);
}

const DsdInterval &DsdIntegration::RunToEnd() {
  if (Begin()) {
    while (Next()) {
    }
    Finish();
  }
  return result;
}

void DsdIntegration::OpenAtWindowStart(CPluvicamDoc &doc) {
  doc.ClearIntegrationState();
  MainHeader header;
  if (doc.GetFileState() == CPluvicamDoc::fileNone || !doc.GetMainHeader(&header))
    return;
  // Seconds of the window start are not used.
  const TimeOfDay &start = doc.GetFilter().startTime;
  const double windowStart = double((start.hour * 60 + start.minute) * 60) * header.lineFrequency;
  // Nothing was recorded before the recording started: a first interval that began at an earlier
  // window start would spread its particles over hours without data.
  doc.GetIntegrationState()->endTim = std::max(windowStart, doc.RecordingStartTim());
}

void DsdIntegration::InitialUpdate(CPluvicamDoc &doc) {
  doc.ResetData();
  doc.GetIntegrationSettings(IntegrationKind::Dsd).result = 0;
}
