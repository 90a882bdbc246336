#pragma once
#include <cstdint>

// What the index file tells: the data file's format version and where each minute begins.
struct HeaderInfo {
  static constexpr int SLOTS = 1441;

  int16_t format = 0;
  int32_t positions[SLOTS + 1] = {}; // the last slot is never read from the file and stays 0

  // Position from which reading reaches minute m of the day; -1 outside 1..1442.
  int32_t GetMinutePosition(int m) const {
    return m >= 1 && m <= SLOTS + 1 ? positions[m - 1] : -1;
  }
};
