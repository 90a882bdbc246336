#pragma once
#include "DsdInterval.h"
#include "IntervalReader.h"

#include <cstdint>
#include <functional>

class CPluvicamDoc;
struct HydRecord;
struct IntegrationSettings;
struct IntegrationState;

// One Run of the enlarged drop size distribution: reads the document's particles from where the
// last Run stopped until an interval of the document's `dsdIntegration` is complete (by rain,
// time, particle count, or the whole time window), normalises N(D) and records the interval in
// `dsdIntegration` and `integrationState`. It is fed one read at a time so that a window can
// keep its event loop going; the command-line tool simply calls Next() until it is done.
class DsdIntegration {
public:
  explicit DsdIntegration(CPluvicamDoc &doc);

  // Starts a Run. The full time range restarts at the window's start. False when there is
  // nothing to compute (no data file); Result() then says NotStarted.
  bool Begin();
  // One read; false once the Run is over (then call Finish()).
  bool Next();
  // Stop: the Run ends after the current particle.
  void Stop() { run = false; }
  bool Running() const { return computing; }
  // The figures after the loop; Result() holds the outcome.
  void Finish();
  // Begin, Next until done, Finish.
  const DsdInterval &RunToEnd();

  const DsdInterval &Result() const { return result; }

  // What opening the enlarged frame does to the document: the interval record is cleared and
  // its end set to the time window's start, so that the first Run starts there.
  static void OpenAtWindowStart(CPluvicamDoc &doc);
  // The enlarged view's initial update: reading restarts at the window's start, no rate yet.
  static void InitialUpdate(CPluvicamDoc &doc);
  // Called for every record passed over because its computation failed.
  std::function<void(int32_t position, const std::string &message)> onBadRecord;

private:
  void Take(const HydRecord &r);
  void Normalise(double seconds);
  void NormalisePartial();
  // By time: the interval's bounds as whole multiples of the interval from the window start.
  void SetNominalBounds();
  bool Reposition(const HydRecord &r);

  CPluvicamDoc &doc;
  IntervalReader reader;
  IntegrationSettings *settings = nullptr;
  IntegrationState *state = nullptr;
  DsdInterval result;

  bool run = false;
  bool computing = false;
  bool first = true;
  bool done = false;
  bool repositionFailed = false;
  float elapsed = 0;      // s
  double previousEnd = 0; // lines: where the previous interval ended
  double t0 = 0;          // lines: the previous interval's end + 2
  double tLast = 0;       // lines: the last particle taken
  double lineFrequency = 0;
  // Time mode: window start W and interval length L in lines, the interval index k0 of the
  // first particle and the hourly factor H.
  double windowStart = 0;
  double intervalLines = 0;
  int64_t k0 = -1;
  float hourly = 0;
};
