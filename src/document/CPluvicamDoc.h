#pragma once
#include "DocumentListener.h"
#include "FilterSettings.h"
#include "IntegrationSettings.h"
#include "IntegrationState.h"
#include "RateEntry.h"
#include "TimeOfDay.h"
#include "UserMessages.h"
#include "WindRecord.h"
#include "data/Camera.h"
#include "data/MainHeader.h"
#include "data/OutputGuard.h"
#include "particle/ContourBuilder.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class CContour;
class CHydData;
class CHydDataHandler;
class CWindFile;
struct HydRecord;

// The application's single document: the open hydrometeor file, the particle of the moment with
// its read status, the time window and filter, the rain-rate intervals, the day's wind file and
// the state the diagrams share. It knows no window: views, panels and message boxes are reached
// through DocumentListener and UserMessages.
class CPluvicamDoc {
public:
  enum FileState { fileReadWrite = 0, fileReadOnly = 1, fileNone = 2 };
  enum class ReadDirection { Next = 0, Previous = 1 };
  // Read status of ReadHydData.
  enum ReadStatus {
    statusAccepted = 0,
    statusRejected = 1, // rejected by the filter, or nothing read yet
    statusEndOfFile = 2,
    statusOutOfTime = 3,
    statusBadRecord = 4, // bad record length, or a contour that cannot be built
    statusError = 5,
  };

  explicit CPluvicamDoc(UserMessages *messages = nullptr);
  ~CPluvicamDoc();
  CPluvicamDoc(const CPluvicamDoc &) = delete;
  CPluvicamDoc &operator=(const CPluvicamDoc &) = delete;

  // Listeners are told in the order they were added; the document does not own them.
  void AddListener(DocumentListener *listener);
  void RemoveListener(DocumentListener *listener);
  std::size_t ListenerCount() const { return listeners.size(); }
  void SetUserMessages(UserMessages *userMessages) { messages = userMessages; }
  void ShowMessage(const std::string &text) const;
  // The frame's notifications to every view: a new particle stands (0x500), and rain-rate data
  // changed (flag 1) or was dropped (flag 0) (0x501).
  void NotifyParticle();
  void NotifyViews(int flag);

  // Opens a data file read-write, or read-only when it is write-protected or `readOnly` asks so,
  // and the wind file beside it. Returns 1, or 0 with `message` filled.
  int OpenHydFile(const std::string &path, std::string *message = nullptr, bool readOnly = false);
  void CloseHydFile();

  // Reads the next or previous particle and tests it against the time window and the filter.
  // Returns the particle, valid until the next read, reset or close.
  CHydData *ReadHydData(ReadDirection direction, int *status = nullptr,
                        std::string *message = nullptr);
  CHydData *GetHydData(int *status = nullptr, std::string *message = nullptr) const;
  HydRecord *GetHydHeader(int *status = nullptr, std::string *message = nullptr) const;

  FileState GetFileState() const { return fileState; }
  CHydDataHandler *GetHandler() const { return handler.get(); }
  // What windows show of the open file: name, length and read position (empty and 0 without one).
  bool HasHydFile() const { return handler != nullptr; }
  std::string GetFileName() const;
  std::string GetFilePath() const;
  // What the document's writers must not write over: the open file and the files beside it.
  OutputGuard GetOutputGuard() const;
  int32_t GetFileLength() const;
  int32_t GetFilePosition() const;
  // The main header in force at the read position; null without a file.
  const MainHeader *CurrentMainHeader() const;
  // The main header of the file's time index that comes first; null without one.
  const MainHeader *FirstMainHeader() const;
  // When the recording starts: the time of day of that first main header in its camera lines;
  // -1 without one.
  double RecordingStartTim() const;
  // The file's main header for settings and titles: false without a file or a usable header.
  bool GetMainHeader(MainHeader *out) const;
  // Moves the read position to a record start; -1 on failure, as the handler says, with
  // `message`.
  int32_t SetFilePosition(int32_t position, std::string *message = nullptr);
  // Whether the last read that met the end of the file met it between records.
  bool EndedAtRecordBoundary() const;
  // Whether the last bad record failed in the particle computation, which leaves the stream
  // framed, and where that record ends.
  bool LastFailureInComputation() const;
  int32_t RecordEndAfterFailure() const;
  // Where the record of the last particle read begins, a failed one too; 0 without a file.
  int32_t LastRecordStart() const;
  bool IsSno() const { return isSno; }
  int GetStatus() const { return status; }
  void SetStatus(int newStatus) { status = newStatus; }
  const std::string &GetStatusText() const { return statusText; }

