#include "particle/CAkima.h"
#include "particle/CContour.h"
#include "particle/CSplineCurve.h"
#include "particle/ContourBuilder.h"
#include "synth/DropOutline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Edges = std::vector<int16_t>;

double Area(const CContour &c) {
  double twice = 0;
  for (const CSegment &s : c.GetSegments())
    twice += s.start.x * s.end.y - s.end.x * s.start.y;
  return std::fabs(twice) / 2;
}

} // namespace

TEST(RawContour, TwoLineDropGivesTheStaircasePolygon) {
  const Edges left = {10, 10}, right = {14, 14};
  CContour c;
  ASSERT_EQ(c.Create(left, right, 2, 0.1, 0.1, 10), 1);
  const double expected[6][2] = {{0, 0}, {0, 0.1}, {0, 0.2}, {0.4, 0.2}, {0.4, 0.1}, {0.4, 0}};
  ASSERT_EQ(c.GetCount(), 6);
  for (int k = 0; k < 6; ++k) {
    EXPECT_NEAR(c.GetSegments()[k].start.x, expected[k][0], 1e-12) << k;
    EXPECT_NEAR(c.GetSegments()[k].start.y, expected[k][1], 1e-12) << k;
    EXPECT_EQ(c.GetSegments()[k].end, c.GetSegments()[(k + 1) % 6].start);
  }
  EXPECT_FLOAT_EQ(c.GetAxisBottom().x, 0.2f);
  EXPECT_FLOAT_EQ(c.GetAxisBottom().y, 0.2f);
  EXPECT_FLOAT_EQ(c.GetAxisTop().x, 0.2f);
  EXPECT_FLOAT_EQ(c.GetAxisTop().y, 0.0f);
}

TEST(RawContour, RefusesParticlesOutsideTheLineRange) {
  const Edges edges(1300, 10), wide(1300, 20);
  CContour c;
  std::string raw, smooth;
  EXPECT_EQ(c.Create(edges, wide, 1, 0.1, 0.1, 0, &raw), 0);
  EXPECT_EQ(c.CreateSmooth(edges, wide, 1, 0.1, 0.1, 0, &smooth), 0);
  EXPECT_EQ(raw, "CContour::Create: number of points < 4");
  EXPECT_EQ(smooth, "number of points < 4");
  EXPECT_EQ(c.Create(edges, wide, 1201, 0.1, 0.1, 0, &raw), 0);
  EXPECT_EQ(c.CreateSmooth(edges, wide, 1201, 0.1, 0.1, 0, &smooth), 0);
  EXPECT_EQ(raw, "CContour::Create: number of points > MAXLIN");
  EXPECT_EQ(smooth, "number of points > MAXLIN");
  // More lines than the arrays hold is refused, not read past.
  raw.clear();
  EXPECT_EQ(c.Create(std::span(edges).first(5), wide, 6, 0.1, 0.1, 0, &raw), 0);
  EXPECT_EQ(raw, "CContour::Create: number of points > MAXLIN");
  EXPECT_EQ(c.GetCount(), 0);
}

TEST(RawContour, SinglePeakedSymmetricSilhouetteGivesMirroredContour) {
  // Both sides of the staircase are walked away from the widest line, so a silhouette that is
  // widest in one line only must come out mirror-symmetric, down to its second line.
  std::mt19937 random(7);
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<int> half = {1 + int(random() % 2)};
    while (half.back() < 8)
      half.push_back(half.back() + int(random() % 3));
    for (int peak = half.back(); half.back() > 1 || half.size() < 6;)
      half.push_back(std::max(1, std::min(peak - 1, half.back() - int(random() % 3))));
    const int n = int(half.size());
    Edges left(static_cast<size_t>(n)), right(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      left[i] = int16_t(50 - half[i]);
      right[i] = int16_t(50 + half[i]);
    }
    CContour c;
    ASSERT_EQ(c.Create(left, right, n, 1, 1, 0), 1);
    std::vector<std::pair<double, double>> points, mirrored;
    for (const CSegment &s : c.GetSegments()) {
      points.emplace_back(s.start.x, s.start.y);
      mirrored.emplace_back(100 - s.start.x, s.start.y);
    }
    std::sort(points.begin(), points.end());
    std::sort(mirrored.begin(), mirrored.end());
    EXPECT_EQ(points, mirrored) << "trial " << trial;
  }
}

TEST(RawContour, TallestDecompressibleParticleFits) {
  // Every line steps in or out: the most points a staircase can need.
  const int n = 1199;
  Edges left(static_cast<size_t>(n)), right(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    left[i] = int16_t(10 + i % 2);
    right[i] = int16_t(40 - i % 2);
  }
  CContour c;
  std::string message;
  ASSERT_EQ(c.Create(left, right, n, 0.1, 0.01, 10, &message), 1) << message;
  EXPECT_GT(c.GetCount(), 3000);
  EXPECT_LE(c.GetCount(), CContour::MAX_POINTS);
  ASSERT_EQ(c.CreateSmooth(left, right, n, 0.1, 0.01, 10, &message), 1) << message;
  EXPECT_EQ(c.GetCount(), 2 * n);
}

