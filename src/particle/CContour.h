#pragma once
#include "CHydData.h"
#include "CPointD.h"
#include "CSegment.h"
#include "CSplineCurve.h"
#include "data/Camera.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One camera's outline of a rain particle as a closed polygon in mm (x = (edge - offset) · x
// scale, y = line · y scale growing downwards), with the data of its symmetric correction.
// The views draw from the accessors; nothing here draws.
class CContour {
public:
  static constexpr int MAXLIN = 1200;
  // The raw staircase needs at most 3·lines + 1 points (1.5 per line and side plus corners).
  static constexpr int MAX_POINTS = 3 * MAXLIN + 4;
  // The enclosing pixel polygon needs 2·lines + 3 points, its closing copy included.
  static constexpr int MAX_POLYGON_POINTS = 2 * MAXLIN + 4;
  static constexpr int MAX_CHORDS = 4820;
  static constexpr int MAX_LONGEST_CHORDS = 1200;
  static constexpr int ANGLE_COUNT = 101; // -25° to +25° in steps of 0.5°

  // Why a correction step gave up; turned into flag bits of the particle record.
  enum ErrorCode { BUFFER_FULL = 0, AXIS_INTERSECTIONS = 1, NO_REAL_SHEAR = 2, NOT_ORTHOGONAL = 3 };

  static constexpr uint8_t FLAG_NO_MINIMUM = 0x10;
  static constexpr uint8_t FLAG_NO_SOLUTION = 0x20;
  static constexpr uint8_t FLAG_OVERFLOW = 0x40;
  static constexpr uint8_t FLAG_NOT_ORTHOGONAL = 0x80;

  // Which results the last symmetric correction computed before it stopped; the others hold
  // no defined value.
  struct CorrectionComputed {
    bool rms = false;   // the axis fit at the chosen angle
    bool shear = false; // shear and its display value
    bool sizes = false; // height, width, canting and horizontal velocity
  };

  struct PointF {
    float x = 0;
    float y = 0;
  };
  // From a contour point across the contour and back onto it.
  struct Chord {
    PointF start;
    PointF mid;
    PointF end;
  };

  // Raw contour through the edge pixels, straight cuts at the steps of the staircase.
  // Returns 1, or 0 with `message` filled.
  int Create(std::span<const int16_t> left, std::span<const int16_t> right, int lines,
             double xScale, double yScale, int offset, std::string *message = nullptr);
  // Whether Create would return 1 for these inputs, without building anything: a run that
  // shows only some particles' outlines still learns of every outline that cannot be built.
  static bool RawBuildable(std::span<const int16_t> left, std::span<const int16_t> right,
                           int lines);
  // Contour midway between the enclosing and the inner pixel polygon, both smoothed by a
  // periodic Akima spline and resampled at 2·lines points. Returns 1, or 0 with `message`.
  int CreateSmooth(std::span<const int16_t> left, std::span<const int16_t> right, int lines,
                   double xScale, double yScale, int offset, std::string *message = nullptr);

  // Chords from every segment start and midpoint in direction (1, tan phi); fits the axis
  // x = a·y + b through their midpoints. Returns the chord count or -1 when the chord table
  // is full. a, b and rms keep their values when the fit is undefined.
  int FindSymmetryAxis(double phi, float &a, float &b, double &rms);
  // Finds the shear that makes the contour mirror-symmetric, applies it when `correction` is
  // on, and writes the camera's result fields (of `camera`) into `record`. Returns
  // the chord count, or -1 without record or for another camera.
  int SymmetricCorrection(HydRecord *record, double lineFrequency, Camera camera, int correction);
  // x = x + g·y for both ends of every contour segment.
  void ApplyShear(double g);

  // Removes every point equal to its predecessor. Returns 1, or 0 with `message` filled.
  static int DelMultiplePoints(std::vector<CPointD> *coord, std::string *message = nullptr);

  int GetCount() const { return m_count; }
  int GetLines() const { return lines; }
  double GetXScale() const { return xScale; }
  double GetYScale() const { return yScale; }
  int GetOffset() const { return offset; }
  float GetShear() const { return shear; }
  std::span<const CSegment> GetSegments() const { return segments; }
  // Smoothed contour only: the resampled boundary polygons and their spline curves.
  std::span<const CSegment> GetOuterSegments() const { return outerSegments; }
  std::span<const CSegment> GetInnerSegments() const { return innerSegments; }
  std::span<const CPointD> GetOuterPolygon() const { return outerPoints; }
  std::span<const CPointD> GetInnerPolygon() const { return innerPoints; }
  const CSplineCurve &GetOuterCurve() const { return outerCurve; }
  const CSplineCurve &GetInnerCurve() const { return innerCurve; }
  std::span<const Chord> GetChords() const { return chords; }
  int GetChordCount() const { return int(chords.size()); }
  PointF GetAxisTop() const { return axisTop; }
  PointF GetAxisBottom() const { return axisBottom; }
  PointF GetWidthLeft() const { return widthLeft; }
  PointF GetWidthRight() const { return widthRight; }
  CorrectionComputed GetCorrectionComputed() const { return computed; }

private:
  struct Correction;

  void Clear();
  void StoreGeometry(int lines, double xScale, double yScale, int offset);
  void SetSegmentsFromPoints();
  int BuildSmooth(std::span<const int16_t> left, std::span<const int16_t> right,
                  std::string *message);
  int CorrectionSteps(Correction &result, double lineFrequency, float scaleHeight, int correction);
  // The steps of the correction; the int ones return -1 on success, else the failure code.
  int SearchBestAngle(int &best);
  int FindAxisEnds(float a, float b);
  static bool SolveShear(float a, double phi, double &g);
  void ShearGeometry(double g);
  void ShiftToOrigin();
  int FindWidthEnds(int chordCount);
  int MeasureAxes(Correction &r, double lineFrequency) const;
  static int Resample(const CSplineCurve &curve, int count, CPointD *xyCoord, std::string *message);
  int SetContourSegments(const CPointD *pointsOut, const CPointD *pointsIn, std::string *message);
  int CalcCentralPoint(CPointD *centroid, std::string *message) const;

  int lines = 0;
  double xScale = 0;
  double yScale = 0;
  int offset = 0;
  float shear = 0;
  int m_count = 0;
  std::vector<Chord> chords;
  CSplineCurve outerCurve;
  CSplineCurve innerCurve;
  std::vector<CSegment> outerSegments;
  std::vector<CSegment> innerSegments;
  std::vector<CSegment> segments;
  std::vector<CPointD> outerPoints;
  std::vector<CPointD> innerPoints;
  std::vector<CPointD> points;
  PointF axisTop;
  PointF axisBottom;
  PointF widthLeft;
  PointF widthRight;
  CorrectionComputed computed;
};
