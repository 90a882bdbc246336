#pragma once
#include "data/CHydException.h"
#include "data/Camera.h"
#include "data/FilterRange.h"
#include "data/MainHeader.h"
#include "data/PixHeader.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

class CHydFile;

// A shadowed run of one scan line as a snow particle stores it: the line's index from the
// particle's top and the run's first pixel and the pixel behind its last.
struct ShadowRun {
  int line = 0;
  int16_t start = 0;
  int16_t end = 0;
};

// The particle record: every parameter computed from a particle's two views, the results of the
// symmetric correction and the particle's place in the file.
struct HydRecord {
  float velocity = 0;   // m/s, vertical fall velocity
  float volume = 0;     // mm^3 of the equivalent sphere
  float diameter = 0;   // mm, equivalent diameter
  float oblateness = 0; // geometric mean of oblA and oblB
  float widthA = 0;     // mm
  float widthB = 0;
  float heightA = 0; // mm
  float heightB = 0;
  float oblA = 0; // heightA / widthA
  float oblB = 0;
  float hVelA = 0; // m/s along camera A's pixel axis (rain only)
  float hVelB = 0;
  float area = 0; // mm^2, effective measuring area
  uint16_t dropType = 0;
  double tim = 0; // camera lines since midnight
  int16_t linesA = 0;
  int16_t linesB = 0;
  int16_t minPosA = 0;
  int16_t maxPosA = 0;
  int16_t minPosB = 0;
  int16_t maxPosB = 0;
  float scaleSysA = 0;      // mm per pixel
  float scaleSysB = 0;      // mm per pixel
  float scaleHeight = 0;    // mm per line
  uint16_t rawDiameter = 0; // 0.01 mm, as stored

  // Symmetric correction results, camera A then B.
  float corrHeightA = 0;
  float corrHeightB = 0;
  float corrWidthA = 0;
  float corrWidthB = 0;
  float corrHVelA = 0;
  float corrHVelB = 0;
  float cantingA = 0;
  float shearA = 0;       // truncate(5000 * shear in mm per line)
  float displayA[8] = {}; // truncate(500 * mm): axis top, axis bottom, width left, width right
  int16_t rmsA = 0;       // micrometres
  uint8_t corrFlagsA = 0;
  float cantingB = 0;
  float shearB = 0;
  float displayB[8] = {};
  int16_t rmsB = 0;
  uint8_t corrFlagsB = 0;

  // Where this, the next and the preceding particle record begin in the data file.
  int32_t nextPos = 0;
  int32_t startPos = 0;
  int32_t prevPos = 0;

  const MainHeader *mainHeader = nullptr; // the header valid for this particle
  uint16_t format = 0;
};

// A particle of a hydrometeor file. The data handler keeps one object per kind and resets it for
// every particle, which is observably the same as a fresh object per particle.
class CHydData {
public:
  virtual ~CHydData() = default;

  // Reads the drop data behind the pix header, rebuilds the silhouettes and fills the record.
  // Returns 1 on success, 0 on failure with `exc` filled.
  virtual int CalculateData(CHydFile *hydFile, const MainHeader *mainHeader,
                            const PixHeader *pixHeader, uint16_t format, FilterRange filterRange,
                            CHydException *exc = nullptr) = 0;

  // Clears the record as a fresh object would have it: every field 0. In blocks of at most 64
  // bytes, which compile to plain vector stores; one clear of the whole record becomes a string
  // instruction that is slow to start, and a walk pays it once per particle.
  virtual void Reset() {
    static_assert(std::is_trivially_copyable_v<HydRecord>);
    static_assert(sizeof(HydRecord) > 192 && sizeof(HydRecord) <= 256, "one block per 64 bytes");
    auto *bytes = reinterpret_cast<unsigned char *>(&record);
    std::memset(bytes, 0, 64);
    std::memset(bytes + 64, 0, 64);
    std::memset(bytes + 128, 0, 64);
    std::memset(bytes + 192, 0, sizeof record - 192);
    record.mainHeader = nullptr;
  }

  virtual bool IsSnow() const = 0;

  // The shadowed runs of a camera, line by line, into `out`; a particle that stores
  // no runs leaves `out` empty.
  virtual void GetShadowRuns(Camera camera, std::vector<ShadowRun> &out) const {
    (void)camera, out.clear();
  }

  HydRecord *GetHydHeader() { return &record; }
  const HydRecord *GetHydHeader() const { return &record; }
  uint16_t GetFormat() const { return format; }

protected:
  HydRecord record;
  uint16_t format = 0;
};
