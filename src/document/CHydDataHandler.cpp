#include "CHydDataHandler.h"
#include "data/WholeNumber.h"

#include "data/LittleEndian.h"
#include "particle/CRainData.h"
#include "particle/CSnoData.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Upper-cased last three characters of a file name.
std::string Extension3(const std::string &name) {
  std::string ext = name.size() >= 3 ? name.substr(name.size() - 3) : name;
  for (char &c : ext)
    c = char(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

double LineOfDay(const MainHeader &header) {
  return std::floor(double(header.time % 86400) * header.lineFrequency);
}

} // namespace

CHydDataHandler::CHydDataHandler()
    : rainData(std::make_unique<CRainData>()), snoData(std::make_unique<CSnoData>()) {}

CHydDataHandler::~CHydDataHandler() { Close(); }

int CHydDataHandler::Open(const std::string &fileName, CInputFile::OpenMode mode,
                          CHydException *exc) {
  CHydException status;
  auto fail = [&]() {
    Close();
    status.CopyTo(exc);
    return 0;
  };
  const std::string ext = Extension3(fileName);
  const auto dot = fileName.find_last_of('.');
  const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  std::string indexName;
  if (ext == "HYD" || ext == "PIX") {
    isSno = false;
    indexName = stem + ".hd";
  } else if (ext == "SNO") {
    isSno = true;
    indexName = stem + ".shd";
  } else {
    status.Set(CHydException::generic, "Error: file is not a hyd- or sno-file");
    return fail();
  }
  // Open failures name the file, so that the user knows which of the two is missing.
  auto name = [&](const char *which, const std::string &path) {
    const bool named = status.message.compare(0, path.size() + 1, path + " ") == 0;
    status.message = which + (named ? status.message : path + ": " + status.message);
  };
  if (!hydFile.Open(fileName, mode, &status)) {
    name("data file ", fileName);
    return fail();
  }
  if (!headerFile.Open(indexName, CInputFile::modeRead, &status)) {
    name("index file ", indexName);
    return fail();
  }
  if (!EvaluateHeaderFile(&status))
    return fail();
  if (isSno && format < 4) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "invalid format of the sno-data: %d \nThis application supports only "
                  "sno-data formats > 3",
                  format);
    status.Set(CHydException::generic, text);
    return fail();
  }
  status.CopyTo(exc);
  return 1;
}

void CHydDataHandler::Close() {
  headerFile.Close();
  hydFile.Close();
  hydData = nullptr;
  timeIndex.clear();
  ForgetFoundEntry();
  mainHeaderSource = nullptr;
  lastParticleStart = -1;
  isSno = false;
  prevPosition = 0;
  userPixelRange = false;
  format = 0;
  lineFrequency = -1.0;
}

int CHydDataHandler::EvaluateHeaderFile(CHydException *exc) {
  CHydException status;
  auto fail = [&](int32_t code, const char *message) {
    if (message)
      status.Set(code, message);
    status.CopyTo(exc);
    return 0;
  };
  if (!headerFile.ReadHeaderInfo(&headerInfo, &status))
    return fail(0, nullptr);
  format = headerInfo.format;
  // -1 marks a minute without data. A negative position is a damaged index. One past the end
  // of the data is a data file shorter than its index (still being written, or copied part-way):
  // the minutes inside the data are read, those behind its end count as absent.
  const int32_t length = hydFile.GetLength();
  openNotice.clear();
  for (int m = 1; m <= HeaderInfo::SLOTS; ++m) {
    const int32_t position = headerInfo.GetMinutePosition(m);
    if (position != -1 && position < 0) {
      char text[200];
      std::snprintf(text, sizeof text,
                    "CHydDataHandler::EvaluateHeaderFile: position %d of minute %02d:%02d in "
                    "the index file lies outside the data file of %d bytes",
                    position, m / 60, m % 60, length);
      return fail(CHydException::generic, text);
    }
    if (position > length) {
      headerInfo.positions[m - 1] = -1;
      if (openNotice.empty()) {
        char text[160];
        // Slot m is the position from which reading reaches m minutes after midnight.
        std::snprintf(text, sizeof text,
                      "the index points past the end of the data from %02d:%02d on: the data "
                      "file is shorter than its index",
                      m / 60 % 24, m % 60);
        openNotice = text;
      }
    }
  }
  if (!timeIndex.empty())
    return fail(CHydException::generic, "CHydDataHandler::EvaluateHeaderFile: header list error");
  if (!headerFile.SetPosition(CHeaderFile::MAIN_HEADERS_OFFSET))
    return fail(CHydException::generic,
                "CHydDataHandler::EvaluateHeaderFile: could not set header-file position");
  while (!headerFile.IsEOF()) {
    uint8_t tagBytes[2];
    if (headerFile.Read(tagBytes, 2, &status) != 1)
      return fail(0, nullptr);
    const int16_t tag = le::I16(tagBytes);
    if (!MainHeader::IsMainHeaderTag(tag))
      return fail(CHydException::generic,
                  "CHydDataHandler::EvaluateHeaderFile: corrupted header file");
    MainHeader header;
    if (headerFile.ReadMainHeader(&header, tag, format, &status) != 1)
      return fail(0, nullptr);
    lineFrequency = header.lineFrequency;
    if (!MainTim(&header, &status))
      return fail(0, nullptr);
  }
  if (!timeIndex.empty())
    mainHeader = timeIndex.front().mainHeader;
  mainHeaderSource = nullptr;
  status.CopyTo(exc);
  return 1;
}

