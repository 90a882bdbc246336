#pragma once
// Temporary folders and small hand-made particles for the core tests.
#include "synth/HydWriter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

class TempDirTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "pluvicam-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Path(const std::string &name) const { return (dir / name).string(); }

  std::filesystem::path dir;
};

namespace testdata {

// Midnight of a day in 2026, so that main header times of day are easy to read.
constexpr int32_t DAY = 1780272000;
constexpr double LINES_PER_SECOND = 34090.857142857145;

// Camera lines since midnight of a time of day in seconds.
inline double Tim(double seconds) { return seconds * LINES_PER_SECOND; }

// One line per camera with 4-bit values 1, 2, 3, 4: A edges 1..2, B edges 3..4 plus offsets.
inline int32_t AddTinyDrop(synth::HydWriter &writer, double tim, int dropType = 0) {
  PixHeader h;
  h.tim = tim;
  h.eqDiam = 100;
  h.lineCountA = writer.Format() == 1 ? 0 : 1;
  h.lineDiffB = 0;
  h.absv = 200;
  h.offsetA = 100;
  h.offsetB = 200;
  h.pixScaleH = 1500;
  h.pixScaleA = writer.Format() == 1 ? 180 : 1800;
  h.pixScaleB = h.pixScaleA;
  return writer.AddPixRecord(h, {0x21, 0x43, 0x65, 0x87}, 4, dropType);
}

} // namespace testdata
