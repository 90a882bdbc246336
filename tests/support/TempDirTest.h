#pragma once
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// A test with a fresh temporary folder, removed with everything in it afterwards.
class TempDirTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "pluvicam-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string Path(const std::string &name) const { return (dir / name).string(); }

  std::filesystem::path dir;
};