  void GetFilterSettings(FilterRecord &out) const { filterSettings.CopyTo(out); }
  void SetFilterSettings(const FilterRecord &filter);
  const FilterSettings &GetFilter() const { return filterSettings; }
  // The velocity check is on and the file holds rain: snow falls at speeds of its own.
  bool VelocityQcApplies() const { return filterSettings.velocityQc.On() && !isSno; }
  // Whether the velocity check removed the particle of the last read, and how many it removed
  // since the last reset.
  bool LastRemovedByVelocityQc() const { return removedByVelocityQc; }
  int64_t VelocityQcRemoved() const { return velocityQcRemoved; }

  // Restarts reading at the time window's start and drops the rain-rate intervals.
  void ResetData();
  int PositionAtStart();

  // Adds an accepted particle's rain; true when it completed an interval. When no interval can
  // be opened for want of memory, false with the reason in `message`.
  bool AddRainRate(const HydRecord *record, std::string *message = nullptr);
  // Newest first.
  const std::deque<RateEntry> &GetRateList() const { return rateList; }
  // Keeps the newest `count` rain-rate entries; a diagram that no longer reaches the older ones
  // lets them go so that the list does not grow through a day.
  void TrimRateList(size_t count);

  bool GetWindData(WindRecord *out) const;
  // Fetches the wind reading of the current particle: 1 read (valid or not), 0 end of the wind
  // file, -1 error, with `message`.
  int16_t ReadWindData(std::string *message = nullptr);
  bool HasWindFile() const { return windFile != nullptr; }

  int TimToTimeOfDay(double tim, TimeOfDay *time) const;

  // Builds the current rain particle's contours. 1 built, 0 a camera without contour (status 4),
  // -1 nothing to build.
  int16_t CreateContours(ContourMode mode, std::string *message = nullptr);
  // Whether CreateContours would return 1 for the current particle, without building.
  bool ContoursBuildable() const;
  // `valid` is 0 without a contour or after a failed build.
  CContour *GetContour(Camera camera, int *valid = nullptr) const;

  // `replaced`: the class the file held just before the write.
  int SetNewParticleClass(int dropType, std::string *message = nullptr, int *replaced = nullptr);

  uint16_t GetViewFactor() const { return viewFactor; }
  void SetViewFactor(uint16_t factor) { viewFactor = factor; }

  IntegrationSettings &GetIntegrationSettings(IntegrationKind kind) {
    return kind == IntegrationKind::RainRate ? rainIntegration : dsdIntegration;
  }
  const IntegrationSettings &GetIntegrationSettings(IntegrationKind kind) const {
    return kind == IntegrationKind::RainRate ? rainIntegration : dsdIntegration;
  }
  // Back to the defaults of the kind's panel.
  void ResetIntegration(IntegrationKind kind);
  IntegrationState *GetIntegrationState() { return &integrationState; }
  void ClearIntegrationState() { integrationState = IntegrationState{}; }

private:
  void TellPixelBounds(int maxPixel);
  void ClearContours();

  bool isSno = false;
  IntegrationSettings rainIntegration;
  IntegrationSettings dsdIntegration;
  IntegrationState integrationState;
  uint16_t viewFactor = 1;
  std::unique_ptr<CContour> contourB;
  std::unique_ptr<CContour> contourA;
  std::string statusText;
  bool windValid = false;
  WindRecord windRecord;
  std::unique_ptr<CWindFile> windFile;
  double rateStartTim = 0;
  double rateSum = 0;
  bool rateComplete = true;
  std::deque<RateEntry> rateList;
  FilterSettings filterSettings{FilterRecord::DocumentDefaults()};
  int32_t status = statusRejected;
  bool removedByVelocityQc = false;
  int64_t velocityQcRemoved = 0;
  CHydData *particle = nullptr; // owned by the handler
  FileState fileState = fileNone;
  std::unique_ptr<CHydDataHandler> handler;

  UserMessages *messages = nullptr;
  std::vector<DocumentListener *> listeners;
};
