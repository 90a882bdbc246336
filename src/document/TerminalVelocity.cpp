#include "TerminalVelocity.h"

#include <cmath>
#include <limits>

namespace terminalvelocity {

const std::vector<Measurement> &Measurements() {
  static const std::vector<Measurement> table = {
      {0.1, 0.27}, {0.2, 0.72}, {0.3, 1.17}, {0.4, 1.62}, {0.5, 2.06}, {0.6, 2.47}, {0.7, 2.87},
      {0.8, 3.27}, {0.9, 3.67}, {1.0, 4.03}, {1.2, 4.64}, {1.4, 5.17}, {1.6, 5.65}, {1.8, 6.09},
      {2.0, 6.49}, {2.4, 7.27}, {2.8, 7.82}, {3.2, 8.26}, {3.6, 8.60}, {4.0, 8.83}, {4.4, 8.98},
      {4.8, 9.07}, {5.2, 9.12}, {5.6, 9.16}, {6.0, 9.17}, {6.5, 9.18}};
  return table;
}

double Fitted(double diameter) { return 9.65 - 10.3 * std::exp(-0.6 * diameter); }

double OfRainDrop(double diameter) {
  if (std::isnan(diameter))
    return std::numeric_limits<double>::quiet_NaN();
  const std::vector<Measurement> &table = Measurements();
  if (diameter > table.back().diameter)
    return Fitted(diameter);
  Measurement below{0.0, 0.0};
  for (const Measurement &m : table) {
    if (diameter <= m.diameter) {
      if (diameter <= below.diameter)
        return below.velocity;
      const double share = (diameter - below.diameter) / (m.diameter - below.diameter);
      return below.velocity + share * (m.velocity - below.velocity);
    }
    below = m;
  }
  return table.back().velocity;
}

} // namespace terminalvelocity
