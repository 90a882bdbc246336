#pragma once
#include <vector>

// Terminal fall velocity of rain drops in still air near the ground.
namespace terminalvelocity {

struct Measurement {
  double diameter; // mm
  double velocity; // m/s
};
// The measured terminal velocities of Gunn and Kinzer (1949), 0.1 to 6.5 mm.
const std::vector<Measurement> &Measurements();

// The fit of Atlas, Srivastava and Sekhon (1973): 9.65 - 10.3 exp(-0.6 D).
double Fitted(double diameter);

// The measurements, linear between their points; beyond the largest the fit. Below the smallest
// the fit turns negative, so the velocity falls linearly to 0 at D = 0 instead. Not a number for
// a diameter that is not one.
double OfRainDrop(double diameter);

} // namespace terminalvelocity
