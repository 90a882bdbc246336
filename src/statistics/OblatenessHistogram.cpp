#include "OblatenessHistogram.h"

#include <cmath>
#include <cstdio>

int OblatenessHistogram::Bin(float oblateness) {
  const float b = std::trunc(oblateness * 100.0f);
  if (!(b >= 0.0f && b < float(BINS)))
    return -1;
  return int(b);
}

void OblatenessHistogram::Add(float oblateness) {
  const int b = Bin(oblateness);
  if (b >= 0)
    ++counts[size_t(b)];
}

OblatenessHistogram::Summary OblatenessHistogram::Summarise() const {
  Summary s;
  for (int b = 0; b < BINS; ++b) {
    const int64_t n = counts[size_t(b)];
    s.total += n;
    s.moment += b * n;
    if (n > s.maximum) {
      s.maximum = n;
      s.maxBin = b;
    }
  }
  return s;
}

int32_t OblatenessHistogram::BarHeight(int64_t count, int64_t maximum) {
  // 64 bits: a busy day holds far more than the 214 748 particles per bin that 32 bits allow.
  return maximum > 0 ? int32_t(count * 10000 / maximum) : 0;
}

OblatenessHistogram::Texts OblatenessHistogram::StatisticsTexts(const Summary &s) {
  Texts t;
  if (s.maximum == 0)
    return t;
  char line[80];
  std::snprintf(line, sizeof line, "N(H/W)max = %lld drops", static_cast<long long>(s.maximum));
  t.maximum = line;
  std::snprintf(line, sizeof line, "max at    = %4.2f", s.maxBin * 0.01);
  t.maxAt = line;
  std::snprintf(line, sizeof line, "center    = %4.2f", double(s.moment) / double(s.total) * 0.01);
  t.center = line;
  return t;
}
