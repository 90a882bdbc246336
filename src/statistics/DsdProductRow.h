#pragma once
#include <cstdint>
#include <optional>
#include <vector>

// One interval of a drop size distribution product. An empty optional, an empty `nd` or a
// value that is not finite is stored as missing.
struct DsdProductRow {
  double start = 0; // s since 1970-01-01 00:00:00 UTC
  double end = 0;
  std::vector<double> nd;         // N(D) per class, 1/(m³·mm); empty when not normalised
  std::optional<double> rainRate; // mm/h
  std::optional<double> amount;   // mm of rain collected
  int32_t count = 0;              // particles taken
  int32_t removed = 0;            // particles the velocity check removed
  // Per diameter class: particles counted, their mean velocity (m/s, not a number without
  // any), and per velocity class (class-major). Empty when the interval has none of them.
  std::vector<int32_t> counts;
  std::vector<double> meanVelocity;
  std::vector<int32_t> raw;
  bool complete = false;              // the interval closed; false when the data ended inside it
  std::optional<double> nt;           // 1/m³
  std::optional<double> lwc;          // g/m³
  std::optional<double> reflectivity; // dBZ
  std::optional<double> dm;           // mm
  std::optional<double> d0;           // mm
  std::optional<double> nw;           // 1/(mm·m³)
  std::optional<double> mu;
  std::optional<double> lambda; // 1/mm
};
