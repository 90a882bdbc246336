#include "ParticleArrays.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace py = pybind11;

namespace {

enum class Storage { Integer, Real, Double, Clock };

Storage StorageOf(const csv::ParticleColumn &c) {
  switch (c.kind) {
  case csv::ParticleColumn::Integer:
    return c.mayBeEmpty ? Storage::Double : Storage::Integer;
  case csv::ParticleColumn::Real:
    return Storage::Real;
  case csv::ParticleColumn::LineTime:
    return Storage::Double;
  case csv::ParticleColumn::Clock:
    break;
  }
  return Storage::Clock;
}

template <typename T> py::array_t<T> ToArray(const std::vector<T> &values) {
  py::array_t<T> array(py::ssize_t(values.size()));
  if (!values.empty())
    std::memcpy(array.mutable_data(), values.data(), values.size() * sizeof(T));
  return array;
}

} // namespace

ParticleArrays::ParticleArrays() {
  for (const csv::ParticleColumn &c : csv::ParticleColumns())
    columns.push_back(Column{&c, {}, {}, {}, {}});
}

void ParticleArrays::Add(const HydRecord &r, bool isSnow) {
  const double lineFrequency = r.mainHeader ? r.mainHeader->lineFrequency : 0;
  constexpr double missing = std::numeric_limits<double>::quiet_NaN();
  for (Column &c : columns) {
    switch (StorageOf(*c.column)) {
    case Storage::Integer:
      c.integers.push_back(int32_t(*c.column->value(r, isSnow)));
      break;
    case Storage::Real:
      c.reals.push_back(float(c.column->value(r, isSnow).value_or(missing)));
      break;
    case Storage::Double:
      c.doubles.push_back(c.column->value(r, isSnow).value_or(missing));
      break;
    case Storage::Clock: {
      const std::string text = csv::TimeOfDay(r.tim, lineFrequency);
      const std::size_t at = c.clock.size();
      c.clock.resize(at + CLOCK_WIDTH, '\0');
      std::memcpy(c.clock.data() + at, text.data(), std::min(text.size(), CLOCK_WIDTH));
      break;
    }
    }
  }
  ++rows;
}

py::dict ParticleArrays::ToDict() const {
  py::dict out;
  for (const Column &c : columns) {
    py::object array;
    switch (StorageOf(*c.column)) {
    case Storage::Integer:
      array = ToArray(c.integers);
      break;
    case Storage::Real:
      array = ToArray(c.reals);
      break;
    case Storage::Double:
      array = ToArray(c.doubles);
      break;
    case Storage::Clock: {
      py::array clock(py::dtype("S" + std::to_string(CLOCK_WIDTH)),
                      std::vector<py::ssize_t>{py::ssize_t(rows)});
      if (rows > 0)
        std::memcpy(clock.mutable_data(), c.clock.data(), c.clock.size());
      array = clock;
      break;
    }
    }
    out[c.column->name] = array;
  }
  return out;
}

py::dict ParticleArrays::Units() {
  py::dict units;
  for (const csv::ParticleColumn &c : csv::ParticleColumns())
    units[c.name] = c.unit;
  return units;
}
