#pragma once
#include <string>
#include <vector>

// Tick values for an axis shown over any range, as a zoomed diagram relabels its axes: round
// numbers on a linear axis, clock steps on a time axis, 1-2-5 on a logarithmic one.
namespace axisticks {

// Multiples of a step of 1, 2 or 5 × 10^k from lo to hi, the smallest step that gives at most
// `most` ticks (at least one tick when the range is not empty).
std::vector<double> Linear(double lo, double hi, int most);
// Seconds of day on a clock step: 1, 2, 5, 10, 15, 30 s; 1, 2, 5, 10, 15, 30 min; 1, 2, 3, 6,
// 12 h.
std::vector<double> Clock(double lo, double hi, int most);
// Positive values 1, 2 and 5 × 10^k within lo..hi; only the decades when those are too many;
// linear ticks when not even two decades fall within.
std::vector<double> Logarithmic(double lo, double hi, int most);

// A value with as many decimals as the spacing of its ticks needs.
std::string Label(double value, double spacing);
// "HH:MM", or "HH:MM:SS" when the ticks are less than a minute apart.
std::string ClockLabel(double seconds, double spacing);

} // namespace axisticks