TEST(RawContour, BuildableSaysWhatCreateWillDo) {
  // Runs skip the outlines nobody sees but must still learn of those that cannot be built.
  std::mt19937 random(11);
  const Edges big(CContour::MAXLIN + 10, 0);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = trial < 8 ? std::array{-1, 0, 1, 2, 3, 1199, 1200, 1201}[size_t(trial)]
                            : int(random() % (CContour::MAXLIN + 40));
    const size_t size = trial % 5 == 0 ? size_t(std::max(0, n - 1)) : big.size();
    Edges left(size), right(size);
    // Zig-zag edges of any step pattern, the costliest staircases included.
    for (size_t i = 0; i < size; ++i) {
      left[i] = int16_t(100 + int(random() % 3) - (trial % 2 ? int(i % 2) : 0));
      right[i] = int16_t(200 - int(random() % 3) + (trial % 2 ? int(i % 2) : 0));
    }
    CContour c;
    EXPECT_EQ(CContour::RawBuildable(left, right, n) ? 1 : 0,
              c.Create(left, right, n, 0.1, 0.1, 100))
        << "lines " << n << " of " << size;
  }
}

TEST(SmoothContour, FollowsARasterisedDisc) {
  const double pixel = 0.1, radius = 2.0;
  const synth::DropEdges disc = synth::RasteriseDrop({2 * radius, 1.0, 0.0, 0, 0}, pixel, pixel);
  CContour smooth;
  ASSERT_EQ(smooth.CreateSmooth(disc.left, disc.right, disc.lines, pixel, pixel, disc.minPos), 1);
  EXPECT_EQ(smooth.GetCount(), 2 * disc.lines);
  // Edges sit at pixel centres, so each line is one pixel narrower than its shadow.
  const double area = 3.141592654 * radius * radius - 2 * radius * pixel;
  EXPECT_NEAR(Area(smooth), area, 0.01 * area);
  const double cx = (disc.maxPos - disc.minPos) * pixel / 2;
  for (const CSegment &s : smooth.GetSegments())
    EXPECT_NEAR(std::hypot(s.start.x - cx, s.start.y - radius), radius - pixel / 2, pixel);
  // The midway contour lies between the enclosing and the inner polygon.
  EXPECT_GT(Area(smooth), 0);
  EXPECT_GT(smooth.GetOuterCurve().GetLength(), smooth.GetInnerCurve().GetLength());
}

TEST(SmoothContour, DuplicatePointsAreRemovedBeforeTheSpline) {
  std::vector<CPointD> points = {{0, 0}, {0, 0}, {1, 0}, {1, 1}, {1, 1}, {1, 1}, {0, 0}};
  ASSERT_EQ(CContour::DelMultiplePoints(&points), 1);
  EXPECT_EQ(points, (std::vector<CPointD>{{0, 0}, {1, 0}, {1, 1}, {0, 0}}));
  std::string message;
  EXPECT_EQ(CContour::DelMultiplePoints(nullptr, &message), 0);
  EXPECT_EQ(message, "DelMultiplePoints: coord = NULL");

  // A zero-length interval makes the spline's system singular...
  const CPointD repeated[] = {{0, 0}, {1, 1}, {1, 2}, {2, 0}};
  CAkima akima;
  EXPECT_EQ(akima.SetData(repeated, 4, &message), 0);
  EXPECT_EQ(message, "SolveEquationSystem: max = 0");
  // ...yet a one-line notch, which repeats an inner corner, still gets its smooth contour.
  const Edges left = {12, 11, 10, 9, 10, 9, 10, 11, 12},
              right = {20, 21, 22, 23, 23, 23, 22, 21, 20};
  CContour c;
  ASSERT_EQ(c.CreateSmooth(left, right, 9, 0.1, 0.1, 9, &message), 1) << message;
  const auto &knots = c.GetInnerCurve().GetXSpline().GetPoints();
  for (size_t i = 1; i < knots.size(); ++i)
    EXPECT_LT(knots[i - 1].x, knots[i].x);
}

