#pragma once
#include "CHydData.h"

// A snow particle: up to six shadowed segments per scan line and camera.
class CSnoData : public CHydData {
public:
  static constexpr int MAXLIN = 1200;    // the set-up refuses more lines than this
  static constexpr int MAX_LINES = 1500; // lines held per camera
  static constexpr int MAX_SEGMENTS = 6;
  static constexpr int DATA_BUFFER_SIZE = 16384;

  struct Segment {
    int16_t start = 0; // first dark pixel
    int16_t end = 0;   // start + run length
    int16_t reserved = 0;
  };
  struct Line {
    double y_count = 0;
    int16_t segmentCount = 0;
    Segment segments[MAX_SEGMENTS];
  };

  Line linesA[MAX_LINES];
  Line linesB[MAX_LINES];

  int CalculateData(CHydFile *hydFile, const MainHeader *mainHeader, const PixHeader *pixHeader,
                    uint16_t format, FilterRange filterRange,
                    CHydException *exc = nullptr) override;
  bool IsSnow() const override { return true; }
  void GetShadowRuns(Camera camera, std::vector<ShadowRun> &out) const override;
  // Clears the record, the format and every line entry that decoding wrote.
  void Reset() override;

  int DecompressData(CHydFile *hydFile, const PixHeader *pixHeader, CHydException *exc = nullptr);
  int SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                   FilterRange filterRange, CHydException *exc = nullptr);

private:
  // Coded lines start at this byte of the data buffer.
  static constexpr int CODED_START = 12;

  // What the set-up needs of a camera's lines, gathered while decoding them: the largest
  // (rightmost end - leftmost start) of a line, the rightmost end, and whether any line exists.
  struct Extent {
    int width = 0;
    int pos = 0;
    bool any = false;
  };

  int DecodeCamera(CHydFile *hydFile, Line *lines, int lineCount, int &used, Extent &extent,
                   CHydException &status);
  // The set-up; `decoded` holds both cameras' extents when the lines were just decoded, which
  // spares a second pass over them.
  int SetUp(const MainHeader *mainHeader, const PixHeader *pixHeader,
            const FilterRange &filterRange, const Extent *decoded, CHydException &status);

  // The last decoded line, which repetitions copy. It always points into linesA or linesB:
  // decoding never writes a line entry twice, so the line stays as it was decoded.
  const Line *spareLine = nullptr;
  // Two spare bytes behind the largest block let the bit reader load its last word unchecked.
  uint8_t dataBuffer[DATA_BUFFER_SIZE + 2] = {};
  // Only decoding writes line entries; these bound the entries it may have written, so that
  // clearing costs what the last particle used rather than all 1500 entries per camera.
  int usedA = 0;
  int usedB = 0;
  Extent extents[2]; // camera A, camera B of the last decoding
};
