#pragma once
#include "DocumentOptions.h"

#include <string>

namespace CLI {
class App;
}

// `shape FILE`: the oblateness distribution N(H/W) of the time window, as the enlarged
// oblateness diagram counts it.
class ShapeCommand {
public:
  CLI::App *Add(CLI::App &app);
  int Run() const;

private:
  std::string file;
  DocumentOptions options;
};