TEST(Akima, PeriodicSplineThroughASquare) {
  const CPointD square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
  CSplineCurve curve;
  ASSERT_EQ(curve.Create(square, 5), 1);
  EXPECT_DOUBLE_EQ(curve.GetLength(), 4);
  for (int k = 0; k < 5; ++k) {
    const CPointD p = curve.Evaluate(k);
    EXPECT_NEAR(p.x, square[k].x, 1e-9);
    EXPECT_NEAR(p.y, square[k].y, 1e-9);
  }
  // Outside the curve's arc length there is nothing to evaluate.
  EXPECT_EQ(curve.Evaluate(4.5), CPointD(0, 0));
  // Periodic slopes: the first and the last point share theirs.
  const auto &slopes = curve.GetXSpline().GetPointSlopes();
  EXPECT_DOUBLE_EQ(slopes.front(), slopes.back());

  std::string message;
  EXPECT_EQ(curve.Create(square, 3, &message), 0);
  EXPECT_EQ(message, "Create: number of points < 4");
  EXPECT_EQ(curve.Create(nullptr, 5, &message), 0);
  EXPECT_EQ(message, "Create: points = NULL");
}

TEST(Akima, SolvesAndRefusesLinearSystems) {
  // Needs a row swap: the first pivot is zero.
  const CAkima::Matrix m = {{{0, 2, 0, 1}, {1, 0, 0, 0}, {0, 0, 3, 0}, {1, 1, 1, 1}}};
  CAkima::Vector x{};
  ASSERT_EQ(CAkima::SolveEquationSystem(m, {5, 1, 6, 10}, x), 1);
  EXPECT_NEAR(x[0], 1, 1e-12);
  EXPECT_NEAR(x[1], -2, 1e-12);
  EXPECT_NEAR(x[2], 2, 1e-12);
  EXPECT_NEAR(x[3], 9, 1e-12);
  std::string message;
  const CAkima::Matrix singular = {{{1, 2, 3, 4}, {2, 4, 6, 8}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  EXPECT_EQ(CAkima::SolveEquationSystem(singular, {1, 2, 3, 4}, x, &message), 0);
  EXPECT_EQ(message, "SolveEquationSystem: max = 0");
}

TEST(ContourBuilder, SmoothModeFallsBackToRawAndReportsFailures) {
  // Straight sides have no inner corners, so only the raw contour can be built.
  Edges leftA(1200, 10), rightA(1200, 14), leftB(1200, 20), rightB(1200, 30);
  HydRecord record;
  record.linesA = 5;
  record.linesB = 7;
  record.minPosA = 10;
  record.minPosB = 20;
  record.scaleSysA = 0.1f;
  record.scaleSysB = 0.2f;
  record.scaleHeight = 0.15f;
  const ParticleEdges edges{leftA, rightA, leftB, rightB};
  CContour a, b, rawA;
  std::string message;
  EXPECT_EQ(a.CreateSmooth(leftA, rightA, 5, 0.1f, 0.15f, 10), 0);
  ASSERT_EQ(BuildContours(edges, record, ContourMode::SmoothWithRawFallback, a, b, &message), 1);
  ASSERT_EQ(rawA.Create(leftA, rightA, 5, 0.1f, 0.15f, 10), 1);
  ASSERT_EQ(a.GetCount(), rawA.GetCount());
  for (int k = 0; k < a.GetCount(); ++k)
    EXPECT_EQ(a.GetSegments()[k].start, rawA.GetSegments()[k].start);
  EXPECT_EQ(b.GetLines(), 7);
  EXPECT_FLOAT_EQ(float(b.GetXScale()), 0.2f);

  // A one-line camera has no contour; the other camera still gets its own.
  record.linesA = 1;
  EXPECT_EQ(BuildContours(edges, record, ContourMode::Raw, a, b, &message), 0);
  EXPECT_EQ(message, "CContour::Create: number of points < 4");
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_GT(b.GetCount(), 0);
}

TEST(ContourBuilder, CorrectsCameraAThenBWithTheHeadersLineFrequency) {
  const double scale = 0.05;
  const synth::DropEdges a = synth::RasteriseDrop({3.0, 0.8, 0.3, 0, 0.2}, scale, scale);
  const synth::DropEdges b = synth::RasteriseDrop({3.0, 0.8, 0.3, 0, 0}, scale, scale);
  HydRecord record;
  record.linesA = int16_t(a.lines);
  record.linesB = int16_t(b.lines);
  record.minPosA = a.minPos;
  record.minPosB = b.minPos;
  record.scaleSysA = record.scaleSysB = record.scaleHeight = float(scale);
  MainHeader header;
  header.lineFrequency = 20000;
  record.mainHeader = &header;
  CContour contourA, contourB;
  ASSERT_EQ(BuildContours({a.left, a.right, b.left, b.right}, record,
                          ContourMode::SmoothWithRawFallback, contourA, contourB),
            1);
  CorrectContours(contourA, contourB, record, true);
  EXPECT_NEAR(record.corrHVelA, 0.2 * scale * 20000 / 1000, 0.01);
  EXPECT_NEAR(record.corrHVelB, 0, 0.01);
  EXPECT_NEAR(contourA.GetShear(), -0.2, 0.01);
  EXPECT_GT(record.corrHeightB, 2.0);
  EXPECT_EQ(record.corrFlagsA | record.corrFlagsB, 0);
}
