#include "RandomStream.h"

#include <cmath>

namespace synth {

namespace {
uint64_t SplitMix(uint64_t &x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
} // namespace

RandomStream::RandomStream(uint64_t seed) {
  for (auto &word : s)
    word = SplitMix(seed);
}

uint64_t RandomStream::Next() {
  const uint64_t result = Rotl(s[1] * 5, 7) * 9;
  const uint64_t t = s[1] << 17;
  s[2] ^= s[0];
  s[3] ^= s[1];
  s[1] ^= s[2];
  s[0] ^= s[3];
  s[2] ^= t;
  s[3] = Rotl(s[3], 45);
  return result;
}

double RandomStream::Normal() {
  if (haveSpare) {
    haveSpare = false;
    return spareNormal;
  }
  double u, v, q;
  do {
    u = 2 * Uniform() - 1;
    v = 2 * Uniform() - 1;
    q = u * u + v * v;
  } while (q >= 1 || q == 0);
  const double f = std::sqrt(-2 * std::log(q) / q);
  spareNormal = v * f;
  haveSpare = true;
  return u * f;
}

double RandomStream::Exponential() { return -std::log1p(-Uniform()); }

} // namespace synth
