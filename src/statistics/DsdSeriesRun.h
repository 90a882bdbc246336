#pragma once
#include "DsdIntegration.h"

#include <cstdint>
#include <functional>
#include <string>

class CPluvicamDoc;

// The drop size distribution of a document's whole time window as a series: Run after Run of
// the enlarged diagram, from the window's start until the data end, each interval handed on as
// it closes. Fed in slices so that a window keeps its event loop going and can cancel.
class DsdSeriesRun {
public:
  enum Status { Running, Done, Failed };

  explicit DsdSeriesRun(CPluvicamDoc &doc);

  // Restarts at the time window's start.
  void Start();
  // Up to `reads` reads; false once the series is over (Done or Failed).
  bool Step(int reads);
  // Start, then Step until the end.
  Status RunToEnd();

  Status GetStatus() const { return status; }
  // Of a failure: the message and where the failed read began.
  const std::string &Message() const { return message; }
  int32_t Position() const { return position; }
  // The share of the data file read so far, 0 to 1.
  double Fraction() const;
  // Particles taken into intervals so far.
  int64_t Particles() const;

  // Every interval with particles, while the document's interval record holds its times.
  std::function<void(const DsdInterval &)> onInterval;
  // Every record passed over because its computation failed.
  std::function<void(int32_t position, const std::string &message)> onBadRecord;

private:
  bool EndRun();

  CPluvicamDoc &doc;
  DsdIntegration integration;
  Status status = Done;
  bool inRun = false;
  int64_t taken = 0;
  std::string message;
  int32_t position = -1;
};
