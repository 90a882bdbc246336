#include "DsdSeriesRun.h"

#include "document/CPluvicamDoc.h"

#include <algorithm>

DsdSeriesRun::DsdSeriesRun(CPluvicamDoc &doc) : doc(doc), integration(doc) {
  integration.onBadRecord = [this](int32_t pos, const std::string &text) {
    if (onBadRecord)
      onBadRecord(pos, text);
  };
}

void DsdSeriesRun::Start() {
  DsdIntegration::OpenAtWindowStart(doc);
  DsdIntegration::InitialUpdate(doc);
  status = Running;
  inRun = false;
  taken = 0;
  message.clear();
  position = -1;
}

bool DsdSeriesRun::EndRun() {
  integration.Finish();
  inRun = false;
  const DsdInterval &r = integration.Result();
  if (r.end == DsdInterval::Failed) {
    status = Failed;
    message = r.message;
    position = r.position;
    return false;
  }
  taken += r.count;
  if (r.count > 0 && onInterval)
    onInterval(r);
  // The data ended inside a record: what came before is kept, the failure reported.
  if (r.truncated) {
    status = Failed;
    message = r.message;
    position = r.position;
    return false;
  }
  const IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  // The full window is one Run; other modes go on until the data end inside a Run.
  if (s.mode == IntegrationMode::FullTimeRange || r.end != DsdInterval::Complete || r.count == 0) {
    status = Done;
    return false;
  }
  return true;
}

bool DsdSeriesRun::Step(int reads) {
  if (status != Running)
    return false;
  for (int i = 0; i < reads; ++i) {
    if (!inRun) {
      if (!integration.Begin()) {
        // No data file: nothing to compute.
        const DsdInterval &r = integration.Result();
        status = Failed;
        message = r.message.empty() ? "no data file" : r.message;
        position = r.position;
        return false;
      }
      inRun = true;
    }
    if (!integration.Next() && !EndRun())
      return false;
  }
  return true;
}

DsdSeriesRun::Status DsdSeriesRun::RunToEnd() {
  Start();
  while (Step(1 << 16)) {
  }
  return status;
}

double DsdSeriesRun::Fraction() const {
  if (status == Done)
    return 1.0;
  if (doc.GetFileLength() <= 0)
    return 0.0;
  return std::clamp(double(doc.GetFilePosition()) / doc.GetFileLength(), 0.0, 1.0);
}

int64_t DsdSeriesRun::Particles() const { return taken + (inRun ? integration.Result().count : 0); }
