// Writes the seed inputs of the fuzz targets into OUT/<target>/: short synthetic days of every
// format, rain and snow, and small hand-made files with quart headers and repeated headers.
#include "FuzzDay.h"
#include "synth/DayGenerator.h"
#include "synth/HydWriter.h"

#include <filesystem>
#include <iostream>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

void Put(Bytes &out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(uint8_t(value >> (8 * i)));
}

// Packs a data file and its index into the layout of FuzzDay.h.
Bytes Pack(const Bytes &index, const Bytes &data, uint8_t flags, size_t maxData = 48 * 1024) {
  Bytes out{flags};
  std::vector<std::pair<uint32_t, uint32_t>> slots;
  for (uint32_t m = 0; m < uint32_t(fuzzday::SLOTS) && slots.size() < 255; ++m) {
    const size_t at = fuzzday::POSITIONS_OFFSET + m * 4;
    if (at + 4 > index.size())
      break;
    const uint32_t pos = uint32_t(index[at]) | uint32_t(index[at + 1]) << 8 |
                         uint32_t(index[at + 2]) << 16 | uint32_t(index[at + 3]) << 24;
    if (pos != 0xFFFFFFFFu && pos <= maxData)
      slots.emplace_back(m, pos);
  }
  out.push_back(uint8_t(slots.size()));
  for (auto [m, pos] : slots) {
    Put(out, m, 2);
    Put(out, pos, 4);
  }
  const size_t headers = index.size() > fuzzday::INDEX_HEADERS_OFFSET
                             ? index.size() - fuzzday::INDEX_HEADERS_OFFSET
                             : 0;
  Put(out, uint32_t(headers), 2);
  out.insert(out.end(), index.end() - long(headers), index.end());
  out.insert(out.end(), data.begin(), data.begin() + long(std::min(data.size(), maxData)));
  return out;
}

void Save(const fs::path &dir, const std::string &name, const Bytes &bytes) {
  fs::create_directories(dir);
  synth::WriteFile((dir / name).string(), bytes);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds OUT\n";
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path work = out / "work";
  fs::create_directories(work);
  std::vector<std::pair<std::string, Bytes>> days;

  struct Kind {
    const char *name;
    int format;
    bool snow;
  } kinds[] = {{"rain4", 4, false},
               {"rain3", 3, false},
               {"rain2", 2, false},
               {"rain1", 1, false},
               {"snow4", 4, true}};
  for (const Kind &k : kinds) {
    synth::DayOptions options;
    options.outDir = work.string();
    options.name = k.name;
    options.hours = 0.05;
    options.particles = 40;
    options.format = k.format;
    options.snow = k.snow;
    const synth::DayResult day = synth::GenerateDay(options);
    const std::string stem = (work / k.name).string();
    const Bytes index = synth::ReadFile(stem + (k.snow ? ".shd" : ".hd"));
    const Bytes data = synth::ReadFile(day.dataPath);
    days.emplace_back(k.name, Pack(index, data, k.snow ? 1 : 0));
    if (!k.snow)
      days.emplace_back(std::string(k.name) + "pix", Pack(index, data, 2));
    Bytes wind = synth::ReadFile(stem + ".wd");
    // The readings around the recorded minutes.
    const size_t from = size_t(6 * 3600 / 3) * 8;
    if (wind.size() > from) {
      Bytes part(8 * 2, 0);
      part.insert(part.end(), wind.begin() + long(from),
                  wind.begin() + long(std::min(wind.size(), from + 4096)));
      Save(out / "fuzz_wind", k.name, part);
    }
  }

  // Quart headers, a repeated main header and a changed one between tiny particles.
  synth::HydWriter w(4);
  const MainHeader header = synth::TypicalMainHeader(1780272000 + 6 * 3600);
  w.AddMainHeader(header);
  w.MarkMinute(6 * 60 + 1);
  for (int i = 0; i < 6; ++i) {
    synth::AddTinyDrop(w, (6 * 3600 + 1 + i) * 34090.857142857145, i % 7);
    if (i == 1)
      w.AddQuartHeader();
    if (i == 2)
      w.AddMainHeader(header, false);
    if (i == 3) {
      MainHeader later = header;
      later.time += 4;
      w.AddMainHeader(later, false);
      w.MarkMinute(6 * 60 + 2);
    }
  }
  days.emplace_back("headers", Pack(w.IndexBytes(), w.Bytes(), 0));

  for (const auto &[name, bytes] : days) {
    Save(out / "fuzz_walk", name, bytes);
    Bytes seek;
    for (int m : {6 * 60, 6 * 60 + 1, 6 * 60 + 2, 0})
      Put(seek, uint32_t(m), 2);
    Put(seek, 74, 4);
    seek.insert(seek.end(), bytes.begin(), bytes.end());
    Save(out / "fuzz_seek", name, seek);
    Bytes doc = {0, 6, 0, 7, 0, 0, 100, 0, 200, 0, 200, 0, 0, 128, 0};
    doc.insert(doc.end(), bytes.begin(), bytes.end());
    Save(out / "fuzz_document", name, doc);
  }
  const std::string settings = "Tip_Size=0.2\nTime_Start=06:00:00\nTime_End=23:59:59\n"
                               "Diameter Min=0.0\nDiameter Max=50.0\nOblateness Min=0.0\n"
                               "Oblateness Max=2.0\nVelocity Min=0.0\nVelocity Max=30.0\n"
                               "Window Title=Fernwald, Ostland\nHyd-Type=0\n";
  Save(out / "fuzz_settings", "defaults", Bytes(settings.begin(), settings.end()));
  fs::remove_all(work);
  return 0;
}
