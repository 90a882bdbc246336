#pragma once
// Writes a synthetic data file into the test's temporary folder and positions a reader on one of
// its particle records, as the data handler would before computing the particle.
#include "data/CHydFile.h"
#include "synth/HydWriter.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

inline std::string TempFile(const std::string &name) {
  return ::testing::TempDir() + "pluvicam_" + std::to_string(getpid()) + "_" + name;
}

// Opens `path` and reads the tag and pix header of the record at `pos`.
inline void OpenRecord(CHydFile &file, const std::string &path, int32_t pos, int format,
                       PixHeader &header) {
  ASSERT_EQ(file.Open(path, CInputFile::modeRead), 1);
  ASSERT_EQ(file.SetPosition(pos), 1);
  uint8_t tag[2];
  ASSERT_EQ(file.Read(tag, 2), 1);
  ASSERT_EQ(file.ReadPixHeader(&header, uint16_t(tag[0] | tag[1] << 8), format), 1);
}

// Main header whose geometry makes the parameters easy to follow: flat light planes of 20 mm,
// 1000 lines/s, 512-pixel lines all usable.
inline MainHeader PlainMainHeader() {
  MainHeader h = synth::TypicalMainHeader(0);
  h.lineFrequency = 1000;
  h.planeDistance1 = h.planeDistance2 = h.planeDistance3 = 20;
  h.firstPixel = 0;
  h.lastPixel = 511;
  h.scaleA = h.scaleB = 0.2f;
  return h;
}
