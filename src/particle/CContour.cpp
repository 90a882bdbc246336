#include "CContour.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double PI = 3.141592654;

int Fail(std::string *message, const char *text) {
  if (message)
    *message = text;
  return 0;
}

// Display coordinates are 16-bit; saturate rather than wrap for absurdly large particles.
float Truncate16(double value) {
  if (std::isnan(value))
    return 0;
  const double t = std::trunc(value);
  return float(std::clamp(t, double(std::numeric_limits<int16_t>::min()),
                          double(std::numeric_limits<int16_t>::max())));
}

} // namespace

void CContour::Clear() {
  lines = 0;
  xScale = 0;
  yScale = 0;
  offset = 0;
  shear = 0;
  m_count = 0;
  chords.clear();
  outerCurve = CSplineCurve();
  innerCurve = CSplineCurve();
  outerSegments.clear();
  innerSegments.clear();
  segments.clear();
  outerPoints.clear();
  innerPoints.clear();
  points.clear();
  axisTop = axisBottom = widthLeft = widthRight = PointF();
  computed = CorrectionComputed();
}

void CContour::StoreGeometry(int lineCount, double xs, double ys, int off) {
  lines = lineCount;
  xScale = xs;
  yScale = ys;
  offset = off;
}

void CContour::SetSegmentsFromPoints() {
  const size_t n = points.size();
  segments.clear();
  segments.reserve(n);
  for (size_t k = 0; k < n; ++k)
    segments.emplace_back(points[k], points[(k + 1) % n]);
  m_count = int(n);
}

int CContour::Create(std::span<const int16_t> left, std::span<const int16_t> right, int n,
                     double xs, double ys, int off, std::string *message) {
  Clear();
  if (n < 2)
    return Fail(message, "CContour::Create: number of points < 4");
  if (!RawBuildable(left, right, n))
    return Fail(message, "CContour::Create: number of points > MAXLIN");
  StoreGeometry(n, xs, ys, off);

  const int16_t *L = left.data();
  const int16_t *R = right.data();
  auto X = [&](int edge) { return (edge - off) * xs; };
  auto Y = [&](int line) { return line * ys; };
  bool overflow = false;
  points.reserve(3 * size_t(n) + 4);
  auto add = [&](double x, double y) {
    if (int(points.size()) >= MAX_POINTS)
      overflow = true;
    else
      points.emplace_back(x, y);
  };

  // Left side downwards: top corners of lines while the edge widens, bottom corners while it
  // narrows, a diagonal cut where it turns.
  add(X(L[0]), 0);
  bool inward = false;
  for (int i = 1; i <= n - 2; ++i) {
    if (!inward) {
      if (L[i] > L[i - 1]) {
        add(X(L[i - 1]), Y(i));
        add(X(L[i]), Y(i + 1));
        inward = true;
      } else {
        add(X(L[i]), Y(i));
      }
    } else if (L[i] < L[i - 1]) {
      add(X(L[i]), Y(i));
      inward = false;
    } else {
      add(X(L[i]), Y(i + 1));
    }
  }
  if (!inward) {
    if (L[n - 1] > L[n - 2]) {
      add(X(L[n - 2]), Y(n - 1));
      add(X(L[n - 1]), Y(n));
    } else {
      add(X(L[n - 1]), Y(n - 1));
      add(X(L[n - 1]), Y(n));
    }
  } else if (L[n - 1] < L[n - 2]) {
    add(X(L[n - 2]), Y(n - 1));
    add(X(L[n - 1]), Y(n));
  } else {
    add(X(L[n - 1]), Y(n));
  }
  add(X(R[n - 1]), Y(n));
  if (!overflow)
    axisBottom = {float((points[points.size() - 2].x + points.back().x) / 2), float(Y(n))};

  // Right side upwards, the mirror image. The walk must reach line 1 so that the step between
  // lines 2 and 1 is not lost: a symmetric silhouette then gives a symmetric contour.
  inward = false;
  for (int i = n - 2; i >= 1; --i) {
    if (!inward) {
      if (R[i] < R[i + 1]) {
        add(X(R[i + 1]), Y(i + 1));
        add(X(R[i]), Y(i));
        inward = true;
      } else {
        add(X(R[i]), Y(i + 1));
      }
    } else if (R[i] > R[i + 1]) {
      add(X(R[i + 1]), Y(i + 1));
      inward = false;
    } else {
      add(X(R[i]), Y(i));
    }
  }
  if (!inward) {
    if (R[0] < R[1]) {
      add(X(R[1]), Y(1));
      add(X(R[0]), 0);
    } else {
      add(X(R[0]), Y(1));
      add(X(R[0]), 0);
    }
  } else if (R[0] > R[1]) {
    add(X(R[0]), Y(1));
    add(X(R[0]), 0);
  } else {
    add(X(R[0]), 0);
  }
  if (overflow) {
    Clear();
    return Fail(message, "CContour::Create: Overflow");
  }
  axisTop = {float((points.front().x + points.back().x) / 2), 0.0f};
  SetSegmentsFromPoints();
  return 1;
}

