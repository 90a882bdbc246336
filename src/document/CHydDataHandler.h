#pragma once
#include "data/CHeaderFile.h"
#include "data/CHydFile.h"
#include "data/FilterRange.h"
#include "data/HeaderInfo.h"
#include "data/MainTimEntry.h"

#include <deque>
#include <memory>
#include <string>

class CHydData;
class CRainData;
class CSnoData;
struct HydRecord;

// The single owner of an open hydrometeor file: data file, index file, time index of main
// headers, the headers and the particle last read, and the range record handed to every
// particle computation.
class CHydDataHandler {
public:
  CHydDataHandler();
  ~CHydDataHandler();
  CHydDataHandler(const CHydDataHandler &) = delete;
  CHydDataHandler &operator=(const CHydDataHandler &) = delete;

  int Open(const std::string &fileName, CInputFile::OpenMode mode, CHydException *exc = nullptr);
  void Close();
  int EvaluateHeaderFile(CHydException *exc = nullptr);
  int MainTim(const MainHeader *mainHeader, CHydException *exc = nullptr);

  // Reads the next particle from the current position; null on failure or at the end.
  CHydData *GetNextHydData(bool &newMainHeader, CHydException *exc = nullptr);
  CHydData *GetPreviousHydData(bool &newMainHeader, CHydException *exc = nullptr);
  int32_t SetHydFilePosition(int32_t position, CHydException *exc = nullptr);
  int32_t SetHydFilePosition(int hour, int minute, CHydException *exc = nullptr);

  int SetFilterRange(int16_t diamMin, int16_t diamMax, int16_t velMin, int16_t velMax,
                     int16_t oblMin, int16_t oblMax, int16_t minPixA, int16_t maxPixA,
                     int16_t minPixB, int16_t maxPixB, bool useDefaultPixels,
                     CHydException *exc = nullptr);
  // Writes the current particle's class; `replaced` receives the class the file held just
  // before, which another program may have written since the particle was read.
  int SetDropType(unsigned dropType, CHydException *exc = nullptr, unsigned *replaced = nullptr);

  int16_t GetFormat() const { return format; }
  bool IsSno() const { return isSno; }
  double GetLineFrequency() const { return lineFrequency; }
  int GetMainHeader(MainHeader *out) const;
  const MainHeader &CurrentMainHeader() const { return mainHeader; }
  const PixHeader &CurrentPixHeader() const { return pixHeader; }
  const HeaderInfo &GetHeaderInfo() const { return headerInfo; }
  const FilterRange &GetFilterRange() const { return filterRange; }
  const std::deque<MainTimEntry> &GetTimeIndex() const { return timeIndex; }
  int32_t GetPrevPosition() const { return prevPosition; }
  // Whether the last failed read failed in the particle computation, after its pix header was
  // read, and where the record behind it begins: a batch reader may go on from there.
  bool LastFailureInComputation() const { return computationFailed; }
  int32_t RecordEndAfterFailure();
  // Where the record of the last pix header read begins: the position of a failed particle.
  int32_t LastRecordStart() const { return lastRecordStart; }
  // Whether the last read met the end of the file exactly at a record boundary (an end of file
  // inside a record is a truncated file).
  bool EndedAtRecordBoundary() const { return endedAtBoundary; }
  // What the open noticed without refusing the file (a data file shorter than its index);
  // empty when nothing.
  const std::string &OpenNotice() const { return openNotice; }
  // The particle last read, or null.
  CHydData *GetHydData() const { return hydData; }
  CHydFile &GetHydFile() { return hydFile; }
  CHeaderFile &GetHeaderFile() { return headerFile; }

private:
  void ApplyDefaultPixelRange(const MainHeader &header);
  int ReadTag(int16_t &tag, CHydException &status);
  const MainTimEntry *FindEntry(double tim, CHydException &status) const {
    return foundFrom < tim && tim <= foundTo ? foundEntry : SearchEntry(tim, status);
  }
  const MainTimEntry *SearchEntry(double tim, CHydException &status) const;
  // The steps of GetNextHydData. ReadRecord leaves its outcome in `status`.
  void ReadRecord(CHydData &particle, bool &newMainHeader, CHydException &status);
  // Reads the main and quarter headers before a pix record; `start` and `tag` are the record's.
  bool ReadLeadingHeaders(int32_t &start, int16_t &tag, CHydException &status);
  // Registers the headers behind the particle so that nextPos names the next pix record; false
  // when the file ended or a header failed on the way.
  bool ReadTrailingHeaders(HydRecord &record);
  // Walks back over header records so that prevPos names a particle, never a header.
  bool FindPreviousParticle(HydRecord &record, CHydException &status);
  void FailTime(CHydException &status, int32_t position);

  bool isSno = false;
  int32_t prevPosition = 0;
  MainHeader mainHeader;
  PixHeader pixHeader;
  HeaderInfo headerInfo;
  bool userPixelRange = false;
  int16_t format = 0;
  double lineFrequency = -1.0;
  CHeaderFile headerFile;
  CHydFile hydFile;
  std::deque<MainTimEntry> timeIndex; // stable addresses: particles point at entries' headers
  FilterRange filterRange;

  // The particle objects are reused; `hydData` points at the one holding the current particle.
  std::unique_ptr<CRainData> rainData;
  std::unique_ptr<CSnoData> snoData;
  CHydData *hydData = nullptr;
  bool computationFailed = false;
  bool endedAtBoundary = false;
  int32_t lastRecordStart = 0;
  std::string openNotice;
  // A walk meets the entries in order: the entry last found serves every time in its span
  // (foundFrom, foundTo] without a search. A registered header may end that span.
  void ForgetFoundEntry() const;
  mutable const MainTimEntry *foundEntry = nullptr;
  mutable double foundFrom = 0;
  mutable double foundTo = 0;
  // The entry `mainHeader` was last copied from; a particle of the same entry needs no compare.
  const MainHeader *mainHeaderSource = nullptr;
  // The last particle record read: its tag is a pix tag, so a walk back that lands there stops.
  int32_t lastParticleStart = -1;
};
