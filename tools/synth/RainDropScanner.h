#pragma once
#include "CameraGeometry.h"
#include "RainEncoder.h"

namespace synth {

// A rain drop as it crosses the measuring area.
struct RainDrop {
  double diameter = 1;  // equivalent diameter, mm
  double axisRatio = 1; // vertical over horizontal axis
  double cantA = 0;     // canting angle seen by camera A, radians
  double cantB = 0;     // seen by camera B
  double fallSpeed = 1; // m/s
  double speedA = 0;    // horizontal m/s along camera A's pixel axis
  double speedB = 0;    // along camera B's pixel axis
  double pixelA = 256;  // centre on camera A's line where camera A sees it, pixels
  double pixelB = 256;  // on camera B's line where camera B sees it
  double arrival = 0;   // seconds of day when the drop meets the first plane
};

// Line-scan view of a drop: the oblate spheroid projected into each camera as a canted ellipse,
// sampled once per camera line while it falls through the light plane, sheared by its
// horizontal motion, edges quantised to whole pixels.
class RainDropScanner {
public:
  explicit RainDropScanner(const CameraGeometry &geometry) : geometry(geometry) {}

  // Fills `image`; returns the line counter of camera A's first line.
  double Scan(const RainDrop &drop, RainImage &image) const;

  // Scans one camera: semi-axes a (horizontal) and c (vertical) in mm, canting `theta`, one
  // line every `lineStep` mm of fall, the first line `phase` (0..1) of a step after the drop's
  // bottom reached the plane; the centre at `centre` pixels of `scale` mm, moving `drift` mm
  // per line.
  static void ScanEllipse(double a, double c, double theta, double lineStep, double phase,
                          double centre, double scale, double drift, std::vector<int16_t> &left,
                          std::vector<int16_t> &right);

private:
  const CameraGeometry &geometry;
};

} // namespace synth
