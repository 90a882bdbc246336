#pragma once
#include "PrecipitationPath.h"
#include "RandomStream.h"

#include <cstdint>
#include <vector>

namespace synth {

// The wind sensor's readings of a whole day, one every 3 s: speed and direction drift smoothly
// (a smoothed Ornstein-Uhlenbeck process), gusts come with convective rain, the temperature
// follows the day and drops in the burst's cold outflow.
class WindSeries {
public:
  static constexpr int SLOT_SECONDS = 3;
  static constexpr int SLOTS = 86400 / SLOT_SECONDS;

  WindSeries(RandomStream &random, const PrecipitationPath &path, bool snow);

  // Reading of the slot that holds this time of day.
  double Speed(double seconds) const;     // m/s
  double Direction(double seconds) const; // degrees, where the wind comes from
  double Temperature(double seconds) const;
  // The air's velocity towards east and north in m/s (the direction is where it comes from).
  void Velocity(double seconds, double &east, double &north) const;

  // The wind file: 8 bytes per slot (speed 0.01 m/s, direction, status, temperature 0.01 C).
  std::vector<uint8_t> Bytes() const;

private:
  static int Slot(double seconds);
  struct Reading {
    uint16_t speed, direction;
    int16_t temperature;
  };
  std::vector<Reading> readings;
  std::vector<double> east, north; // per slot, so that no particle needs a sine
};

} // namespace synth
