#include "ParticleCsv.h"
#include "particle/CContour.h"
#include "synth/DropOutline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double LINE_FREQUENCY = 34090.857142857145;
constexpr double PIXEL = 0.05; // mm per pixel and per line

// Ellipses cannot be used here: the midpoints of parallel chords of an ellipse lie on a line
// in every direction, so any angle fits. The drops are egg-shaped (wider at the bottom) and
// only chords across their axis have collinear midpoints.
struct Corrected {
  CContour contour;
  HydRecord record;
  int chords = 0;
};

Corrected Correct(const synth::DropShape &shape, int correction, int camera = 1) {
  const synth::DropEdges e = synth::RasteriseDrop(shape, PIXEL, PIXEL);
  Corrected c;
  c.record.scaleHeight = float(PIXEL);
  std::string message;
  EXPECT_EQ(c.contour.CreateSmooth(e.left, e.right, e.lines, PIXEL, PIXEL, e.minPos, &message), 1)
      << message;
  c.chords = c.contour.SymmetricCorrection(&c.record, LINE_FREQUENCY, camera, correction);
  return c;
}

double MinX(const CContour &c) {
  double x = 1e9;
  for (const CSegment &s : c.GetSegments())
    x = std::min(x, s.start.x);
  return x;
}

} // namespace

TEST(SymmetricCorrection, UprightDropNeedsNoShear) {
  const Corrected c = Correct({3.0, 0.8, 0.3, 0, 0}, 1);
  const HydRecord &r = c.record;
  EXPECT_EQ(r.corrFlagsA, 0);
  EXPECT_GT(c.chords, 0);
  EXPECT_EQ(c.chords, c.contour.GetChordCount());
  EXPECT_NEAR(c.contour.GetShear(), 0, 0.005);
  EXPECT_NEAR(r.cantingA, 0, 0.6); // one step of the angle grid
  EXPECT_NEAR(r.corrHVelA, 0, 0.01);
  // Height and width within two pixels (edges sit at pixel centres).
  EXPECT_NEAR(r.corrHeightA, 2.4, 2 * PIXEL);
  EXPECT_NEAR(r.corrWidthA, 3.0, 2 * PIXEL);
  EXPECT_LT(r.rmsA, 10);
  // The outline is shifted to start at x = 0 and the display points follow it.
  EXPECT_DOUBLE_EQ(MinX(c.contour), 0);
  EXPECT_EQ(r.displayA[0], std::trunc(500.0f * c.contour.GetAxisTop().x));
  EXPECT_EQ(r.displayA[3], std::trunc(500.0f * c.contour.GetAxisBottom().y));
  EXPECT_EQ(r.displayA[4], std::trunc(500.0f * c.contour.GetWidthLeft().x));
  EXPECT_EQ(r.displayA[7], std::trunc(500.0f * c.contour.GetWidthRight().y));
  EXPECT_EQ(r.corrHeightB, 0);
  EXPECT_EQ(r.corrFlagsB, 0);
}

TEST(SymmetricCorrection, ShearedDropIsUndone) {
  const Corrected c = Correct({3.0, 0.8, 0.3, 0, 0.2}, 1, 2);
  const HydRecord &r = c.record;
  EXPECT_EQ(r.corrFlagsB, 0);
  EXPECT_NEAR(c.contour.GetShear(), -0.2, 0.01);
  const double hVel = 0.2 * PIXEL * LINE_FREQUENCY / 1000;
  EXPECT_NEAR(r.corrHVelB, hVel, 0.05 * hVel);
  EXPECT_NEAR(r.corrHVelB, -r.shearB / 5000 * LINE_FREQUENCY / 1000, 0.01);
  EXPECT_NEAR(r.shearB, 5000 * c.contour.GetShear() * PIXEL, 1);
  // After the shear the axis stands upright and the width line across it.
  EXPECT_NEAR(c.contour.GetAxisTop().x, c.contour.GetAxisBottom().x, PIXEL);
  EXPECT_NEAR(r.cantingB, 0, 0.6);
  EXPECT_NEAR(r.corrHeightB, 2.4, 2 * PIXEL);
  // So does the outline itself: top and bottom point above each other, segments still joined.
  const auto segments = c.contour.GetSegments();
  const auto [top, bottom] = std::minmax_element(
      segments.begin(), segments.end(),
      [](const CSegment &p, const CSegment &q) { return p.start.y < q.start.y; });
  EXPECT_NEAR(top->start.x, bottom->start.x, 2 * PIXEL);
  for (size_t k = 0; k < segments.size(); ++k)
    EXPECT_EQ(segments[k].end, segments[(k + 1) % segments.size()].start);
  EXPECT_EQ(r.corrHeightA, 0);
}

