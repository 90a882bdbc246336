#pragma once
#include "MainHeader.h"

#include <cstdint>

// One registered main header of the time index.
struct MainTimEntry {
  MainHeader mainHeader;
  double line = 0; // time of day of the header in camera lines
  int32_t index = 0;
};
