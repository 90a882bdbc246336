#pragma once
#include "RandomStream.h"

#include <string>
#include <vector>

namespace synth {

// A 0.2 mm tipping-bucket gauge beside the instrument. It catches the rain that the drops
// represent with its own error (a few percent), tips after the funnel's delay with some timing
// jitter, and writes a tip file of version 1.1.
class TipGauge {
public:
  static constexpr double TIP_MM = 0.2;

  // `date` is day/month/year of the recording day for the M lines.
  TipGauge(RandomStream &random, int day, int month, int year);

  // Rain of `mm` fell at `seconds` of the day; calls come in time order.
  void AddRain(double seconds, double mm);

  double CatchFactor() const { return catchFactor; }
  const std::vector<double> &TipTimes() const { return tips; }
  // Version 1.1: the name line, two M lines with the start, the tips; an M line at 00:00:00.00
  // when the tips pass midnight.
  std::string Text(double startSeconds) const;

private:
  RandomStream &random;
  int day, month, year;
  double catchFactor, delay;
  double caught = 0;
  std::vector<double> tips;
};

} // namespace synth
