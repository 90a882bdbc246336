#pragma once
#include "CInputFile.h"
#include "HeaderInfo.h"

// Reader of a header index file (.hd, .shd).
class CHeaderFile : public CInputFile {
public:
  static constexpr int32_t POSITIONS_OFFSET = 4;
  static constexpr int32_t MAIN_HEADERS_OFFSET = 5770;

  int ReadHeaderInfo(HeaderInfo *info, CHydException *exc = nullptr);
};
