#pragma once
// Temporary folders and small hand-made particles for the core tests.
#include "TempDirTest.h"
#include "TinyDay.h"

namespace testdata {

using namespace testday;

} // namespace testdata