bool CContour::RawBuildable(std::span<const int16_t> left, std::span<const int16_t> right, int n) {
  // The staircase takes at most 1.5 points per line and side plus corners, 3·n + 1 in all, so
  // within MAXLIN lines the overflow guard of Create never fires.
  static_assert(MAX_POINTS >= 3 * MAXLIN + 1);
  return n >= 2 && n <= MAXLIN && size_t(n) <= left.size() && size_t(n) <= right.size();
}

int CContour::DelMultiplePoints(std::vector<CPointD> *coord, std::string *message) {
  if (coord == nullptr)
    return Fail(message, "DelMultiplePoints: coord = NULL");
  coord->erase(std::unique(coord->begin(), coord->end()), coord->end());
  return 1;
}

int CContour::CreateSmooth(std::span<const int16_t> left, std::span<const int16_t> right, int n,
                           double xs, double ys, int off, std::string *message) {
  Clear();
  if (n < 2)
    return Fail(message, "number of points < 4");
  if (n > MAXLIN || size_t(n) > left.size() || size_t(n) > right.size())
    return Fail(message, "number of points > MAXLIN");
  StoreGeometry(n, xs, ys, off);
  if (!BuildSmooth(left, right, message)) {
    // Leave nothing half-built for a view to draw.
    Clear();
    StoreGeometry(n, xs, ys, off);
    return 0;
  }
  return 1;
}

int CContour::BuildSmooth(std::span<const int16_t> left, std::span<const int16_t> right,
                          std::string *message) {
  const int n = lines;
  const int16_t *L = left.data();
  const int16_t *R = right.data();
  const double hx = xScale / 2;
  const double hy = yScale / 2;
  auto X = [&](int edge) { return (edge - offset) * xScale; };
  auto Y = [&](int line) { return line * yScale; };

  // Enclosing polygon of all shadowed pixels (at most 2n + 3 points).
  outerPoints.reserve(size_t(MAX_POLYGON_POINTS));
  outerPoints.emplace_back(X(L[0]) - hx, -hy);
  for (int i = 1; i <= n - 1; ++i) {
    if (L[i] < L[i - 1])
      outerPoints.emplace_back(X(L[i]) - hx, Y(i - 1) + hy);
    if (L[i] > L[i - 1])
      outerPoints.emplace_back(X(L[i - 1]) - hx, Y(i) + hy);
  }
  outerPoints.emplace_back(X(L[n - 1]) - hx, Y(n) + hy);
  outerPoints.emplace_back(X(R[n - 1]) + hx, Y(n) + hy);
  for (int i = n - 2; i >= 0; --i) {
    if (R[i + 1] < R[i])
      outerPoints.emplace_back(X(R[i]) + hx, Y(i + 1) + hy);
    if (R[i] < R[i + 1])
      outerPoints.emplace_back(X(R[i + 1]) + hx, Y(i) + hy);
  }
  outerPoints.emplace_back(X(R[0]) + hx, -hy);
  outerPoints.push_back(outerPoints.front());

  // Polygon through the inner corners of the staircase (at most 2n - 1 points).
  innerPoints.reserve(size_t(MAX_POLYGON_POINTS));
  for (int i = 1; i <= n - 1; ++i) {
    if (L[i] < L[i - 1])
      innerPoints.emplace_back(X(L[i - 1]) + hx, Y(i) + hy);
    if (L[i - 1] < L[i])
      innerPoints.emplace_back(X(L[i]) + hx, Y(i - 1) + hy);
  }
  for (int i = n - 2; i >= 0; --i) {
    if (R[i + 1] < R[i])
      innerPoints.emplace_back(X(R[i + 1]) - hx, Y(i) + hy);
    if (R[i] < R[i + 1])
      innerPoints.emplace_back(X(R[i]) - hx, Y(i + 1) + hy);
  }
  // A silhouette without steps has no inner corners; the spline then refuses it.
  if (!innerPoints.empty())
    innerPoints.push_back(innerPoints.front());

  // Repeated points would give the spline intervals of zero length.
  if (!DelMultiplePoints(&outerPoints, message) || !DelMultiplePoints(&innerPoints, message))
    return 0;
  if (!outerCurve.Create(outerPoints.data(), int(outerPoints.size()), message) ||
      !innerCurve.Create(innerPoints.data(), int(innerPoints.size()), message))
    return 0;

  m_count = 2 * n;
  std::vector<CPointD> outer(size_t(m_count + 1));
  std::vector<CPointD> inner(size_t(m_count + 1));
  if (!Resample(outerCurve, m_count + 1, outer.data(), message) ||
      !Resample(innerCurve, m_count + 1, inner.data(), message))
    return 0;
  outerSegments.reserve(size_t(m_count));
  innerSegments.reserve(size_t(m_count));
  for (int k = 0; k < m_count; ++k) {
    outerSegments.emplace_back(outer[k], outer[k + 1]);
    innerSegments.emplace_back(inner[k], inner[k + 1]);
  }
  if (!SetContourSegments(outer.data(), inner.data(), message))
    return 0;
  SetSegmentsFromPoints();
  return 1;
}

