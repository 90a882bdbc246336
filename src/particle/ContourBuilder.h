#pragma once
#include "CContour.h"
#include "CHydData.h"
#include "CRainData.h"

#include <cstdint>
#include <span>
#include <string>

// The entry points the document and the command line use to give a rain particle its two
// contours and their symmetric correction.

// A rain particle's silhouettes, camera A then B.
struct ParticleEdges {
  std::span<const int16_t> leftA;
  std::span<const int16_t> rightA;
  std::span<const int16_t> leftB;
  std::span<const int16_t> rightB;
};

inline ParticleEdges EdgesOf(const CRainData &rain) {
  return {rain.leftA, rain.rightA, rain.leftB, rain.rightB};
}

enum class ContourMode {
  Raw = 0,                   // stepping through a file: raw contours only
  SmoothWithRawFallback = 1, // particle panel: smoothed, raw where smoothing fails
};

// Builds both cameras' contours from the particle's edges and record. Returns 1, or 0 when a
// camera has no contour, with the last failure text in `message`.
int BuildContours(const ParticleEdges &edges, const HydRecord &record, ContourMode mode,
                  CContour &contourA, CContour &contourB, std::string *message = nullptr);

// Whether BuildContours would return 1, in either mode (smoothing falls back to the raw
// contour), without building anything.
bool ContoursBuildable(const ParticleEdges &edges, const HydRecord &record);

// Symmetric correction of camera A, then camera B, with the line frequency of the particle's
// main header (0 without one). Writes the result fields of `record`.
void CorrectContours(CContour &contourA, CContour &contourB, HydRecord &record, bool correction);
