#include "FilterValidation.h"

#include <charconv>

namespace filtercheck {

std::string FormatLimit(float value) {
  char buffer[64];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

namespace {
std::string OrderMessage(const char *name) {
  return std::string("max. ") + name + " must be greater or equal than min. " + name;
}
std::string Between(const char *end, const char *name, const std::string &low,
                    const std::string &high) {
  return std::string(end) + ". " + name + " must be between " + low + " and " + high;
}
} // namespace

void CheckFloatRange(const char *name, float &min, float &max, float low, float high,
                     std::string &message) {
  if (max < min)
    message = OrderMessage(name);
  if (min < low || min > high) {
    message = Between("min", name, FormatLimit(low), FormatLimit(high));
    min = low;
  }
  if (max < low || max > high) {
    message = Between("max", name, FormatLimit(low), FormatLimit(high));
    max = high;
  }
}

void CheckIntRange(const char *name, int &min, int &max, int low, int high, std::string &message) {
  if (max < min)
    message = OrderMessage(name);
  if (min < low || min > high) {
    message = Between("min", name, std::to_string(low), std::to_string(high));
    min = low;
  }
  if (max < low || max > high) {
    message = Between("max", name, std::to_string(low), std::to_string(high));
    max = high;
  }
}

} // namespace filtercheck
