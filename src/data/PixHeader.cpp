#include "PixHeader.h"

const char *DropTypeName(int dropType) {
  static const char *const names[] = {"not class.", "rain",   "melting", "snow",
                                      "hail",       "manual", "invalid"};
  return dropType >= 0 && dropType <= 6 ? names[dropType] : "";
}
