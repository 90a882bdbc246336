#include "SnowFlakeScanner.h"

#include "DropPhysics.h"

#include <algorithm>
#include <cmath>

namespace synth {

std::vector<SnowBlob> SnowFlakeScanner::Aggregate(RandomStream &random, double diameter) {
  const int count = diameter < 1.5 ? 1 + int(random.Below(2)) : 2 + int(random.Below(5));
  std::vector<double> weights(static_cast<size_t>(count));
  double total = 0;
  for (auto &w : weights)
    total += (w = random.Uniform(0.3, 1.0));
  const double volume = PI / 6 * diameter * diameter * diameter;
  std::vector<SnowBlob> blobs;
  for (int i = 0; i < count; ++i) {
    SnowBlob b;
    const double radius = std::cbrt(3 * volume * weights[size_t(i)] / total / (4 * PI));
    const double ratio = random.Uniform(0.4, 1.0);
    b.a = radius / std::cbrt(ratio);
    b.c = b.a * ratio;
    b.stretchA = random.Uniform(0.7, 1.3);
    b.stretchB = random.Uniform(0.7, 1.3);
    if (i > 0) {
      const SnowBlob &anchor = blobs[random.Below(uint32_t(i))];
      // Arms reach out sideways, so that some lines cross gaps between them; vertically the
      // blob always overlaps its anchor, so that every line of the flake shades something.
      const double phi = random.Uniform(0, 2 * PI);
      const double reach = (anchor.a + b.a) * random.Uniform(0.6, 1.25);
      b.x = anchor.x + reach * std::cos(phi);
      b.y = anchor.y + reach * std::sin(phi);
      b.z = anchor.z + (anchor.c + b.c) * random.Uniform(-0.5, 0.5);
    }
    blobs.push_back(b);
  }
  return blobs;
}

int SnowFlakeScanner::ScanCamera(const SnowFlake &flake, bool cameraA, double phase, double centre,
                                 double scale, std::vector<SnowLine> &lines) const {
  lines.clear();
  int skipped = 0;
  double bottom = 1e9, top = -1e9;
  for (const auto &b : flake.blobs) {
    bottom = std::min(bottom, b.z - b.c);
    top = std::max(top, b.z + b.c);
  }
  const double lf = geometry.LineFrequency();
  const double lineStep = flake.fallSpeed * 1000 / lf;
  const double drift = (cameraA ? flake.speedA : flake.speedB) * 1000 / lf;
  struct Run {
    double from, to;
  };
  Run runs[16];
  for (int k = 0;; ++k) {
    const double along = (phase + k) * lineStep;
    if (along > top - bottom && k > 0)
      break;
    const double z = bottom + along;
    int n = 0;
    for (const auto &b : flake.blobs) {
      const double u = (z - b.z) / b.c;
      if (std::abs(u) >= 1 || n == 16)
        continue;
      const double half = b.a * (cameraA ? b.stretchA : b.stretchB) * std::sqrt(1 - u * u);
      const double x = (cameraA ? b.x : b.y) + (phase + k) * drift;
      runs[n++] = {centre + (x - half) / scale, centre + (x + half) / scale};
    }
    std::sort(runs, runs + n, [](const Run &l, const Run &r) { return l.from < r.from; });
    SnowLine line;
    for (int i = 0; i < n; ++i) {
      SnowSegment s{int16_t(std::lround(runs[i].from)), int16_t(std::lround(runs[i].to))};
      if (s.end <= s.start)
        continue; // under half a pixel: the camera does not see it
      if (!line.empty() && s.start <= line.back().end)
        line.back().end = std::max(line.back().end, s.end);
      else
        line.push_back(s);
    }
    // More segments than a line can hold: close the narrowest gaps.
    while (line.size() > MAX_SEGMENTS) {
      size_t best = 1;
      for (size_t i = 2; i < line.size(); ++i)
        if (line[i].start - line[i - 1].end < line[best].start - line[best - 1].end)
          best = i;
      line[best - 1].end = line[best].end;
      line.erase(line.begin() + long(best));
    }
    if (line.empty() && n > 0) {
      // Inside the flake every line shades at least one pixel; the very ends may not.
      const int16_t p = int16_t(std::floor((runs[0].from + runs[0].to) / 2));
      line.push_back({p, int16_t(p + 1)});
      if (k == 0 || along + lineStep > top - bottom)
        line.clear();
    }
    if (!line.empty() || !lines.empty())
      lines.push_back(line);
    else
      ++skipped;
  }
  while (!lines.empty() && lines.back().empty())
    lines.pop_back();
  return skipped;
}

SnowFlakeScanner::FirstLines SnowFlakeScanner::Scan(const SnowFlake &flake,
                                                    std::vector<SnowLine> &linesA,
                                                    std::vector<SnowLine> &linesB) const {
  const double lf = geometry.LineFrequency();
  const double scaleA = geometry.ScaleA(flake.pixelB), scaleB = geometry.ScaleB(flake.pixelA);
  const double startA = flake.arrival * lf;
  const double firstA = std::ceil(startA);
  const int skippedA = ScanCamera(flake, true, firstA - startA, flake.pixelA, scaleA, linesA);
  const double delay =
      geometry.PlaneDistance(float(flake.pixelA), float(flake.pixelB)) / (flake.fallSpeed * 1000);
  const double startB = (flake.arrival + delay) * lf;
  const double firstB = std::ceil(startB);
  const int skippedB = ScanCamera(flake, false, firstB - startB, flake.pixelB, scaleB, linesB);
  return {firstA + skippedA, firstB + skippedB};
}

} // namespace synth
