#include "HydWriter.h"

#include "data/LittleEndian.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace synth {

std::vector<uint8_t> HydWriter::EncodeMainHeader(const MainHeader &h, int format) {
  std::vector<uint8_t> out(size_t(MainHeader::FileSize(format)));
  uint8_t *p = out.data();
  int16_t tag = format >= 4   ? MainHeader::TAG_FORMAT4
                : format == 3 ? MainHeader::TAG_FORMAT3
                              : MainHeader::TAG_FORMAT12;
  le::PutU16(p, uint16_t(tag));
  le::PutU16(p + 2, h.backLink);
  p += 4;
  for (int i = 0; i < MainHeader::IDENT_LENGTH; ++i)
    *p++ = uint8_t(h.ident[i]);
  le::PutU32(p, uint32_t(h.time));
  le::PutF64(p + 4, h.lineFrequency);
  le::PutF32(p + 12, h.planeDistance1);
  p += 16;
  if (format >= 3) {
    le::PutF32(p, h.planeDistance2);
    le::PutF32(p + 4, h.planeDistance3);
    p += 8;
  }
  if (format >= 4) {
    le::PutU16(p, uint16_t(h.halfPixels));
    p += 2;
  }
  le::PutU16(p, uint16_t(h.firstPixel));
  le::PutU16(p + 2, uint16_t(h.lastPixel));
  le::PutF32(p + 4, h.scaleA);
  le::PutF32(p + 8, h.scaleB);
  le::PutF32(p + 12, h.L0_1);
  le::PutF32(p + 16, h.L0_2);
  le::PutU16(p + 20, uint16_t(h.corrModel));
  le::PutU16(p + 22, h.extra1);
  le::PutU16(p + 24, h.extra2);
  le::PutU16(p + 26, h.extra3);
  le::PutU16(p + 28, h.extra4);
  return out;
}

std::vector<uint8_t> HydWriter::EncodePixHeader(const PixHeader &h, int format) {
  std::vector<uint8_t> out(size_t(PixHeader::FileSize(format)));
  uint8_t *p = out.data();
  le::PutU16(p, h.tag);
  le::PutU16(p + 2, h.backLink);
  p += 4;
  if (format >= 4) {
    le::PutF64(p, h.tim);
    p += 8;
  } else {
    le::PutU32(p, uint32_t(h.tim));
    p += 4;
  }
  le::PutU16(p, h.eqDiam);
  le::PutU16(p + 2, uint16_t(h.lineCountA));
  if (format == 1) {
    p[4] = uint8_t(int8_t(h.lineDiffB));
    p[5] = 0;
  } else {
    le::PutU16(p + 4, uint16_t(h.lineDiffB));
  }
  le::PutU16(p + 6, uint16_t(h.absv));
  le::PutU16(p + 8, uint16_t(h.offsetA));
  le::PutU16(p + 10, uint16_t(h.offsetB));
  p += 12;
  if (format >= 2) {
    le::PutU16(p, h.pixScaleH);
    p += 2;
  }
  le::PutU16(p, h.pixScaleA);
  le::PutU16(p + 2, h.pixScaleB);
  return out;
}

int32_t HydWriter::Append(const std::vector<uint8_t> &record, std::vector<uint8_t> *framedCopy) {
  const int32_t pos = Size();
  bytes.insert(bytes.end(), record.begin(), record.end());
  // The backLink's length bits tell the reader how long the record before this one is; the
  // upper bits (the class of a pix record) are the caller's.
  uint8_t *framed = bytes.data() + pos;
  uint16_t link = le::U16(framed + 2);
  le::PutU16(framed + 2, uint16_t((link & 0xF800) | (lastRecordLength & 0x07FF)));
  lastRecordLength = int32_t(record.size());
  if (framedCopy)
    framedCopy->assign(bytes.begin() + pos, bytes.end());
  return pos;
}