void CHydDataHandler::ApplyDefaultPixelRange(const MainHeader &header) {
  filterRange.minPixA = filterRange.minPixB = 0;
  filterRange.maxPixA = filterRange.maxPixB = int16_t(2 * header.halfPixels - 1);
}

int CHydDataHandler::MainTim(const MainHeader *header, CHydException *exc) {
  CHydException status;
  if (!header) {
    status.Set(CHydException::generic, "CHydDataHandler::MainTim: mainHeader = NULL");
    status.CopyTo(exc);
    return 0;
  }
  if (!userPixelRange)
    ApplyDefaultPixelRange(*header);
  lineFrequency = header->lineFrequency;
  const double line = LineOfDay(*header);
  for (const MainTimEntry &entry : timeIndex) {
    if (entry.line >= line) {
      if (entry.mainHeader == *header) {
        status.CopyTo(exc);
        return 1; // a repeat of a registered header
      }
      status.Set(CHydException::generic, "CHydDataHandler::MainTim: neg. time jump ?!?!?!");
      status.CopyTo(exc);
      return 0;
    }
  }
  const int32_t index = timeIndex.empty() ? 0 : timeIndex.back().index + 1;
  timeIndex.push_back(MainTimEntry{*header, line, index});
  ForgetFoundEntry();
  status.CopyTo(exc);
  return 1;
}

int CHydDataHandler::GetMainHeader(MainHeader *out) const {
  if (!out || !hydFile.IsOpen())
    return 0;
  *out = mainHeader;
  return 1;
}

int CHydDataHandler::ReadTag(int16_t &tag, CHydException &status) {
  uint8_t bytes[2];
  if (hydFile.Read(bytes, 2, &status) != 1)
    return 0;
  tag = le::I16(bytes);
  return 1;
}

const MainTimEntry *CHydDataHandler::SearchEntry(double tim, CHydException &status) const {
  if (timeIndex.empty()) {
    status.Set(CHydException::generic,
               "CHydDataHandler::GetNextHydData: no main header in file ?!?");
    return nullptr;
  }
  if (timeIndex.size() == 1 && tim < timeIndex.front().line) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "CHydDataHandler::GetNextHydData: no corresponding main header "
                  "pixHeader.tim=%lu, ptr->line=%lu ",
                  WholeNumber(tim), WholeNumber(timeIndex.front().line));
    status.Set(CHydException::badRecordLength, text);
    return nullptr;
  }
  size_t e = 0;
  while (e + 1 < timeIndex.size() && (tim < timeIndex[e].line || timeIndex[e + 1].line < tim))
    ++e;
  if (e + 1 == timeIndex.size() && tim < timeIndex[e].line) {
    status.Set(CHydException::badRecordLength,
               "CHydDataHandler::GetNextHydData: no corresponding main header?");
    return nullptr;
  }
  // Strictly behind an entry's line no earlier entry can hold a time.
  foundEntry = &timeIndex[e];
  foundFrom = timeIndex[e].line;
  foundTo =
      e + 1 < timeIndex.size() ? timeIndex[e + 1].line : std::numeric_limits<double>::infinity();
  return foundEntry;
}

