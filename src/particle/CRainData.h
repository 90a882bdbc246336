#pragma once
#include "CHydData.h"

// A rain particle: one left and one right edge per scan line and camera.
class CRainData : public CHydData {
public:
  static constexpr int MAXLIN = 1200;

  // The widest line of a camera's view (pixels between its edges) and its rightmost edge.
  struct CameraExtent {
    int maxWidth = 0;
    int16_t maxPos = 0;
  };

  int16_t leftB[MAXLIN] = {};
  int16_t rightB[MAXLIN] = {};
  int16_t leftA[MAXLIN] = {};
  int16_t rightA[MAXLIN] = {};

  int CalculateData(CHydFile *hydFile, const MainHeader *mainHeader, const PixHeader *pixHeader,
                    uint16_t format, FilterRange filterRange,
                    CHydException *exc = nullptr) override;
  bool IsSnow() const override { return false; }

  // Unpacks the record's data part (`wordCount` 16-bit words) into the four edge arrays.
  int DecompressData(const uint16_t *data, int wordCount, const PixHeader *pixHeader,
                     CHydException *exc = nullptr);
  // Camera geometry and drop parameters, formats 2-4 and format 1.
  int SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                   FilterRange filterRange, CHydException *exc = nullptr);
  int SetOldHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                      FilterRange filterRange, CHydException *exc = nullptr);

private:
  // DecompressData of `size` bytes of data as the file holds them (little-endian words).
  int Unpack(const uint8_t *data, int size, const PixHeader *pixHeader, CHydException &status);
  // The set-up shared by both header layouts; `old` selects format 1. `edgesDecoded` takes the
  // cameras' extents from the last unpacking instead of scanning the edge arrays.
  int SetUp(const MainHeader *mainHeader, const PixHeader *pixHeader,
            const FilterRange &filterRange, bool old, bool edgesDecoded, CHydException &status);
  // Format 1: integrates diameter and volume from the slices; returns the correction factor.
  double OldDiameter(const MainHeader &mainHeader);

  // The extents the last unpacking met, camera A and B.
  CameraExtent decodedA;
  CameraExtent decodedB;
};
