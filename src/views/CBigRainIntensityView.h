#pragma once
#include "BigDiagramView.h"
#include "statistics/RainRateAxis.h"
#include "statistics/RainRateRun.h"
#include "statistics/TipCurve.h"

#include <functional>

class IntervalReader;
#include <vector>

// Rain rate versus time over the whole time window, computed on Run with the document's rain
// integration, and the gauge's rain rate from the tip file beside the data file on Tip.
class CBigRainIntensityView : public BigDiagramView {
  Q_OBJECT
public:
  CBigRainIntensityView(CPluvicamDoc *doc, QWidget *parent = nullptr);
  ~CBigRainIntensityView() override;

  // Reads the document's particles from its current position to the end of the window or file,
  // drawing as it goes.
  void Start() override;
  void Stop() override { run = 0; }
  bool IsIdle() override;
  // The curve and the gauge total are dropped.
  void Reset() override;
  void OnScaleUp();
  void OnScaleDown();
  // Shows or hides the gauge's curve; the first time, the tip file is read.
  void OnToggle();

  // The gauge's mm per tip; the settings' value when the application gives one.
  void SetTipSizeSource(std::function<float()> source) { tipSizeSource = std::move(source); }

  // The run's work goes on for this long before the events are looked at again.
  static constexpr int SLICE_MS = 15;

  const RainRateAxis &Axis() const { return axis; }
  const std::vector<RateSegment> &Segments() const { return segments; }
  const std::vector<QPoint> &RatePoints() const { return ratePoints; }
  const TipCurve &GetTipCurve() const { return tipCurve; }
  const std::vector<float> &TipList() const { return tipList; }
  float GaugeTotal() const { return gaugeTotal; }
  bool TipShown() const { return tipShown != 0; }
  bool Computing() const { return computing != 0; }
  // Device rectangle of the plot, for tests that look at the picture.
  QPoint DeviceOf(double seconds, double rate) const;

protected:
  QPointF WindowOrg() const override;
  QSizeF WindowExt() const override;
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override;

private:
  void Layout();
  // One particle of the run; false when the run is over.
  bool RunStep(RainRateRun &engine, IntervalReader &reader);
  // Takes the segments of the run from `fromSegment` on and draws them onto the picture.
  void TakeSegments(const RainRateRun &engine, size_t fromSegment);
  void AddPoints(size_t fromSegment);
  void DrawRatePoints(QPainter &p, size_t from) const;
  // A step curve given as pairs of points (a step's start and end), from point `from` on,
  // clipped to the plot; a step above the top gets a mark on the top edge.
  void DrawSteps(QPainter &p, const std::vector<QPoint> &points, size_t from,
                 const QColor &colour) const;
  void UpdateTipCurve();
  double TextHeight() const;

  float gaugeTotal = -1.0f;
  int tipShown = 0;
  bool tipsRead = false;
  std::vector<float> tipList;
  std::vector<QPoint> ratePoints;
  std::vector<RateSegment> segments;
  RainRateAxis axis;
  int computing = 0;
  int run = 0;
  TipCurve tipCurve;
  std::function<float()> tipSizeSource;
};
