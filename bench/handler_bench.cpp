// Whole-file walks through the data handler: leading and trailing headers, the time index,
// the particle computation and the walk back, as `pluvicam-cli scan` and a run do.
#include "document/CHydDataHandler.h"
#include "particle/CHydData.h"
#include "synth/HydWriter.h"
#include "synth/RainEncoder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int PARTICLES = 1000000;
constexpr int32_t DAY = 1780272000;

std::string RainDay() {
  static const std::string path = [] {
    const char *dir = std::getenv("TMPDIR");
    const std::string base =
        std::string(dir ? dir : "/tmp") + "/pluvicam_walk_" + std::to_string(getpid());
    std::mt19937 random(7);
    synth::HydWriter writer(4);
    writer.AddMainHeader(synth::TypicalMainHeader(DAY));
    const double linesPerParticle = 86000.0 * 34090.857142857145 / PARTICLES;
    for (int p = 0; p < PARTICLES; ++p) {
      if (p % 50000 == 0)
        writer.AddQuartHeader();
      const int lines = 5 + int(random() % 36);
      const int width = 3 + int(random() % 30);
      const int x = 10 + int(random() % 400);
      synth::RainImage im;
      for (int i = 0; i < lines; ++i) {
        const int half = width * (lines - std::abs(2 * i - lines)) / (2 * lines) + 1;
        for (auto *edges : {&im.leftA, &im.leftB})
          edges->push_back(int16_t(x + width / 2 - half));
        for (auto *edges : {&im.rightA, &im.rightB})
          edges->push_back(int16_t(x + width / 2 + half));
      }
      const synth::EncodedRain enc = synth::EncodeRain(im);
      PixHeader h;
      h.tim = 100 + p * linesPerParticle;
      h.eqDiam = uint16_t(50 + random() % 400);
      h.lineCountA = int16_t(lines);
      h.absv = int16_t(20 + random() % 200);
      h.offsetA = enc.offsetA;
      h.offsetB = enc.offsetB;
      h.pixScaleH = 1500;
      h.pixScaleA = h.pixScaleB = 1800;
      writer.AddPixRecord(h, enc.data, enc.bits);
    }
    writer.Write(base + ".hyd", base + ".hd");
    return base + ".hyd";
  }();
  return path;
}

void WalkRainDay(benchmark::State &state) {
  const std::string path = RainDay();
  int64_t particles = 0;
  for (auto _ : state) {
    CHydDataHandler handler;
    CHydException e;
    if (!handler.Open(path, CInputFile::modeRead, &e)) {
      state.SkipWithError(e.message.c_str());
      return;
    }
    bool newMain = false;
    while (CHydData *p = handler.GetNextHydData(newMain, &e)) {
      benchmark::DoNotOptimize(p->GetHydHeader()->velocity);
      ++particles;
    }
    if (e.code != CHydException::endOfFile)
      state.SkipWithError(e.message.c_str());
  }
  state.counters["particles/s"] =
      benchmark::Counter(double(particles), benchmark::Counter::kIsRate);
}
BENCHMARK(WalkRainDay)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