int32_t HydWriter::AddMainHeader(const MainHeader &header, bool inIndex) {
  // The index file repeats the records byte for byte as they stand in the data file.
  std::vector<uint8_t> framed;
  const int32_t pos = Append(EncodeMainHeader(header, format), &framed);
  if (inIndex)
    indexHeaders.push_back(std::move(framed));
  return pos;
}

int32_t HydWriter::AddQuartHeader(const QuartHeader &h) {
  std::vector<uint8_t> out(QuartHeader::FILE_SIZE);
  uint8_t *p = out.data();
  le::PutU16(p, uint16_t(QuartHeader::TAG));
  le::PutU16(p + 2, h.backLink);
  le::PutU32(p + 4, h.quart1);
  le::PutU32(p + 8, h.quart2);
  le::PutU16(p + 12, uint16_t(h.quart3));
  le::PutU16(p + 14, uint16_t(h.quart4));
  le::PutU16(p + 16, uint16_t(h.quart5));
  le::PutU16(p + 18, uint16_t(h.quart6));
  le::PutU32(p + 20, h.quart7);
  return Append(out);
}

int32_t HydWriter::AddPixRecord(const PixHeader &header, const std::vector<uint8_t> &dropData,
                                int bits, int dropType) {
  PixHeader h = header;
  const size_t length = size_t(PixHeader::FileSize(format)) + dropData.size();
  if (length > 0x07FF)
    throw std::runtime_error("pix record longer than 2047 bytes");
  h.tag = uint16_t(length | (unsigned(bits & 0xF) << 11));
  h.backLink = uint16_t(dropType << 11);
  auto record = EncodePixHeader(h, format);
  record.insert(record.end(), dropData.begin(), dropData.end());
  return Append(record);
}

int32_t HydWriter::AddRaw(const std::vector<uint8_t> &raw) {
  const int32_t pos = Size();
  bytes.insert(bytes.end(), raw.begin(), raw.end());
  lastRecordLength = int32_t(raw.size());
  return pos;
}

std::vector<uint8_t> HydWriter::IndexBytes() const {
  std::vector<uint8_t> out(5770, 0);
  for (size_t j = 0; j < positions.size(); ++j)
    le::PutU32(out.data() + 4 + 4 * j, uint32_t(positions[j]));
  for (const auto &record : indexHeaders) {
    out.insert(out.end(), record.begin(), record.end());
  }
  return out;
}

void HydWriter::Write(const std::string &dataPath, const std::string &indexPath) const {
  WriteFile(dataPath, bytes);
  WriteFile(indexPath, IndexBytes());
}

void WriteFile(const std::string &path, const std::vector<uint8_t> &data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(data.data()), std::streamsize(data.size()));
  if (!out)
    throw std::runtime_error("could not write " + path);
}

std::vector<uint8_t> ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("could not read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int32_t AddTinyDrop(HydWriter &writer, double tim, int dropType) {
  PixHeader h;
  h.tim = tim;
  h.eqDiam = 100;
  h.lineCountA = writer.Format() == 1 ? 0 : 1;
  h.lineDiffB = 0;
  h.absv = 200;
  h.offsetA = 100;
  h.offsetB = 200;
  h.pixScaleH = 1500;
  h.pixScaleA = writer.Format() == 1 ? 180 : 1800;
  h.pixScaleB = h.pixScaleA;
  return writer.AddPixRecord(h, {0x21, 0x43, 0x65, 0x87}, 4, dropType);
}

MainHeader TypicalMainHeader(int32_t time) {
  MainHeader h;
  const char ident[] = "PLUVICAM-TEST ";
  for (int i = 0; i < MainHeader::IDENT_LENGTH; ++i)
    h.ident[i] = ident[i];
  h.time = time;
  h.lineFrequency = 34090.857142857145;
  h.planeDistance1 = 6.5f;
  h.planeDistance2 = 6.6f;
  h.planeDistance3 = 6.55f;
  h.halfPixels = 256;
  h.firstPixel = 4;
  h.lastPixel = 507;
  h.scaleA = 0.18f;
  h.scaleB = 0.18f;
  h.L0_1 = 250.0f;
  h.L0_2 = 250.0f;
  return h;
}

} // namespace synth
