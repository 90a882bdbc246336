#pragma once
#include <array>
#include <cstdint>
#include <string>

// The distribution N(H/W): particles per oblateness bin of 0.01, bin b holding
// 0.01 b <= H/W < 0.01 (b + 1). Oblateness of 2.0 and more is not binned.
class OblatenessHistogram {
public:
  static constexpr int BINS = 200;

  void Clear() { counts.fill(0); }
  // The bin of an oblateness, -1 when it falls outside.
  static int Bin(float oblateness);
  void Add(float oblateness);
  int64_t Count(int bin) const { return counts[size_t(bin)]; }

  struct Summary {
    int64_t total = 0;   // N
    int64_t moment = 0;  // S = sum of b · n_b
    int64_t maximum = 0; // n_max
    int maxBin = 0;      // the first bin holding n_max
  };
  Summary Summarise() const;
  // Height of a bin's bar: trunc(n_b · 10000 / n_max), 0 without particles.
  static int32_t BarHeight(int64_t count, int64_t maximum);

  // The three lines the diagram writes, empty when nothing was binned.
  struct Texts {
    std::string maximum, maxAt, center;
  };
  static Texts StatisticsTexts(const Summary &summary);

private:
  std::array<int64_t, BINS> counts{};
};
