// Particle computation throughput: read the pix record through CHydFile, decompress and compute
// every parameter, as a continuous run through a day's file does.
#include "data/CHydFile.h"
#include "particle/CRainData.h"
#include "particle/CSnoData.h"
#include "synth/HydWriter.h"
#include "synth/RainEncoder.h"
#include "synth/SnowEncoder.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int PARTICLES = 20000;

std::string BenchFile(const char *name) {
  const char *dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/pluvicam_bench_" + std::to_string(getpid()) + name;
}

PixHeader Header(int linesA, int linesB, int16_t offA, int16_t offB, std::mt19937 &random) {
  PixHeader h;
  h.tim = 1000.0 * random();
  h.eqDiam = uint16_t(50 + random() % 400);
  h.lineCountA = int16_t(linesA);
  h.lineDiffB = int16_t(linesB - linesA);
  h.absv = int16_t(20 + random() % 200);
  h.offsetA = offA;
  h.offsetB = offB;
  h.pixScaleH = 1500;
  h.pixScaleA = h.pixScaleB = 1800;
  return h;
}

std::string RainFile() {
  std::mt19937 random(1);
  synth::HydWriter writer(4);
  for (int p = 0; p < PARTICLES; ++p) {
    const int lines = 5 + int(random() % 36);
    const int width = 3 + int(random() % 30);
    const int x = 10 + int(random() % 400);
    synth::RainImage im;
    for (int i = 0; i < 2 * lines; ++i) {
      // A rounded silhouette: widest in the middle line.
      const int half = width * (lines - std::abs(2 * (i % lines) - lines)) / (2 * lines) + 1;
      auto &left = i < lines ? im.leftA : im.leftB;
      auto &right = i < lines ? im.rightA : im.rightB;
      left.push_back(int16_t(x + width / 2 - half));
      right.push_back(int16_t(x + width / 2 + half));
    }
    const synth::EncodedRain enc = synth::EncodeRain(im);
    writer.AddPixRecord(Header(lines, lines, enc.offsetA, enc.offsetB, random), enc.data, enc.bits);
  }
  const std::string path = BenchFile("_rain.hyd");
  synth::WriteFile(path, writer.Bytes());
  return path;
}

std::string SnowFile() {
  std::mt19937 random(2);
  synth::HydWriter writer(4);
  for (int p = 0; p < PARTICLES; ++p) {
    const int lines = 5 + int(random() % 36);
    std::vector<synth::SnowLine> cameras[2];
    for (auto &camera : cameras) {
      synth::SnowLine line;
      for (int i = 0; i < lines; ++i) {
        if (i == 0 || random() % 3 != 0) { // a third of the lines repeat the one before
          line.clear();
          int16_t x = int16_t(100 + random() % 50);
          for (int s = 0, n = 1 + int(random() % 3); s < n; ++s) {
            const int16_t start = int16_t(x + 1 + random() % 8);
            line.push_back({start, int16_t(start + 1 + random() % 20)});
            x = line.back().end;
          }
        }
        camera.push_back(line);
      }
    }
    const auto data = synth::EncodeSnow(cameras[0], cameras[1], 1e6, 1e6 + 3);
    writer.AddPixRecord(Header(lines, lines, 100, 100, random), data);
  }
  const std::string path = BenchFile("_snow.sno");
  synth::WriteFile(path, writer.Bytes());
  return path;
}

// Reads and computes particles in file order, wrapping round at the end of the file.
template <typename Particle> void RunParticles(benchmark::State &state, const std::string &path) {
  CHydFile file;
  if (file.Open(path, CInputFile::modeRead) != 1) {
    state.SkipWithError("could not open the generated file");
    return;
  }
  MainHeader mainHeader = synth::TypicalMainHeader(0);
  auto particle = std::make_unique<Particle>();
  PixHeader pix;
  CHydException exc;
  int64_t failures = 0;
  for (auto _ : state) {
    uint8_t tag[2];
    if (file.Read(tag, 2) != 1) {
      file.SetPosition(0);
      file.Read(tag, 2);
    }
    file.ReadPixHeader(&pix, uint16_t(tag[0] | tag[1] << 8), 4);
    particle->Reset();
    failures += particle->CalculateData(&file, &mainHeader, &pix, 4, FilterRange{}, &exc) != 1;
    benchmark::DoNotOptimize(particle->GetHydHeader()->area);
  }
  if (failures)
    state.SkipWithError(("particles failed: " + exc.message).c_str());
  state.SetItemsProcessed(state.iterations());
}

// Each file is generated once per run and removed at exit.
struct GeneratedFile {
  std::string path;
  ~GeneratedFile() { std::remove(path.c_str()); }
};

void BM_RainFormat4(benchmark::State &state) {
  static const GeneratedFile file{RainFile()};
  RunParticles<CRainData>(state, file.path);
}
void BM_Snow(benchmark::State &state) {
  static const GeneratedFile file{SnowFile()};
  RunParticles<CSnoData>(state, file.path);
}

BENCHMARK(BM_RainFormat4);
BENCHMARK(BM_Snow);

} // namespace

BENCHMARK_MAIN();