int CContour::Resample(const CSplineCurve &curve, int count, CPointD *xyCoord,
                       std::string *message) {
  if (xyCoord == nullptr || count < 2)
    return Fail(message, "(xyCoord == NULL) or (xyCoord == NULL) or (xyCoord == NULL)");
  const double total = curve.GetLength();
  const int steps = count - 1;
  for (int k = 0; k <= steps; ++k)
    xyCoord[k] = curve.Evaluate(k * total / steps);
  // Rounding can put the last arc length just behind the curve's end.
  if (xyCoord[steps].x == 0 && xyCoord[steps].y == 0)
    xyCoord[steps] = xyCoord[0];
  return 1;
}

int CContour::CalcCentralPoint(CPointD *centroid, std::string *message) const {
  if (centroid == nullptr)
    return Fail(message, "CalcCentralPoint: centroid = NULL");
  if (m_count == 0)
    return Fail(message, "CalcCentralPoint: m_count = 0");
  double sx = 0;
  double sy = 0;
  for (int k = 0; k < m_count; ++k) {
    sx += outerSegments[k].start.x;
    sy += outerSegments[k].start.y;
  }
  *centroid = CPointD(sx / m_count, sy / m_count);
  return 1;
}

int CContour::SetContourSegments(const CPointD *pointsOut, const CPointD *pointsIn,
                                 std::string *message) {
  if (pointsOut == nullptr || pointsIn == nullptr)
    return Fail(message, "SetContourSegments: pointsOut or pointsIn = NULL");
  CPointD c;
  if (!CalcCentralPoint(&c, message))
    return 0;
  const int m = m_count;
  points.clear();
  points.reserve(size_t(m));
  int start = 0;
  for (int k = 0; k < m; ++k) {
    const CPointD &p = pointsIn[k];
    const double rx = p.x - c.x;
    const double ry = p.y - c.y;
    // The ray from the centroid through the inner point meets the outer polygon; neighbouring
    // inner points meet it close together, so the search goes on from the last hit.
    int j = start;
    bool hit = false;
    do {
      const CPointD &s = pointsOut[j];
      const CPointD &e = pointsOut[j + 1];
      const double dx = e.x - s.x;
      const double dy = e.y - s.y;
      const double det = dx * ry - rx * dy;
      const double t = det == 0 ? -1 : (rx * (s.y - c.y) - ry * (s.x - c.x)) / det;
      if (t >= 0 && t <= 1) {
        const CPointD cross(s.x + t * dx, s.y + t * dy);
        const double u = rx != 0 ? (cross.x - c.x) / rx : (cross.y - c.y) / ry;
        if (u >= 0) {
          points.emplace_back((cross.x + p.x) / 2, (cross.y + p.y) / 2);
          hit = true;
          start = j;
          break;
        }
      }
      j = (j + 1) % m;
    } while (j != start);
    if (!hit)
      return Fail(message, "SetContourSegments: no intersection found");
  }
  return 1;
}

