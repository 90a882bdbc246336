#pragma once
// Drop parameters shared by rain and snow particles. Record fields are 32-bit floats; products and
// quotients are formed in double and stored as float.
#include "CHydData.h"

namespace particle {

// The instrument's own value of pi, kept so results match its acquisition software.
constexpr double PI = 3.141592654;

// Middle of a pixel extent, halved in float so odd extents keep their half pixel.
inline float Centre(int16_t minPos, int16_t maxPos) {
  return (float(minPos) + float(maxPos)) / 2.0f;
}

// Distance between the light planes at the particle's position, from the three calibrated
// corners of the measuring area.
float PlaneDistance(const MainHeader &mainHeader, float centreA, float centreB);

// Fall velocity in m/s from the plane-to-plane delay in half lines; 100 when the delay is 0.
float Velocity(float planeDistance, double lineFrequency, int16_t absv);

// Volume of the equivalent sphere; 0.001 for a diameter that is not positive.
float SphereVolume(float diameter);

// Fills oblateness, and oblA/oblB when both widths are non-zero. Returns the oblateness.
float Oblateness(HydRecord &record);

// Area in mm^2 over which the particle's centre can lie with its whole silhouette inside the
// usable camera lines and the filter's pixel ranges; 0 when a camera distance is 0.
float EffectiveArea(const MainHeader &mainHeader, const HydRecord &record,
                    const FilterRange &filterRange);

} // namespace particle
