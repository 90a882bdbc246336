#include "CSegment.h"

CSegment::CSegment(const CPointD &start, const CPointD &end) : end(end), start(start) {}
