#pragma once
#include "data/MainHeader.h"
#include "data/PixHeader.h"
#include "data/QuartHeader.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// Builds a hydrometeor data file in memory with correct tag/backLink framing, and its index file.
class HydWriter {
public:
  explicit HydWriter(int format) : format(format) {}

  int Format() const { return format; }
  int32_t Size() const { return int32_t(bytes.size()); }
  const std::vector<uint8_t> &Bytes() const { return bytes; }
  // Room for a file of about this size, for big generated files.
  void Reserve(size_t size) { bytes.reserve(size); }

  // Appends a main header (its tag chosen by the format) and remembers it for the index file
  // unless `inIndex` is false. Returns the record's position.
  int32_t AddMainHeader(const MainHeader &header, bool inIndex = true);
  int32_t AddQuartHeader(const QuartHeader &header = {});
  // Appends a pix record: the header in this writer's format plus `dropData`. The tag's length
  // bits are computed here; its `bits` field comes from `bits`; the class from `dropType`.
  int32_t AddPixRecord(const PixHeader &header, const std::vector<uint8_t> &dropData, int bits = 0,
                       int dropType = 0);
  // Appends raw bytes as a record of the given length for framing (for corrupt-record tests).
  int32_t AddRaw(const std::vector<uint8_t> &raw);

  // Marks the start of minute m (1..1441) of the day at the current end of the file.
  void MarkMinute(int m) { positions.at(size_t(m - 1)) = Size(); }
  void SetMinutePosition(int m, int32_t pos) { positions.at(size_t(m - 1)) = pos; }

  std::vector<uint8_t> IndexBytes() const;
  // Writes NAME.hyd (or the given data path) and the index file beside it.
  void Write(const std::string &dataPath, const std::string &indexPath) const;

  static std::vector<uint8_t> EncodeMainHeader(const MainHeader &header, int format);
  static std::vector<uint8_t> EncodePixHeader(const PixHeader &header, int format);

private:
  int32_t Append(const std::vector<uint8_t> &record, std::vector<uint8_t> *framedCopy = nullptr);

  int format;
  std::vector<uint8_t> bytes;
  int32_t lastRecordLength = 0;
  std::vector<std::vector<uint8_t>> indexHeaders;
  std::array<int32_t, 1441> positions = [] {
    std::array<int32_t, 1441> p{};
    p.fill(-1);
    return p;
  }();
};

// Writes a byte vector to a file, throwing std::runtime_error on failure (test and tool code).
void WriteFile(const std::string &path, const std::vector<uint8_t> &data);
std::vector<uint8_t> ReadFile(const std::string &path);

// Main header of format 4 with the instrument's usual settings, for tests and demo files.
MainHeader TypicalMainHeader(int32_t time);

// The smallest drop the reader accepts, at camera line `tim`: one line per camera with 4-bit
// values 1, 2, 3, 4 (A edges 1..2, B edges 3..4 plus offsets). Returns the record's position.
int32_t AddTinyDrop(HydWriter &writer, double tim, int dropType = 0);

} // namespace synth
