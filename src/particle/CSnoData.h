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
  // Clears the record, the format and every line entry that decoding wrote.
  void Reset() override;

  int DecompressData(CHydFile *hydFile, const PixHeader *pixHeader, CHydException *exc = nullptr);
  int SetHydHeader(const MainHeader *mainHeader, const PixHeader *pixHeader,
                   FilterRange filterRange, CHydException *exc = nullptr);

private:
  // Coded lines start at this byte of the data buffer.
  static constexpr int CODED_START = 12;

  int DecodeCamera(CHydFile *hydFile, Line *lines, int lineCount, int &used, CHydException &status);
  // The bit reader over one block's coded bytes. Its state lives in the object, so decoders of
  // different particles do not disturb each other.
  void ResetBitReader(int codedBytes);
  // Reads a field of `width` >= 1 bits: value in the low width-1 bits, flag in the top bit.
  // False when the field would reach past the block's coded bytes.
  bool ReadField(int width, int &value, bool &flag);

  Line spareLine;
  uint8_t dataBuffer[DATA_BUFFER_SIZE] = {};
  // Only decoding writes line entries; these bound the entries it may have written, so that
  // clearing costs what the last particle used rather than all 1500 entries per camera.
  int usedA = 0;
  int usedB = 0;
  uint32_t bitAcc = 0;
  int bitPos = 32;
  int readPos = CODED_START;
  int codedEnd = CODED_START;
  int bitsLeft = 0;
};
