// Fuzzes the reading of the stored settings: the text conversions the application uses on each
// value, then the check that must leave only usable values. A value that passes the check but
// would reject every particle is a finding.
// Input: text lines KEY=VALUE.
#include "document/FilterSettings.h"
#include "document/StoredFilter.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  std::map<std::string, std::string> values;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t eq = line.find('=');
    if (eq != std::string::npos)
      values[line.substr(0, eq)] = line.substr(eq + 1);
    start = end + 1;
  }
  auto value = [&](const char *key, const char *fallback) {
    auto found = values.find(key);
    return found == values.end() ? std::string(fallback) : found->second;
  };
  FilterSettings s;
  storedfilter::ReadStoredFilter(s, value);
  s.ResetUnusableStored();

  const bool usable = std::isfinite(s.tipSize) && s.tipSize >= 0 && s.diamMin <= s.diamMax &&
                      s.velMin <= s.velMax && s.oblMin <= s.oblMax && s.diamMin >= 0 &&
                      s.diamMax <= 50 && s.velMin >= 0 && s.velMax <= 30 && s.oblMin >= 0 &&
                      s.oblMax <= 2 && s.dropType >= 0 && s.dropType <= 6 &&
                      s.startTime.Seconds() >= 0 && s.startTime.Seconds() < 86400 &&
                      s.endTime.Seconds() >= 0 && s.endTime.Seconds() <= 86400;
  if (!usable)
    std::abort();
  if (!s.ResetUnusableStored().empty())
    std::abort(); // a second check must find nothing
  return 0;
}
