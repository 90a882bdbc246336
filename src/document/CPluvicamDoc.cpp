#include "CPluvicamDoc.h"

#include "CWindFile.h"
#include "document/CHydDataHandler.h"
#include "particle/CContour.h"
#include "particle/CHydData.h"
#include "particle/ContourBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>

namespace {
void Tell(std::string *message, const std::string &text) {
  if (message)
    *message = text;
}

// Largest pixel index of a main header's cameras; that of 1024 pixels when the header gives none.
int MaxPixel(const MainHeader &header) {
  return header.halfPixels > 0 ? 2 * header.halfPixels - 1 : MAX_PIXEL_1024;
}
} // namespace

CPluvicamDoc::CPluvicamDoc(UserMessages *messages) : messages(messages) {}

CPluvicamDoc::~CPluvicamDoc() = default;

void CPluvicamDoc::AddListener(DocumentListener *listener) {
  if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
    listeners.push_back(listener);
}

void CPluvicamDoc::RemoveListener(DocumentListener *listener) {
  listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void CPluvicamDoc::ShowMessage(const std::string &text) const {
  if (messages)
    messages->Show(text);
}

void CPluvicamDoc::NotifyParticle() {
  for (DocumentListener *l : listeners)
    l->OnParticle();
}

void CPluvicamDoc::NotifyViews(int flag) {
  for (DocumentListener *l : listeners)
    l->OnReset(flag);
}

void CPluvicamDoc::ClearContours() {
  contourA.reset();
  contourB.reset();
}

void CPluvicamDoc::TellPixelBounds(int maxPixel) {
  for (DocumentListener *l : listeners)
    l->OnPixelBounds(maxPixel);
  for (DocumentListener *l : listeners)
    l->OnTopViewReset();
}

int CPluvicamDoc::OpenHydFile(const std::string &path, std::string *message, bool readOnly) {
  // The file that is open stays open until the new one has opened: a failed open changes
  // nothing.
  auto opened = std::make_unique<CHydDataHandler>();
  FileState openedState = fileNone;
  std::string failure;
  CHydException exc;
  if (readOnly) {
    if (opened->Open(path, CInputFile::modeRead, &exc))
      openedState = fileReadOnly;
    else
      failure = exc.message;
  } else if (opened->Open(path, CInputFile::modeReadWrite, &exc)) {
    openedState = fileReadWrite;
  } else if (exc.code == CHydException::accessDenied) {
    // Write-protected: still viewable, only the class write will fail.
    opened = std::make_unique<CHydDataHandler>();
    if (opened->Open(path, CInputFile::modeRead, &exc))
      openedState = fileReadOnly;
    else
      failure = exc.message;
  } else {
    failure = exc.message;
  }
  if (failure.empty() && (opened->GetFormat() < 0 || opened->GetFormat() > 4)) {
    char text[64];
    std::snprintf(text, sizeof text, "wrong hyd-format: %d", opened->GetFormat());
    failure = text;
  }
  if (!failure.empty() || openedState == fileNone) {
    if (failure.empty()) // a failed open without a text still must not look like success
      failure = "CPluvicamDoc::OpenHydFile: could not open " + path;
    opened->Close();
    statusText = failure;
    Tell(message, failure);
    return 0;
  }
  if (fileState != fileNone)
    CloseHydFile();
  handler = std::move(opened);
  fileState = openedState;
  isSno = handler->IsSno();
  if (!handler->OpenNotice().empty())
    ShowMessage(handler->OpenNotice());

  // A missing wind file is normal; one that is there but cannot be opened is said once.
  const std::string windName = CWindFile::NameFor(path);
  std::error_code ec;
  if (std::filesystem::exists(windName, ec)) {
    windFile = std::make_unique<CWindFile>();
    std::string windMessage;
    if (!windFile->Open(windName, &windMessage)) {
      ShowMessage(windMessage);
      windFile.reset();
    }
  }

  ResetData();

  MainHeader header;
  TellPixelBounds(handler->GetMainHeader(&header) ? MaxPixel(header) : MAX_PIXEL_1024);
  Tell(message, "");
  return 1;
}

std::string CPluvicamDoc::GetFileName() const {
  return handler ? handler->GetHydFile().GetFileName() : std::string();
}

std::string CPluvicamDoc::GetFilePath() const {
  return handler ? handler->GetHydFile().GetFilePath() : std::string();
}

OutputGuard CPluvicamDoc::GetOutputGuard() const {
  OutputGuard guard;
  if (handler)
    guard.AddDataFile(GetFilePath());
  return guard;
}

int32_t CPluvicamDoc::GetFileLength() const {
  return handler ? handler->GetHydFile().GetLength() : 0;
}

int32_t CPluvicamDoc::GetFilePosition() const {
  return handler ? handler->GetHydFile().GetPosition() : 0;
}

const MainHeader *CPluvicamDoc::CurrentMainHeader() const {
  return handler ? &handler->CurrentMainHeader() : nullptr;
}

const MainHeader *CPluvicamDoc::FirstMainHeader() const {
  if (!handler || handler->GetTimeIndex().empty())
    return nullptr;
  return &handler->GetTimeIndex().front().mainHeader;
}

double CPluvicamDoc::RecordingStartTim() const {
  if (!handler || handler->GetTimeIndex().empty())
    return -1;
  return handler->GetTimeIndex().front().line;
}

bool CPluvicamDoc::GetMainHeader(MainHeader *out) const {
  return handler && handler->GetMainHeader(out);
}

int32_t CPluvicamDoc::SetFilePosition(int32_t position, std::string *message) {
  if (!handler)
    return -1;
  CHydException exc;
  const int32_t result = handler->SetHydFilePosition(position, &exc);
  if (result < 0 && message)
    *message = exc.message;
  return result;
}

bool CPluvicamDoc::EndedAtRecordBoundary() const {
  return handler && handler->EndedAtRecordBoundary();
}

bool CPluvicamDoc::LastFailureInComputation() const {
  return handler && handler->LastFailureInComputation();
}

int32_t CPluvicamDoc::RecordEndAfterFailure() const {
  return handler ? handler->RecordEndAfterFailure() : -1;
}

int32_t CPluvicamDoc::LastRecordStart() const { return handler ? handler->LastRecordStart() : 0; }

void CPluvicamDoc::CloseHydFile() {
  if (!handler)
    return;
  for (DocumentListener *l : listeners)
    l->OnStopRun();
  handler->Close();
  fileState = fileNone;
  handler.reset();
  status = statusRejected;
  particle = nullptr;
  windValid = false;
  windFile.reset();
  ClearContours();
  NotifyViews(0);
}

CHydData *CPluvicamDoc::ReadHydData(ReadDirection direction, int *outStatus, std::string *message) {
  std::string text;
  statusText.clear();
  windValid = false;
  particle = nullptr;

  auto finish = [&]() {
    statusText = text;
    if (status != statusBadRecord && status != statusAccepted && status != statusRejected)
      particle = nullptr;
    if (outStatus)
      *outStatus = status;
    Tell(message, text);
    return particle;
  };

  if (!handler) {
    status = statusError;
    text = "CPluvicamDoc::ReadHydData: m_hydHandler = NULL";
    return finish();
  }

  ClearContours();
  CHydException exc;
  bool newMainHeader = false;
  CHydData *read = nullptr;
  if (direction == ReadDirection::Next) {
    // The end of the file or of the window stays until a reset or a backward read.
    if (status == statusOutOfTime) {
      text = "Out of time range";
      return finish();
    }
    if (status == statusEndOfFile) {
      text = "End of file";
      return finish();
    }
    read = handler->GetNextHydData(newMainHeader, &exc);
  } else {
    read = handler->GetPreviousHydData(newMainHeader, &exc);
  }

  particle = read;
  status = statusRejected;
  removedByVelocityQc = false;
  if (exc.code != CHydException::none) {
    // A particle that failed its computation is framed: the next read goes on behind it.
    if (exc.code == CHydException::badRecordLength && handler->LastFailureInComputation()) {
      CHydException ignored;
      handler->SetHydFilePosition(handler->RecordEndAfterFailure(), &ignored);
    }
    status = exc.code == CHydException::endOfFile         ? statusEndOfFile
             : exc.code == CHydException::badRecordLength ? statusBadRecord
                                                          : statusError;
    text = exc.message;
    return finish();
  }
  if (!particle)
    return finish();

  const HydRecord *record = particle->GetHydHeader();
  if (!record) {
    status = statusError;
    text = "CPluvicamDoc::ReadHydData: hydHeader = NULL";
    return finish();
  }
  if (!record->mainHeader) {
    status = statusError;
    text = "CPluvicamDoc::ReadHydData: hydHeader->mainHeader = NULL";
    return finish();
  }

  if (filterSettings.TimeTest(record) != 1) {
    // Reading forwards from the window's minute meets the seconds before its start: skip them
    // like rejected particles instead of ending the window before it began.
    if (direction != ReadDirection::Next || filterSettings.BeforeStart(record) != 1) {
      status = statusOutOfTime;
      text = "Out of time range";
      return finish();
    }
  } else if (filterSettings.RecordTest(record) == 1) {
    if (VelocityQcApplies() &&
        !filterSettings.velocityQc.Keeps(record->diameter, record->velocity)) {
      removedByVelocityQc = true;
      ++velocityQcRemoved;
    } else {
      status = statusAccepted;
    }
  }

  if (newMainHeader)
    TellPixelBounds(MaxPixel(*record->mainHeader));
  return finish();
}

CHydData *CPluvicamDoc::GetHydData(int *outStatus, std::string *message) const {
  if (outStatus)
    *outStatus = status;
  Tell(message, statusText);
  return particle;
}

HydRecord *CPluvicamDoc::GetHydHeader(int *outStatus, std::string *message) const {
  CHydData *p = GetHydData(outStatus, message);
  return p ? p->GetHydHeader() : nullptr;
}

void CPluvicamDoc::SetFilterSettings(const FilterRecord &filter) {
  filterSettings.Assign(filter);
  for (DocumentListener *l : listeners)
    l->OnFilterChanged(filter);
  for (DocumentListener *l : listeners)
    l->OnTopViewReset();
}

void CPluvicamDoc::ResetData() {
  PositionAtStart();
  rateList.clear();
  rateSum = 0;
  rateStartTim = 0;
  rateComplete = true;
  particle = nullptr;
  status = statusRejected;
  removedByVelocityQc = false;
  velocityQcRemoved = 0;
  statusText.clear();
}

int CPluvicamDoc::PositionAtStart() {
  if (!handler)
    return 0;
  CHydException exc;
  const TimeOfDay &start = filterSettings.startTime;
  if (handler->SetHydFilePosition(start.hour, start.minute, &exc) < 0) {
    ShowMessage(exc.message);
    // Without an index position for the minute, read from the file's start: the time test
    // passes over everything before the window.
    handler->SetHydFilePosition(0);
    return 0;
  }
  return 1;
}

bool CPluvicamDoc::AddRainRate(const HydRecord *record, std::string *message) {
  // A particle without measuring area carries no rain depth.
  if (!record || !(record->area > 0) || !std::isfinite(record->volume))
    return false;
  const float depth = record->volume / record->area;
  if (rateComplete || rateList.empty()) {
    try {
      rateList.push_front(RateEntry{});
    } catch (const std::bad_alloc &) {
      if (message)
        *message = "d_rain: Allocation error  (RATE_HYD) !";
      return false;
    }
    rateList.front().startTim = record->tim;
    rateStartTim = record->tim;
    rateComplete = false;
    rateSum = depth;
    return false;
  }
  rateSum += depth;
  if (rateSum < double(0.1f))
    return false;
  RateEntry &head = rateList.front();
  head.endTim = record->tim;
  const double lineFrequency = record->mainHeader ? record->mainHeader->lineFrequency : 0;
  head.duration = lineFrequency != 0 ? float((record->tim - rateStartTim) / lineFrequency) : 0.0f;
  rateSum = 0;
  rateComplete = true;
  head.complete = true;
  return true;
}

void CPluvicamDoc::TrimRateList(size_t count) {
  if (count < rateList.size())
    rateList.erase(rateList.begin() + long(count), rateList.end());
}

bool CPluvicamDoc::GetWindData(WindRecord *out) const {
  if (windValid && out)
    *out = windRecord;
  return windValid;
}

int16_t CPluvicamDoc::ReadWindData(std::string *message) {
  int16_t result = 1;
  std::string text;
  windValid = false;
  const HydRecord *record = particle ? particle->GetHydHeader() : nullptr;
  if (record && status == statusAccepted && windFile && windFile->IsOpen()) {
    const double lineFrequency = record->mainHeader ? record->mainHeader->lineFrequency : 0;
    // Without a line frequency the particle has no time of day to look up.
    if (lineFrequency > 0) {
      const double slot = std::trunc(record->tim / lineFrequency * 0.3333333333333333);
      // Far beyond any day: clamp so that the position stays representable (it reads as end).
      const int64_t k = slot < 0 ? 0 : slot > 1e12 ? int64_t(1e12) : int64_t(slot);
      if (!windFile->SetPosition(k * WindRecord::SIZE)) {
        result = -1;
        text = "CPluvicamDoc::ReadWindData: could not set windfile pointer";
      } else {
        std::string readMessage;
        const int16_t r = windFile->Read(&windRecord, &readMessage);
        if (r < 0) {
          result = r;
          text = readMessage;
        } else if (r == 0) {
          result = 0;
          text = "Windfile: End of file";
        } else {
          windValid = windRecord.HasReading();
        }
      }
    }
  }
  Tell(message, text);
  return result;
}

int CPluvicamDoc::TimToTimeOfDay(double tim, TimeOfDay *time) const {
  if (!time || !handler)
    return 0;
  const double f = handler->GetLineFrequency();
  // No main header registered yet (-1) or a broken one (0): no time of day.
  if (!(f > 0))
    return 0;
  // Only a time within reach of the day converts; anything else would overflow the casts.
  if (!std::isfinite(tim) || tim < 0 || !(tim / f <= 2 * 86400.0))
    return 0;
  auto whole = [](double v) { return static_cast<long long>(std::trunc(v)); };
  *time = TimeOfDay{};
  time->hour = int16_t(whole(tim / (f * 3600)));
  time->minute = int16_t(whole(tim / (f * 60)) % 60);
  time->second = int16_t(whole(tim / f) % 60);
  time->millisecond = int16_t(whole(tim / (f * 0.001)) % 1000);
  return 1;
}

int16_t CPluvicamDoc::CreateContours(ContourMode mode, std::string *message) {
  ClearContours();
  Tell(message, "");
  if (isSno || (particle && particle->IsSnow())) {
    Tell(message, "CPluvicamDoc::CreateContours: This method is not available for sno-data.");
    return -1;
  }
  if (!particle) {
    Tell(message, "CPluvicamDoc::CreateContours: no valid hyd-data available");
    return -1;
  }
  const HydRecord *record = particle->GetHydHeader();
  if (!record) {
    Tell(message, "CSmallFrontView::OnStepPlus: could not get HydHeader");
    return -1;
  }
  contourA = std::make_unique<CContour>();
  contourB = std::make_unique<CContour>();
  std::string text;
  const ContourMode how = mode;
  const int built = BuildContours(EdgesOf(static_cast<const CRainData &>(*particle)), *record, how,
                                  *contourA, *contourB, &text);
  Tell(message, text);
  if (!built) {
    status = statusBadRecord;
    return 0;
  }
  return 1;
}

bool CPluvicamDoc::ContoursBuildable() const {
  if (isSno || !particle || particle->IsSnow())
    return false;
  const HydRecord *record = particle->GetHydHeader();
  return record && ::ContoursBuildable(EdgesOf(static_cast<const CRainData &>(*particle)), *record);
}

CContour *CPluvicamDoc::GetContour(Camera camera, int *valid) const {
  CContour *contour = camera == Camera::A   ? contourA.get()
                      : camera == Camera::B ? contourB.get()
                                            : nullptr;
  if (valid)
    *valid = contour && status != statusBadRecord ? 1 : 0;
  return contour;
}

int CPluvicamDoc::SetNewParticleClass(int dropType, std::string *message, int *replaced) {
  if (!handler) {
    Tell(message, "CPluvicamDoc::SetNewParticleClass: hydHandler = NULL");
    return 0;
  }
  if (!particle) {
    Tell(message, "CPluvicamDoc::SetNewParticleClass: no valid hydData available");
    return 0;
  }
  Tell(message, "");
  // Only an accepted particle is on show; anything else is not what the user classified.
  if (status == statusAccepted) {
    CHydException exc;
    unsigned before = particle->GetHydHeader()->dropType;
    if (!handler->SetDropType(unsigned(dropType), &exc, &before)) {
      Tell(message, exc.message);
      return 0;
    }
    particle->GetHydHeader()->dropType = uint16_t(dropType);
    if (replaced)
      *replaced = int(before);
  }
  return 1;
}

void CPluvicamDoc::ResetIntegration(IntegrationKind kind) {
  if (kind == IntegrationKind::RainRate) {
    rainIntegration.mode = IntegrationMode::Rain;
    rainIntegration.timeInterval = 15.0f;
    rainIntegration.rainInterval = 0.05f;
    rainIntegration.result = 0;
    rainIntegration.gaugeTotal = -1.0f;
  } else {
    dsdIntegration.mode = IntegrationMode::Time;
    dsdIntegration.timeInterval = 60.0f;
    dsdIntegration.rainInterval = 0.05f;
    dsdIntegration.dropCount = 500;
    dsdIntegration.deltaD = 0.25f;
    dsdIntegration.result = 0;
  }
}