void CContour::ApplyShear(double g) {
  for (int k = 0; k < m_count; ++k) {
    segments[k].start.x += g * segments[k].start.y;
    segments[k].end.x += g * segments[k].end.y;
  }
}

int CContour::FindSymmetryAxis(double phi, float &a, float &b, double &rms) {
  chords.clear();
  chords.reserve(size_t(MAX_CHORDS));
  const int m = m_count;
  const float tanPhi = std::tan(float(phi));
  const size_t size = size_t(m);
  std::vector<float> sx(size), sy(size), dx(size), dy(size), den(size);
  std::vector<float> num(size);
  std::vector<int32_t> candidate(size);
  for (int j = 0; j < m; ++j) {
    sx[j] = float(segments[j].start.x);
    sy[j] = float(segments[j].start.y);
    dx[j] = float(segments[j].end.x) - sx[j];
    dy[j] = float(segments[j].end.y) - sy[j];
    den[j] = dy[j] - tanPhi * dx[j];
  }
  for (int q = 0; q < 2 * m; ++q) {
    const int own = q / 2;
    float px = sx[own];
    float py = sy[own];
    if (q % 2 != 0) {
      px = (sx[own] + float(segments[own].end.x)) / 2;
      py = (sy[own] + float(segments[own].end.y)) / 2;
    }
    // Most segments lie wholly on one side of the chord: |t| >= 1 or t < 0 shows without a
    // division (den = 0 never passes). This pass has no branches and vectorises; the division
    // below decides as written.
    for (int j = 0; j < m; ++j) {
      num[j] = (py - sy[j]) - (px - sx[j]) * tanPhi;
      candidate[j] = (std::fabs(num[j]) < std::fabs(den[j])) & (num[j] * den[j] >= 0);
    }
    for (int block = 0; block < m; block += 16) {
      const int end = std::min(m, block + 16);
      int32_t any = 0;
      for (int j = block; j < end; ++j)
        any |= candidate[j];
      if (!any)
        continue;
      for (int j = block; j < end; ++j) {
        if (!candidate[j] || j == own)
          continue;
        const float t = num[j] / den[j];
        if (t >= 0 && t < 0.99999f) {
          if (int(chords.size()) >= MAX_CHORDS)
            return -1;
          const float qx = sx[j] + t * dx[j];
          const float qy = sy[j] + t * dy[j];
          chords.push_back({{px, py}, {(px + qx) / 2, (py + qy) / 2}, {qx, qy}});
        }
      }
    }
  }

  const int n = int(chords.size());
  float sumX = 0, sumY = 0, sumXY = 0, sumYY = 0;
  for (const Chord &c : chords) {
    sumX += c.mid.x;
    sumY += c.mid.y;
    sumXY += c.mid.x * c.mid.y;
    sumYY += c.mid.y * c.mid.y;
  }
  const float fn = float(n);
  const float d = fn * sumYY - sumY * sumY;
  if (d != 0) {
    a = (fn * sumXY - sumY * sumX) / d;
    b = (sumX * sumYY - sumXY * sumY) / d;
    double sum = 0;
    for (const Chord &c : chords) {
      const double e = double(a) * c.mid.y + b - c.mid.x;
      sum += e * e;
    }
    rms = std::sqrt(sum / n);
  }
  return n;
}

// NaN marks a result the steps did not reach.
struct CContour::Correction {
  static constexpr float NONE = std::numeric_limits<float>::quiet_NaN();
  int best = -1;                                         // index of the chosen angle
  double rms = std::numeric_limits<double>::quiet_NaN(); // of the axis fit at that angle
  float shearMm = NONE;                                  // mm per line
  float height = NONE;
  float width = NONE;
  float hVel = NONE;
  float canting = NONE;
};

namespace {
double Radians(float degrees) { return double(degrees * float(PI) / 180.0f); }
} // namespace

int CContour::SearchBestAngle(int &best) {
  float a = 0;
  float b = 0;
  double rmsAt[ANGLE_COUNT];
  for (int i = 0; i < ANGLE_COUNT; ++i) {
    double rms = -1;
    if (FindSymmetryAxis(Radians(0.5f * float(i) - 25), a, b, rms) < 0)
      return BUFFER_FULL;
    // An undefined fit must never win the search.
    rmsAt[i] = rms < 0 ? 1e10 : rms;
  }
  // The 0° chords run along the pixel rows and are noisier than their neighbours.
  rmsAt[50] = (rmsAt[49] + rmsAt[50] + rmsAt[51]) / 3;
  double least = 1e10;
  best = 50;
  for (int i = 0; i < ANGLE_COUNT; ++i) {
    if (rmsAt[i] < least) {
      least = rmsAt[i];
      best = i;
    }
  }
  return -1;
}

