#include "RainEncoder.h"

#include <algorithm>
#include <stdexcept>

namespace synth {

namespace {

constexpr size_t MAXLIN = 1200;

int16_t Leftmost(const std::vector<int16_t> &left, const std::vector<int16_t> &right) {
  if (left.empty())
    return 0;
  return std::min(*std::min_element(left.begin(), left.end()),
                  *std::min_element(right.begin(), right.end()));
}

} // namespace

EncodedRain EncodeRain(const RainImage &image) {
  if (image.leftA.size() != image.rightA.size() || image.leftB.size() != image.rightB.size())
    throw std::invalid_argument("left and right edges differ in line count");
  if (image.leftA.size() >= MAXLIN || image.leftB.size() >= MAXLIN)
    throw std::invalid_argument("more lines than a particle can hold");

  EncodedRain out;
  out.offsetA = Leftmost(image.leftA, image.rightA);
  out.offsetB = Leftmost(image.leftB, image.rightB);

  // Stream order: A left, A right, B left, B right; each relative to its camera's leftmost pixel.
  std::vector<uint32_t> values;
  auto add = [&values](const std::vector<int16_t> &edges, int16_t offset) {
    for (int16_t e : edges)
      values.push_back(uint32_t(int(e) - offset));
  };
  add(image.leftA, out.offsetA);
  add(image.rightA, out.offsetA);
  add(image.leftB, out.offsetB);
  add(image.rightB, out.offsetB);

  const uint32_t largest = values.empty() ? 0 : *std::max_element(values.begin(), values.end());
  out.bits = 1;
  while (out.bits < 15 && (largest >> out.bits) != 0)
    ++out.bits;
  if ((largest >> out.bits) != 0)
    throw std::invalid_argument("edge extent does not fit 15 bits");

  const size_t words = (values.size() * size_t(out.bits) + 15) / 16;
  std::vector<uint16_t> packed(words, 0);
  // Whole values at a time: a value of at most 15 bits spans at most two words.
  size_t bit = 0;
  for (uint32_t v : values) {
    const uint32_t shifted = v << (bit % 16);
    packed[bit / 16] = uint16_t(packed[bit / 16] | shifted);
    if ((shifted >> 16) != 0)
      packed[bit / 16 + 1] = uint16_t(packed[bit / 16 + 1] | (shifted >> 16));
    bit += size_t(out.bits);
  }
  out.data.reserve(words * 2);
  for (uint16_t w : packed) {
    out.data.push_back(uint8_t(w));
    out.data.push_back(uint8_t(w >> 8));
  }
  return out;
}

} // namespace synth
