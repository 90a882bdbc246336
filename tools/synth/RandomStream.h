#pragma once
#include <cstdint>

namespace synth {

// xoshiro256** seeded through splitmix64: our own generator and distributions, so that a seed
// gives the same bytes with any standard library.
class RandomStream {
public:
  explicit RandomStream(uint64_t seed);

  uint64_t Next();
  // Uniform in [0, 1).
  double Uniform() { return double(Next() >> 11) * 0x1.0p-53; }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  // Standard normal (Marsaglia's polar method).
  double Normal();
  double Normal(double mean, double sigma) { return mean + sigma * Normal(); }
  // Exponential with mean 1.
  double Exponential();
  // Uniform integer in [0, n).
  uint32_t Below(uint32_t n) { return uint32_t((Next() >> 32) * n >> 32); }

private:
  uint64_t s[4];
  double spareNormal = 0;
  bool haveSpare = false;
};

} // namespace synth