int CContour::FindAxisEnds(float a, float b) {
  // Where the axis x = a·y + b crosses the contour.
  int found = 0;
  for (int j = 0; j < m_count; ++j) {
    const float sx = float(segments[j].start.x);
    const float sy = float(segments[j].start.y);
    const float dx = float(segments[j].end.x) - sx;
    const float dy = float(segments[j].end.y) - sy;
    const float den = a * dy - dx;
    if (den == 0)
      continue;
    const float t = (sx - b - a * sy) / den;
    if (t >= 0 && t < 0.99999f) {
      ++found;
      if (found == 1)
        axisTop = {sx + t * dx, sy + t * dy};
      else if (found == 2)
        axisBottom = {sx + t * dx, sy + t * dy};
      else if (found == 4)
        return AXIS_INTERSECTIONS;
    }
  }
  // Fewer than two crossings leave an end of the axis undefined.
  return found < 2 ? AXIS_INTERSECTIONS : -1;
}

bool CContour::SolveShear(float a, double phi, double &g) {
  // The shear g with (a + g)(k + g) = -1 makes axis and chords perpendicular. Solved in double:
  // at 0.01° the two roots differ by four orders of magnitude.
  const double k = 1 / std::tan(phi);
  const double disc = (a + k) * (a + k) / 4 - 1 - a * k;
  if (disc < 0)
    return false;
  const double r1 = -(a + k) / 2 + std::sqrt(disc);
  const double r2 = -(a + k) / 2 - std::sqrt(disc);
  g = std::fabs(r2) < std::fabs(r1) ? r2 : r1;
  return true;
}

void CContour::ShearGeometry(double g) {
  shear = float(g);
  ApplyShear(g);
  const float gf = float(g);
  axisTop.x += gf * axisTop.y;
  axisBottom.x += gf * axisBottom.y;
  for (Chord &c : chords) {
    c.start.x += gf * c.start.y;
    c.mid.x += gf * c.mid.y;
    c.end.x += gf * c.end.y;
  }
}

void CContour::ShiftToOrigin() {
  double xmin = 1e6;
  for (int j = 0; j < m_count; ++j)
    xmin = std::min(xmin, segments[j].start.x);
  for (int j = 0; j < m_count; ++j) {
    segments[j].start.x -= xmin;
    segments[j].end.x -= xmin;
  }
  const float xminf = float(xmin);
  for (Chord &c : chords) {
    c.start.x -= xminf;
    c.mid.x -= xminf;
    c.end.x -= xminf;
  }
  axisTop.x -= xminf;
  axisBottom.x -= xminf;
}

int CContour::FindWidthEnds(int chordCount) {
  // The longest chords, all within 0.1 mm of the longest.
  std::vector<int> longest;
  longest.reserve(size_t(MAX_LONGEST_CHORDS));
  float max = 0;
  for (int j = 0; j < chordCount; ++j) {
    if (int(longest.size()) >= MAX_LONGEST_CHORDS)
      return BUFFER_FULL;
    const Chord &c = chords[j];
    const float len = std::sqrt((c.end.x - c.start.x) * (c.end.x - c.start.x) +
                                (c.end.y - c.start.y) * (c.end.y - c.start.y));
    if (std::fabs(len - max) > 0.1f && len > max) {
      max = len;
      longest.clear();
      longest.push_back(j);
    } else if (std::fabs(len - max) <= 0.1f) {
      longest.push_back(j);
    }
  }
  if (longest.empty())
    return AXIS_INTERSECTIONS;
  // Their left and right ends, averaged.
  PointF sumLeft, sumRight;
  for (int j : longest) {
    const Chord &c = chords[j];
    const PointF &left = c.start.x <= c.end.x ? c.start : c.end;
    const PointF &right = c.start.x <= c.end.x ? c.end : c.start;
    sumLeft.x += left.x;
    sumLeft.y += left.y;
    sumRight.x += right.x;
    sumRight.y += right.y;
  }
  const float count = float(longest.size());
  widthLeft = {sumLeft.x / count, sumLeft.y / count};
  widthRight = {sumRight.x / count, sumRight.y / count};
  return -1;
}

