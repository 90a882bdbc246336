#pragma once
#include "CameraGeometry.h"
#include "RandomStream.h"
#include "SnowEncoder.h"

#include <vector>

namespace synth {

// One crystal or cluster of an aggregate: a spheroid at (x, y, z) mm from the flake's centre,
// x along camera A's pixel axis, y along camera B's, z up. Its horizontal axis looks different
// from the two sides (`stretchA`, `stretchB`), which makes the outlines irregular.
struct SnowBlob {
  double x = 0, y = 0, z = 0;
  double a = 0.5, c = 0.5; // horizontal and vertical semi-axes, mm
  double stretchA = 1, stretchB = 1;
};

struct SnowFlake {
  std::vector<SnowBlob> blobs;
  double fallSpeed = 1; // m/s
  double speedA = 0, speedB = 0;
  double pixelA = 256, pixelB = 256;
  double arrival = 0; // seconds of day when the flake's bottom meets the first plane
};

// The line-scan view of a snow aggregate: per camera line the union of the blobs' chords, up to
// six segments, pixel-quantised; lines that quantise alike come out identical, which the snow
// coding writes as repetitions.
class SnowFlakeScanner {
public:
  static constexpr int MAX_SEGMENTS = 6;

  explicit SnowFlakeScanner(const CameraGeometry &geometry) : geometry(geometry) {}

  // An aggregate of 1-6 blobs whose volumes add up to the sphere of `diameter` mm, each blob
  // touching one placed before it so that the flake hangs together.
  static std::vector<SnowBlob> Aggregate(RandomStream &random, double diameter);

  // Fills the lines of both cameras; returns the line counters of their first lines.
  struct FirstLines {
    double a, b;
  };
  FirstLines Scan(const SnowFlake &flake, std::vector<SnowLine> &linesA,
                  std::vector<SnowLine> &linesB) const;

private:
  // Returns the number of leading lines too faint to show.
  int ScanCamera(const SnowFlake &flake, bool cameraA, double phase, double centre, double scale,
                 std::vector<SnowLine> &lines) const;
  const CameraGeometry &geometry;
};

} // namespace synth
