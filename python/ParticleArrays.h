#pragma once
#include "ParticleCsv.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

// The particle columns gathered particle by particle, then handed to Python as NumPy arrays:
// counts as int32, the record's floats as float32, line times as float64 and the clock as
// bytes. A column that may be empty and holds whole numbers becomes float64 with NaN.
class ParticleArrays {
public:
  ParticleArrays();
  void Add(const HydRecord &r, bool isSnow);
  std::size_t Size() const { return rows; }
  // {name: array} in the columns' order; call with the GIL held.
  pybind11::dict ToDict() const;
  // {name: unit}
  static pybind11::dict Units();

private:
  struct Column {
    const csv::ParticleColumn *column;
    std::vector<int32_t> integers;
    std::vector<float> reals;
    std::vector<double> doubles;
    std::vector<char> clock; // CLOCK_WIDTH bytes a row
  };
  static constexpr std::size_t CLOCK_WIDTH = 12; // "HH:MM:SS.mmm"
  std::vector<Column> columns;
  std::size_t rows = 0;
};
