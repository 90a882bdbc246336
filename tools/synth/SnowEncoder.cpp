#include "SnowEncoder.h"

#include "data/LittleEndian.h"

#include <algorithm>
#include <stdexcept>

namespace synth {

namespace {

constexpr size_t MAX_LINES = 1500;
constexpr size_t MAX_SEGMENTS = 6;
constexpr size_t LINES_PER_BLOCK = 256;
constexpr int MAX_FIELD_VALUE = (1 << 14) - 1; // 15-bit field less its flag
constexpr size_t MAX_DROP_DATA = 2047 - 30;    // format-4 pix record less its header

int BitsFor(int value) {
  int bits = 0;
  while ((value >> bits) != 0)
    ++bits;
  return bits;
}

bool SameLine(const SnowLine &a, const SnowLine &b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto &x, auto &y) {
           return x.start == y.start && x.end == y.end;
         });
}

class BitWriter {
public:
  void Field(int value, bool flag, int width) {
    const uint32_t bits = uint32_t(value) | (uint32_t(flag) << (width - 1));
    for (int b = 0; b < width; ++b, ++count) {
      if (count % 16 == 0)
        words.push_back(0);
      if ((bits >> b) & 1u)
        words.back() = uint16_t(words.back() | (1u << (count % 16)));
    }
  }
  size_t Bytes() const { return words.size() * 2; }
  const std::vector<uint16_t> &Words() const { return words; }

private:
  std::vector<uint16_t> words;
  size_t count = 0;
};

void Validate(const std::vector<SnowLine> &lines) {
  if (lines.size() > MAX_LINES)
    throw std::invalid_argument("more snow lines than a camera holds");
  for (const SnowLine &line : lines) {
    if (line.empty() || line.size() > MAX_SEGMENTS)
      throw std::invalid_argument("a snow line needs 1 to 6 segments");
    int previousEnd = 0;
    for (const SnowSegment &s : line) {
      if (s.start < previousEnd || s.end < s.start || s.end - s.start > MAX_FIELD_VALUE ||
          s.start - previousEnd > MAX_FIELD_VALUE + 1023)
        throw std::invalid_argument("snow segments must be ordered and not overlap");
      previousEnd = s.end;
    }
  }
}

void EncodeCamera(const std::vector<SnowLine> &lines, double yCount, std::vector<uint8_t> &out) {
  const size_t start = out.size();
  out.resize(start + 2);
  if (lines.empty()) {
    le::PutU16(out.data() + start, 14); // a bare block head: the camera has no block
    return;
  }

  // The base pixel may not lie right of any line's first segment.
  int base = 1023;
  int maxLight = 0;
  int maxDark = 0;
  int maxRun = 0;
  int run = 0;
  for (const SnowLine &line : lines)
    base = std::min<int>(base, line.front().start);
  for (size_t i = 0; i < lines.size(); ++i) {
    int previousEnd = base;
    for (const SnowSegment &s : lines[i]) {
      maxLight = std::max(maxLight, s.start - previousEnd);
      maxDark = std::max(maxDark, s.end - s.start);
      previousEnd = s.end;
    }
    run = i > 0 && SameLine(lines[i], lines[i - 1]) ? run + 1 : 0;
    maxRun = std::max(maxRun, std::min<int>(run, int(LINES_PER_BLOCK)));
  }
  if (maxLight > MAX_FIELD_VALUE)
    throw std::invalid_argument("snow gap too wide to code");
  const int lightWidth = std::max({1, BitsFor(maxLight), BitsFor(maxRun)}) + 1;
  const int darkWidth = BitsFor(maxDark) + 1;
  const int maxRepeat = (1 << (lightWidth - 1)) - 1;

  std::vector<BitWriter> blocks;
  for (size_t first = 0; first < lines.size(); first += LINES_PER_BLOCK) {
    const size_t last = std::min(lines.size(), first + LINES_PER_BLOCK);
    BitWriter bits;
    int pending = 0;
    auto flush = [&] {
      for (; pending > 0; pending -= std::min(pending, maxRepeat))
        bits.Field(std::min(pending, maxRepeat), true, lightWidth);
    };
    for (size_t i = first; i < last; ++i) {
      if (i > 0 && SameLine(lines[i], lines[i - 1])) {
        ++pending;
        continue;
      }
      flush();
      int previousEnd = base;
      for (size_t j = 0; j < lines[i].size(); ++j) {
        const SnowSegment &s = lines[i][j];
        bits.Field(s.start - previousEnd, false, lightWidth);
        bits.Field(s.end - s.start, j + 1 == lines[i].size(), darkWidth);
        previousEnd = s.end;
      }
    }
    flush();
    bits.Field(0, true, lightWidth); // end of block
    blocks.push_back(std::move(bits));
  }

  size_t coded = 0;
  for (const BitWriter &b : blocks)
    coded = std::max(coded, b.Bytes());
  const size_t nCmp = 14 + coded;
  if (nCmp - 2 > 0x3FFF)
    throw std::invalid_argument("snow block too long to code");
  le::PutU16(out.data() + start, uint16_t(nCmp));
  const uint32_t parameter = uint32_t(nCmp - 2) | (uint32_t(base) << 14) |
                             (uint32_t(darkWidth) << 24) | (uint32_t(lightWidth) << 28);
  for (size_t b = 0; b < blocks.size(); ++b) {
    const size_t at = out.size();
    out.resize(at + nCmp, 0);
    le::PutU32(out.data() + at + 2, parameter);
    le::PutF64(out.data() + at + 6, yCount + double(b * LINES_PER_BLOCK));
    const auto &words = blocks[b].Words();
    for (size_t w = 0; w < words.size(); ++w)
      le::PutU16(out.data() + at + 14 + 2 * w, words[w]);
  }
}

} // namespace

std::vector<uint8_t> EncodeSnow(const std::vector<SnowLine> &linesA,
                                const std::vector<SnowLine> &linesB, double yCountA,
                                double yCountB) {
  Validate(linesA);
  Validate(linesB);
  std::vector<uint8_t> out;
  EncodeCamera(linesA, yCountA, out);
  EncodeCamera(linesB, yCountB, out);
  if (out.size() > MAX_DROP_DATA)
    throw std::invalid_argument("snow particle does not fit a pix record");
  return out;
}

} // namespace synth
