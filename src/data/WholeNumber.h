#pragma once
#include <limits>

// A time in camera lines as the whole number a message shows. Corrupt records may hold values
// outside the unsigned range; they are clamped, never converted out of range.
inline unsigned long WholeNumber(double value) {
  if (!(value >= 0))
    return 0;
  if (value >= double(std::numeric_limits<unsigned long>::max()))
    return std::numeric_limits<unsigned long>::max();
  return static_cast<unsigned long>(value);
}
