#pragma once
#include "DocumentOptions.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

// `calibrate FILE --box ...`: the calibration file CORR_IN.DAT for rectangles given as a user
// would drag them in the oblateness scatter.
class CalibrateCommand {
public:
  CLI::App *Add(CLI::App &app);
  int Run() const;

private:
  std::string file;
  std::vector<std::string> boxes;
  int scale = 1;
  std::string out;
  DocumentOptions options;
};