void CHydDataHandler::ForgetFoundEntry() const {
  foundEntry = nullptr;
  foundFrom = std::numeric_limits<double>::infinity();
  foundTo = -std::numeric_limits<double>::infinity();
}

[[gnu::flatten]] CHydData *CHydDataHandler::GetNextHydData(bool &newMainHeader,
                                                           CHydException *exc) {
  CHydException status;
  newMainHeader = false;
  computationFailed = false;
  endedAtBoundary = false;
  int32_t fallback = 0;
  CHydData *particle = nullptr;

  if (!hydFile.IsOpen() || !headerFile.IsOpen()) {
    status.Set(CHydException::fileNotOpened, "CHydDataHandler::GetNextHydData: file not opened");
  } else {
    if (hydData)
      fallback = hydData->GetHydHeader()->startPos;
    hydData = nullptr;
    particle = isSno ? static_cast<CHydData *>(snoData.get()) : rainData.get();
    particle->Reset();
    ReadRecord(*particle, newMainHeader, status);
  }

  status.CopyTo(exc);
  if (status.code == CHydException::none && particle) {
    hydData = particle;
    prevPosition = particle->GetHydHeader()->prevPos;
    return particle;
  }
  const bool keepsPlace =
      status.code == CHydException::endOfFile || status.code == CHydException::generic;
  prevPosition = keepsPlace ? fallback : 0;
  hydData = nullptr;
  return nullptr;
}

void CHydDataHandler::ReadRecord(CHydData &particle, bool &newMainHeader, CHydException &status) {
  int32_t start = 0;
  int16_t tag = 0;
  if (!ReadLeadingHeaders(start, tag, status))
    return;
  if (tag < 0) {
    status.Set(CHydException::badRecordLength, "CHydDataHandler::GetNextHydData: length < 0 ???");
    return;
  }
  if (hydFile.ReadPixHeader(&pixHeader, uint16_t(tag), format, &status) != 1)
    return;
  lastRecordStart = start;
  // A time that is not a count of lines of the day fails this particle only; the records
  // behind it stay framed.
  if (!std::isfinite(pixHeader.tim)) {
    FailTime(status, start);
    return;
  }

  // A time before every main header (0 or -1 of a damaged record) fails this particle only.
  const MainTimEntry *entry = FindEntry(pixHeader.tim, status);
  if (!entry) {
    computationFailed = status.code == CHydException::badRecordLength;
    return;
  }
  if (pixHeader.tim > 86400.0 * entry->mainHeader.lineFrequency) {
    FailTime(status, start);
    return;
  }
  if (&entry->mainHeader != mainHeaderSource) {
    newMainHeader = !(entry->mainHeader == mainHeader);
    if (newMainHeader || mainHeader.backLink != entry->mainHeader.backLink)
      mainHeader = entry->mainHeader;
    mainHeaderSource = &entry->mainHeader;
  }

  if (!particle.CalculateData(&hydFile, &entry->mainHeader, &pixHeader, uint16_t(format),
                              filterRange, &status)) {
    computationFailed = true;
    return;
  }
  const int32_t dataEnd = hydFile.GetPosition();
  if (dataEnd == -1) {
    status.Set(CHydException::generic,
               "CHydDataHandler::GetNextHydData: couldn't get current file position");
    return;
  }
  HydRecord &record = *particle.GetHydHeader();
  record.startPos = start;
  record.nextPos = dataEnd;
  record.prevPos = start - (pixHeader.backLink & PixHeader::LENGTH_MASK);

  const bool trailingOk = ReadTrailingHeaders(record);
  if (!FindPreviousParticle(record, status))
    return;
  lastParticleStart = start;
  // After an absorbed failure at the end of the trailing pass the file stands behind the
  // last drop data again.
  if (!hydFile.SetPosition(trailingOk ? record.nextPos : dataEnd))
    status.Set(CHydException::generic,
               "CHydDataHandler::GetNextHydData: couldn't set file position");
}

