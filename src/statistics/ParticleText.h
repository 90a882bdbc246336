#pragma once
#include "data/OutputGuard.h"

#include <string>

class CContour;
class CPluvicamDoc;
class CRainData;
struct HydRecord;
struct TimeOfDay;

// The text export of one rain particle: its time and main parameters, then each camera's edges
// line by line, A before B, under the shear of its contour when it has one.

// The block as it goes into the file; a null contour leaves out its "Corr.:" line.
std::string FormatParticleText(const HydRecord &record, const TimeOfDay &time,
                               const CRainData &edges, const CContour *contourA,
                               const CContour *contourB);

// The document's current particle as a block. Returns 1, or 0 with the reason in `message` (a
// snow file, no particle, no parameter block).
int BuildParticleText(const CPluvicamDoc &doc, std::string *block, std::string *message = nullptr);

// The text file beside a data file: its path up to the extension, then ".txt".
std::string ParticleTextPath(const std::string &dataPath);

// Appends `block` to `path`, creating the file when it is missing, where `guard` lets it write.
// Returns 1, or 0 with the message for the user.
int AppendParticleText(const std::string &path, const std::string &block, const OutputGuard &guard,
                       std::string *message = nullptr);

// The drop view's contours of the document's current rain particle: smoothed (raw where
// smoothing fails), then, when both cameras have one, the symmetric correction of camera A and
// camera B with the correction on or off. Returns what the document's CreateContours returned.
int BuildDropContours(CPluvicamDoc &doc, bool correction, std::string *message = nullptr);
