#include "VelocityQc.h"

#include "TerminalVelocity.h"

#include <cmath>
#include <sstream>

bool VelocityQc::Keeps(double diameter, double velocity) const {
  if (mode == Mode::Off)
    return true;
  const double terminal = terminalvelocity::OfRainDrop(diameter);
  // Single-precision fields make v_T·(1 ± f) land a hair beside an edge the user meant to
  // include; a millionth of a m/s is far below the velocity's resolution.
  constexpr double slack = 1e-6;
  double low = 0, high = 0;
  if (mode == Mode::Fraction) {
    low = terminal * (1 - fraction);
    high = terminal * (1 + fraction);
  } else {
    low = terminal - tolerance;
    high = terminal + tolerance;
  }
  return low - slack <= velocity && velocity <= high + slack;
}

std::string VelocityQc::Description() const {
  std::ostringstream text;
  switch (mode) {
  case Mode::Off:
    return "off";
  case Mode::Fraction:
    text << "fraction " << fraction;
    break;
  case Mode::Tolerance:
    text << "tolerance " << tolerance << " m/s";
    break;
  }
  return text.str();
}