TEST(SymmetricCorrection, SwitchedOffReportsTheShearButKeepsTheOutline) {
  const synth::DropShape shape{3.0, 0.8, 0.3, 0, 0.2};
  const Corrected off = Correct(shape, 0);
  const Corrected on = Correct(shape, 1);
  EXPECT_EQ(off.contour.GetShear(), 0);
  EXPECT_EQ(off.record.shearA, on.record.shearA);
  EXPECT_EQ(off.record.corrHVelA, on.record.corrHVelA);
  // Axis and width are far from perpendicular, yet that is no fault without the correction.
  const auto top = off.contour.GetAxisTop(), bottom = off.contour.GetAxisBottom();
  const auto left = off.contour.GetWidthLeft(), right = off.contour.GetWidthRight();
  EXPECT_GT(
      std::fabs((bottom.x - top.x) * (right.x - left.x) + (bottom.y - top.y) * (right.y - left.y)),
      0.1);
  EXPECT_EQ(off.record.corrFlagsA, 0);

  // The outline is only shifted.
  const synth::DropEdges e = synth::RasteriseDrop(shape, PIXEL, PIXEL);
  CContour fresh;
  ASSERT_EQ(fresh.CreateSmooth(e.left, e.right, e.lines, PIXEL, PIXEL, e.minPos), 1);
  const double shift = MinX(fresh);
  for (int k = 0; k < fresh.GetCount(); ++k) {
    EXPECT_NEAR(off.contour.GetSegments()[k].start.x, fresh.GetSegments()[k].start.x - shift,
                1e-12);
    EXPECT_EQ(off.contour.GetSegments()[k].start.y, fresh.GetSegments()[k].start.y);
  }
}

TEST(SymmetricCorrection, RecoversTiltAndShear) {
  // At 0.05 mm per pixel the pixel staircase moves chord midpoints by up to a quarter pixel,
  // which leaves the rms nearly flat within about ±2° of the true chord direction. The chosen
  // angle is therefore good to 3° (grid step 0.5° included), and a chord direction off by 2°
  // turns the shear that makes axis and chords perpendicular by up to about 0.035.
  const double tilts[] = {-12, -5, 0, 5, 12, 20};
  const double shears[] = {-0.2, 0, 0.15};
  for (double width : {3.0, 4.0})
    for (double tilt : tilts)
      for (double shear : shears) {
        const Corrected c = Correct({width, 0.8, 0.3, tilt, shear}, 1);
        SCOPED_TRACE(testing::Message()
                     << "width " << width << " tilt " << tilt << " shear " << shear);
        EXPECT_EQ(c.record.corrFlagsA, 0);
        EXPECT_NEAR(c.record.cantingA, tilt, 3.0);
        EXPECT_NEAR(c.contour.GetShear(), -shear, 0.04);
      }
}

TEST(SymmetricCorrection, BestAngleAtTheEndOfTheRangeIsFlaggedButStored) {
  // Tilted just beyond the search range, the rms keeps falling towards its ends.
  for (double tilt : {26.0, -26.0}) {
    const Corrected c = Correct({3.0, 0.8, 0.3, tilt, 0}, 1);
    EXPECT_EQ(c.record.corrFlagsA & CContour::FLAG_NO_MINIMUM, CContour::FLAG_NO_MINIMUM);
    EXPECT_GT(c.record.corrHeightA, 2.0);
    EXPECT_GT(c.record.corrWidthA, 2.0);
  }
}

TEST(SymmetricCorrection, RefusesBadInputAndFlagsDegenerateContours) {
  CContour empty;
  HydRecord r;
  r.corrHeightA = 7;
  EXPECT_EQ(empty.SymmetricCorrection(nullptr, LINE_FREQUENCY, 1, 1), -1);
  EXPECT_EQ(empty.SymmetricCorrection(&r, LINE_FREQUENCY, 3, 1), -1);
  EXPECT_EQ(r.corrHeightA, 7);
  // No outline: no axis can be fitted.
  EXPECT_EQ(empty.SymmetricCorrection(&r, LINE_FREQUENCY, 1, 1), 0);
  EXPECT_EQ(r.corrFlagsA, CContour::FLAG_NO_SOLUTION);

  // A tall zigzag staircase has more chords than the table holds.
  const int n = 1199;
  std::vector<int16_t> left(static_cast<size_t>(n)), right(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    left[i] = int16_t(10 + i % 2);
    right[i] = int16_t(40 - i % 2);
  }
  CContour tall;
  ASSERT_EQ(tall.Create(left, right, n, 0.1, 0.01, 10), 1);
  float a = 0, b = 0;
  double rms = 0;
  EXPECT_EQ(tall.FindSymmetryAxis(0.1, a, b, rms), -1);
  EXPECT_EQ(tall.GetChordCount(), CContour::MAX_CHORDS);
  tall.SymmetricCorrection(&r, LINE_FREQUENCY, 1, 1);
  EXPECT_EQ(r.corrFlagsA, CContour::FLAG_OVERFLOW);
}

