// Fuzzes the gauge's tip file: read from memory and from a file, then the gauge's curve over a
// whole day and over an hour.
#include "statistics/RainRateAxis.h"
#include "statistics/TipCurve.h"
#include "statistics/TipFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string TipPath() {
  static std::string path = [] {
    char pattern[] = "/tmp/pluvicam-fuzz-tip-XXXXXX";
    const char *made = mkdtemp(pattern);
    if (!made)
      std::abort();
    return std::string(made) + "/f.tip";
  }();
  return path;
}

void Curves(const TipFileResult &result) {
  RainRateAxis axis;
  TimeOfDay start, end;
  end.hour = 23;
  end.minute = 59;
  axis.Layout(start, end);
  ComputeTipCurve(result.tips, axis, 0.1f);
  start.hour = 10;
  end.hour = 11;
  end.minute = 0;
  axis.Layout(start, end);
  ComputeTipCurve(result.tips, axis, 0.2f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  TipFileResult fromText;
  std::string message;
  const int textStatus = ParseTipText(text, fromText, &message);
  if (textStatus)
    Curves(fromText);

  FILE *f = std::fopen(TipPath().c_str(), "wb");
  if (!f)
    std::abort();
  if (size)
    std::fwrite(data, 1, size, f);
  std::fclose(f);
  TipFileResult fromFile;
  // The file and the text are read the same way.
  if (ReadTipFile(TipPath(), fromFile, &message) != textStatus || fromFile.tips != fromText.tips)
    std::abort();
  return 0;
}
