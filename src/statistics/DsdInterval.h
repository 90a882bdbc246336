#pragma once
#include "DsdClassGeometry.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// What one Run of the drop size distribution leaves: N(D) of the interval and how it ended.
struct DsdInterval {
  // The velocity classes of `raw`: 0.2 m/s wide from 0 to 20 m/s.
  static constexpr double VELOCITY_CLASS_WIDTH = 0.2;
  static constexpr int VELOCITY_CLASSES = 100;

  enum End {
    NotStarted, // no document, data file or settings: nothing computed
    Complete,   // the interval closed (the whole window read, for the full time range)
    DataEnded,  // the data ended before the interval closed: a partial interval
    Stopped,    // Stop ended the Run
    Failed,     // a read error or a failed reposition: message and position
  };

  // N(D) per class in 1/(m³·mm) once normalised; before that the raw sums of 10⁶/(A·v).
  std::array<double, dsd::ClassGeometry::TABLE_SIZE> classes{};
  dsd::ClassGeometry geometry; // bar width and class count n
  float deltaD = 0;            // mm
  End end = NotStarted;
  bool success = false;    // a result to show: the interval closed or the data ended
  bool normalised = false; // `classes` hold N(D); false when the interval has no duration
  double seconds = 0;      // the duration N(D) was normalised with
  double ndMax = 0;        // largest of the first n classes once normalised, else 0
  float rain = 0;          // mm, of the particles taken
  int32_t count = 0;       // particles taken
  int32_t removed = 0;     // particles the velocity check removed while the interval was read
  // Per diameter class, of the particles counted in `classes`: how many, the sum of their
  // velocities (m/s), and how many per velocity class (class-major, VELOCITY_CLASSES a row).
  std::vector<int32_t> counts;
  std::vector<double> velocitySums;
  std::vector<int32_t> raw;
  int32_t skipped = 0;    // records passed over because their computation failed
  std::string message;    // of a failure
  int32_t position = -1;  // where the failed read began
  bool truncated = false; // the data ended inside a record
  // By time: the interval's nominal bounds in camera lines since midnight, whole multiples of
  // the interval from the window start (the document's interval record keeps them 2 lines
  // later); not a number in the other modes.
  double nominalStartTim = std::numeric_limits<double>::quiet_NaN();
  double nominalEndTim = std::numeric_limits<double>::quiet_NaN();

  int ClassCount() const { return geometry.count; }
};
