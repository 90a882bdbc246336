#pragma once
#include <string>

// The quality control of fall velocities: a rain particle far from the terminal velocity of a
// drop of its diameter was mismatched between the cameras or splashed, and is removed. Off
// unless the user switches it on. It does not apply to snow.
struct VelocityQc {
  enum class Mode { Off, Fraction, Tolerance };

  static constexpr double DEFAULT_FRACTION = 0.5;

  Mode mode = Mode::Off;
  double fraction = DEFAULT_FRACTION; // Fraction: v_T·(1 - f) <= v <= v_T·(1 + f)
  double tolerance = 0;               // Tolerance: v_T - t <= v <= v_T + t, m/s

  bool On() const { return mode != Mode::Off; }
  // Whether a particle of `diameter` mm falling at `velocity` m/s stays; edges included.
  bool Keeps(double diameter, double velocity) const;
  // What the filter does, for a product's global attributes: "off", "fraction 0.5",
  // "tolerance 2 m/s".
  std::string Description() const;

  bool operator==(const VelocityQc &) const = default;
};