TEST(SymmetricCorrection, ChordsAndAxisFitOfARectangle) {
  // Corners (0, 0), (0, 0.5), (0, 1), (1, 1), (1, 0.5), (1, 0); binary fractions keep it exact.
  // Horizontal chords start at segment starts and midpoints; a segment's own end (t = 1) and
  // horizontal segments are never hit, so (0, 0) and (1, 1) start none, and the chords along
  // the bottom and top edges pull the fit off the centre line.
  const std::vector<int16_t> left = {10, 10}, right = {14, 14};
  CContour c;
  ASSERT_EQ(c.Create(left, right, 2, 0.25, 0.5, 10), 1);
  float a = 9, b = 9;
  double rms = 9;
  ASSERT_EQ(c.FindSymmetryAxis(0, a, b, rms), 10);
  EXPECT_NEAR(a, 0.2, 1e-6);
  EXPECT_NEAR(b, 0.4, 1e-6);
  EXPECT_NEAR(rms, std::sqrt(0.0075), 1e-6);
  for (const CContour::Chord &chord : c.GetChords()) {
    EXPECT_EQ(chord.start.y, chord.end.y);
    EXPECT_EQ(chord.mid.x, (chord.start.x + chord.end.x) / 2);
  }
}

TEST(SymmetricCorrection, AFailedAxisKeepsTheFitAndTheCsvShowsIt) {
  // Blocks that step right and back: the fitted axis runs through the steps and meets the
  // outline far more than three times.
  std::vector<int16_t> left, right;
  for (int block = 0; block < 4; ++block)
    for (int i = 0; i < 10; ++i) {
      left.push_back(int16_t(block % 2 ? 25 : 10));
      right.push_back(int16_t(block % 2 ? 35 : 20));
    }
  const int n = int(left.size());
  CContour a, b;
  ASSERT_EQ(a.Create(left, right, n, 0.1, 0.1, 10), 1);
  ASSERT_EQ(b.Create(left, right, n, 0.1, 0.1, 10), 1);
  HydRecord r;
  r.scaleHeight = 0.1f;
  a.SymmetricCorrection(&r, LINE_FREQUENCY, 1, 1);
  b.SymmetricCorrection(&r, LINE_FREQUENCY, 2, 1);
  ASSERT_EQ(r.corrFlagsA & CContour::FLAG_NO_SOLUTION, CContour::FLAG_NO_SOLUTION);
  const CContour::CorrectionComputed known = a.GetCorrectionComputed();
  EXPECT_TRUE(known.rms);
  EXPECT_FALSE(known.sizes);
  EXPECT_GT(r.rmsA, 0) << "the fit's rms is known before the axis fails";
  EXPECT_EQ(r.corrHeightA, 0);

  // Its CSV cells: no sizes, but the rms and the flags.
  std::string row;
  csv::AppendContours(row, r, a, b, true);
  std::vector<std::string> cells;
  for (size_t from = 0;;) {
    const size_t comma = row.find(',', from);
    cells.push_back(row.substr(from, comma - from));
    if (comma == std::string::npos)
      break;
    from = comma + 1;
  }
  ASSERT_EQ(cells.size(), 14u) << row;
  for (int i = 2; i < 6; ++i)
    EXPECT_EQ(cells[size_t(i)], "") << i << ": " << row;
  EXPECT_EQ(cells[6], std::to_string(r.rmsA)) << row;
  EXPECT_EQ(cells[7], std::to_string(r.corrFlagsA)) << row;

  // A contour cleared by a new outline forgets what the last correction computed.
  ASSERT_EQ(a.Create(left, right, n, 0.1, 0.1, 10), 1);
  EXPECT_FALSE(a.GetCorrectionComputed().rms);
}