bool CHydDataHandler::ReadLeadingHeaders(int32_t &start, int16_t &tag, CHydException &status) {
  for (;;) {
    start = hydFile.GetPosition();
    if (start == -1) {
      status.Set(CHydException::generic,
                 "CHydDataHandler::GetNextHydData: couldn't get file position");
      return false;
    }
    if (!ReadTag(tag, status)) {
      endedAtBoundary = status.code == CHydException::endOfFile && start >= hydFile.GetLength();
      return false;
    }
    if (MainHeader::IsMainHeaderTag(tag)) {
      MainHeader header;
      if (hydFile.ReadMainHeader(&header, tag, format, &status) != 1 || !MainTim(&header, &status))
        return false;
    } else if (tag == QuartHeader::TAG) {
      QuartHeader scratch;
      if (hydFile.ReadQuartHeader(&scratch, tag, &status) != 1)
        return false;
    } else {
      return true;
    }
  }
}

bool CHydDataHandler::ReadTrailingHeaders(HydRecord &record) {
  // Most often the next particle follows at once; the caller stands the file there.
  int16_t next = 0;
  if (hydFile.PeekTag(record.nextPos, next) && next >= 0)
    return true;
  // Running into the end of the file here is normal after the last particle.
  CHydException ignored;
  int16_t tag = 0;
  for (;;) {
    if (!hydFile.SetPosition(record.nextPos) || !ReadTag(tag, ignored))
      return false;
    if (tag >= 0)
      return true;
    // Never past the largest position a file may have.
    if (int64_t(record.nextPos) - tag > CInputFile::MAX_LENGTH)
      return false;
    record.nextPos += -tag;
    if (MainHeader::IsMainHeaderTag(tag)) {
      MainHeader header;
      if (hydFile.ReadMainHeader(&header, tag, format, &ignored) != 1 ||
          !MainTim(&header, &ignored))
        return false;
    } else if (tag == QuartHeader::TAG) {
      QuartHeader scratch;
      if (hydFile.ReadQuartHeader(&scratch, tag, &ignored) != 1)
        return false;
    }
  }
}

bool CHydDataHandler::FindPreviousParticle(HydRecord &record, CHydException &status) {
  int16_t tag = 0;
  for (;;) {
    if (record.prevPos <= 0) {
      record.prevPos = 0;
      return true;
    }
    if (record.prevPos == lastParticleStart)
      return true;
    if (!hydFile.SetPosition(record.prevPos)) {
      status.Set(hydFile.IsEOF() ? CHydException::endOfFile : CHydException::generic,
                 hydFile.IsEOF() ? "End of file"
                                 : "CHydDataHandler::GetNextHydData: couldn't set file "
                                   "position");
      return false;
    }
    if (!ReadTag(tag, status))
      return false;
    if (tag >= 0)
      return true;
    uint8_t linkBytes[2];
    if (hydFile.Read(linkBytes, 2, &status) != 1)
      return false;
    const int32_t length = le::U16(linkBytes) & PixHeader::LENGTH_MASK;
    if (length == 0)
      return true; // a header that names no predecessor ends the walk where it stands
    record.prevPos = length > record.prevPos ? 0 : record.prevPos - length;
  }
}

CHydData *CHydDataHandler::GetPreviousHydData(bool &newMainHeader, CHydException *exc) {
  CHydException status;
  if (!hydFile.IsOpen()) {
    status.Set(CHydException::fileNotOpened,
               "CHydDataHandler::GetPreviousHydData: file not opened");
    status.CopyTo(exc);
    return nullptr;
  }
  if (!hydFile.SetPosition(prevPosition)) {
    status.Set(hydFile.IsEOF() ? CHydException::endOfFile : CHydException::generic,
               hydFile.IsEOF() ? "End of file"
                               : "CHydDataHandler::GetPreviousHydData: couldn't set file "
                                 "position");
    status.CopyTo(exc);
    return nullptr;
  }
  return GetNextHydData(newMainHeader, exc);
}

void CHydDataHandler::FailTime(CHydException &status, int32_t position) {
  char text[200];
  std::snprintf(text, sizeof text,
                "CHydDataHandler::GetNextHydData: particle at position %d has no time of the day "
                "(tim = %g)",
                position, pixHeader.tim);
  status.Set(CHydException::badRecordLength, text);
  computationFailed = true;
}

int32_t CHydDataHandler::RecordEndAfterFailure() {
  // A record shorter than its own header still consumed the header.
  const int64_t end =
      std::max<int64_t>(int64_t(lastRecordStart) + pixHeader.Length(), hydFile.GetPosition());
  return int32_t(std::min<int64_t>(end, CInputFile::MAX_LENGTH));
}

