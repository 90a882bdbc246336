#include "ContourBuilder.h"

namespace {

int BuildOne(std::span<const int16_t> left, std::span<const int16_t> right, int lines,
             float scaleSys, float scaleHeight, int minPos, ContourMode mode, CContour &contour,
             std::string *message) {
  if (mode == ContourMode::SmoothWithRawFallback &&
      contour.CreateSmooth(left, right, lines, scaleSys, scaleHeight, minPos))
    return 1;
  return contour.Create(left, right, lines, scaleSys, scaleHeight, minPos, message);
}

} // namespace

int BuildContours(const ParticleEdges &edges, const HydRecord &record, ContourMode mode,
                  CContour &contourA, CContour &contourB, std::string *message) {
  const int a = BuildOne(edges.leftA, edges.rightA, record.linesA, record.scaleSysA,
                         record.scaleHeight, record.minPosA, mode, contourA, message);
  const int b = BuildOne(edges.leftB, edges.rightB, record.linesB, record.scaleSysB,
                         record.scaleHeight, record.minPosB, mode, contourB, message);
  return a && b ? 1 : 0;
}

bool ContoursBuildable(const ParticleEdges &edges, const HydRecord &record) {
  return CContour::RawBuildable(edges.leftA, edges.rightA, record.linesA) &&
         CContour::RawBuildable(edges.leftB, edges.rightB, record.linesB);
}

void CorrectContours(CContour &contourA, CContour &contourB, HydRecord &record, bool correction) {
  const double lineFrequency = record.mainHeader ? record.mainHeader->lineFrequency : 0;
  contourA.SymmetricCorrection(&record, lineFrequency, 1, correction ? 1 : 0);
  contourB.SymmetricCorrection(&record, lineFrequency, 2, correction ? 1 : 0);
}