int CContour::MeasureAxes(Correction &r, double lineFrequency) const {
  const float wx = widthRight.x - widthLeft.x;
  const float wy = widthRight.y - widthLeft.y;
  const float hx = axisBottom.x - axisTop.x;
  const float hy = axisBottom.y - axisTop.y;
  r.width = std::sqrt(wx * wx + wy * wy);
  r.height = std::sqrt(hx * hx + hy * hy);
  r.canting = wx == 0 ? 90.0f : float(std::atan(wy / wx) * 180 / PI);
  r.hVel = float(-r.shearMm * lineFrequency / 1000);
  return std::fabs(hx * wx + hy * wy) > 0.01f ? NOT_ORTHOGONAL : -1;
}

// Each step fills `r` as far as it gets, so that a failure keeps what came before it.
int CContour::CorrectionSteps(Correction &r, double lineFrequency, float scaleHeight,
                              int correction) {
  if (SearchBestAngle(r.best) != -1)
    return BUFFER_FULL;

  const float degrees = r.best == 50 ? 0.01f : 0.5f * float(r.best) - 25;
  const double phi = Radians(degrees);
  float a = 0;
  float b = 0;
  double rms = -1;
  const int chordCount = FindSymmetryAxis(phi, a, b, rms);
  if (chordCount < 0)
    return BUFFER_FULL;
  if (rms < 0)
    return AXIS_INTERSECTIONS;
  r.rms = rms;

  if (FindAxisEnds(a, b) != -1)
    return AXIS_INTERSECTIONS;
  double g = 0;
  if (!SolveShear(a, phi, g))
    return NO_REAL_SHEAR;
  r.shearMm = float(g * scaleHeight);
  ShearGeometry(correction ? g : 0);
  ShiftToOrigin();
  if (const int failure = FindWidthEnds(chordCount); failure != -1)
    return failure;
  return MeasureAxes(r, lineFrequency);
}

int CContour::SymmetricCorrection(HydRecord *record, double lineFrequency, Camera camera,
                                  int correction) {
  if (record == nullptr || (camera != Camera::A && camera != Camera::B))
    return -1;
  const bool a = camera == Camera::A;
  uint8_t &flags = a ? record->corrFlagsA : record->corrFlagsB;
  flags = 0;
  widthLeft = widthRight = PointF();

  Correction r;
  switch (CorrectionSteps(r, lineFrequency, record->scaleHeight, correction)) {
  case BUFFER_FULL:
    flags |= FLAG_OVERFLOW;
    break;
  case AXIS_INTERSECTIONS:
  case NO_REAL_SHEAR:
    flags |= FLAG_NO_SOLUTION;
    break;
  case NOT_ORTHOGONAL:
    if (correction)
      flags |= FLAG_NOT_ORTHOGONAL;
    break;
  default:
    break;
  }
  if (r.best == 0 || r.best == ANGLE_COUNT - 1)
    flags |= FLAG_NO_MINIMUM;

  // A failed step keeps what was computed before it; what it never reached is stored as 0.
  computed.rms = !std::isnan(r.rms);
  computed.shear = !std::isnan(r.shearMm);
  computed.sizes = !std::isnan(r.height) && !std::isnan(r.width) && !std::isnan(r.hVel) &&
                   !std::isnan(r.canting);
  auto known = [](auto v) { return std::isnan(v) ? decltype(v)(0) : v; };
  (a ? record->corrHeightA : record->corrHeightB) = known(r.height);
  (a ? record->corrWidthA : record->corrWidthB) = known(r.width);
  (a ? record->corrHVelA : record->corrHVelB) = known(r.hVel);
  (a ? record->cantingA : record->cantingB) = known(r.canting);
  (a ? record->shearA : record->shearB) = float(std::trunc(5000.0 * known(r.shearMm)));
  float *display = a ? record->displayA : record->displayB;
  const PointF ends[4] = {axisTop, axisBottom, widthLeft, widthRight};
  for (size_t i = 0; i < 4; ++i) {
    display[2 * i] = Truncate16(500.0 * ends[i].x);
    display[2 * i + 1] = Truncate16(500.0 * ends[i].y);
  }
  (a ? record->rmsA : record->rmsB) = int16_t(Truncate16(1000.0 * known(r.rms)));
  return GetChordCount();
}
