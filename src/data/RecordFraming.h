#pragma once
#include "CInputFile.h"

#include <cstdint>
#include <string>

// Whether a particle record (not a header, not the inside of a record) begins at `position` of a
// hydrometeor data file. Walks the record lengths from the start of the file, so a position that
// merely looks like a record is never taken for one. Returns 1 yes, 0 no, -1 the file could not
// be read; `message` says why when not 1. The file's read position is restored.
int IsParticleRecordStart(CInputFile &file, int32_t position, std::string *message = nullptr);