int32_t CHydDataHandler::SetHydFilePosition(int32_t position, CHydException *exc) {
  CHydException status;
  int32_t result = -1;
  if (!hydFile.IsOpen() || !headerFile.IsOpen())
    status.Set(CHydException::generic, "CHydDataHandler::SetHydFilePosition: file not opened");
  else if (!hydFile.SetPosition(position))
    status.Set(CHydException::generic,
               "CHydDataHandler::SetHydFilePosition: could not set file position");
  else
    result = position;
  status.CopyTo(exc);
  return result;
}

int32_t CHydDataHandler::SetHydFilePosition(int hour, int minute, CHydException *exc) {
  CHydException status;
  if (!hydFile.IsOpen() || !headerFile.IsOpen()) {
    status.Set(CHydException::generic, "CHydDataHandler::SetHydFilePosition: file not opened");
    status.CopyTo(exc);
    return -1;
  }
  const int m = hour * 60 + minute;
  const int32_t position = m == 0 ? 0 : headerInfo.GetMinutePosition(m);
  if (position == -1) {
    status.Set(CHydException::generic,
               "CHydDataHandler::SetHydFilePosition: could not get file position");
    status.CopyTo(exc);
    return -1;
  }
  return SetHydFilePosition(position, exc);
}

int CHydDataHandler::SetFilterRange(int16_t diamMin, int16_t diamMax, int16_t velMin,
                                    int16_t velMax, int16_t oblMin, int16_t oblMax, int16_t minPixA,
                                    int16_t maxPixA, int16_t minPixB, int16_t maxPixB,
                                    bool useDefaultPixels, CHydException *exc) {
  CHydException status;
  auto refuse = [&](const char *message) { status.Set(CHydException::generic, message); };
  if (diamMin < diamMax) {
    filterRange.diamMin = diamMin;
    filterRange.diamMax = diamMax;
  } else {
    refuse("CHydDataHandler::SetFilterRange: diamMin must be smaller than diamMax");
  }
  if (velMin < velMax) {
    filterRange.velMin = velMin;
    filterRange.velMax = velMax;
  } else {
    refuse("CHydDataHandler::SetFilterRange: velMin must be smaller than velMax");
  }
  if (oblMin < oblMax) {
    filterRange.oblMin = oblMin;
    filterRange.oblMax = oblMax;
  } else {
    refuse("CHydDataHandler::SetFilterRange: oblMin must be smaller than oblMax");
  }
  if (useDefaultPixels) {
    userPixelRange = false;
    if (hydFile.IsOpen()) {
      ApplyDefaultPixelRange(mainHeader);
    } else {
      filterRange.minPixA = filterRange.minPixB = 0;
      filterRange.maxPixA = filterRange.maxPixB = MAX_PIXEL_512;
    }
  } else {
    if (minPixA < maxPixA) {
      filterRange.minPixA = minPixA;
      filterRange.maxPixA = maxPixA;
      userPixelRange = true;
    } else {
      refuse("CHydDataHandler::SetFilterRange: minPixA must be smaller than maxPixA");
    }
    if (minPixB <= maxPixB) {
      filterRange.minPixB = minPixB;
      filterRange.maxPixB = maxPixB;
      userPixelRange = true;
    } else {
      refuse("CHydDataHandler::SetFilterRange: minPixB must be smaller or equal than maxPixB");
    }
  }
  status.CopyTo(exc);
  return status.code == CHydException::none ? 1 : 0;
}

int CHydDataHandler::SetDropType(unsigned dropType, CHydException *exc, unsigned *replaced) {
  CHydException status;
  int result = 0;
  if (!hydData) {
    status.Set(CHydException::generic, "CHydDataHandler::SetDropType: no hydData available");
  } else if (dropType > 6) {
    status.Set(CHydException::generic, "CHydDataHandler::SetDropType: wrong dropType");
  } else {
    const uint16_t word = ClassWord(pixHeader.backLink, dropType);
    uint16_t before = pixHeader.backLink;
    result = hydFile.WriteDropType(word, hydData->GetHydHeader()->startPos + 2, pixHeader.tag,
                                   pixHeader.backLink, &status, &before);
    if (result) {
      pixHeader.backLink = word;
      if (replaced)
        *replaced = unsigned(before >> 11);
    }
  }
  status.CopyTo(exc);
  return result;
}
