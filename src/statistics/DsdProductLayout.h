#pragma once
#include "DsdInterval.h"

#include <string>
#include <utility>
#include <variant>
#include <vector>

// What a drop size distribution product holds besides its intervals: the diameter classes,
// whether the integral quantities come along, and the file's global attributes.
struct DsdProductLayout {
  using Value = std::variant<std::string, double>;

  int classCount = 0; // classes of width deltaD, the first starting at 0 mm
  double deltaD = 0;  // mm
  // The velocity classes: `velocityClasses` of `velocityClassWidth` m/s from 0.
  int velocityClasses = DsdInterval::VELOCITY_CLASSES;
  double velocityClassWidth = DsdInterval::VELOCITY_CLASS_WIDTH;
  bool moments = false; // Nt, lwc, reflectivity, Dm, D0, Nw, mu and lambda
  // Global attributes in order; a later one of the same name replaces an earlier one, so that
  // what the user sets wins over what the program fills in.
  std::vector<std::pair<std::string, Value>> attributes;
};
