#pragma once
#include "CHydData.h"

// A snow particle: up to six shadowed segments per scan line and camera.
class CSnoData : public CHydData {
public:
  static constexpr int MAXLIN = 1200;     // the set-up refuses more lines than this
  static constexpr int MAX_LINES = 1500;  // lines held per camera
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

  int DecompressData(CHydFile *hydFile, const PixHeader *pixHeader, CHydException *exc = nullptr);
  int SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                   FilterRange filterRange, CHydException *exc = nullptr);

private:
  Line spareLine;
  uint8_t dataBuffer[DATA_BUFFER_SIZE] = {};
};
