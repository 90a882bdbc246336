#pragma once
#include <cstdint>

// The document's record of the last computed integration interval, in camera lines.
struct IntegrationState {
  bool valid = false;
  double startTim = 0;
  double endTim = 0;
  int32_t count = 0;
  int32_t removed = 0; // particles the velocity check removed while the interval was read
};
