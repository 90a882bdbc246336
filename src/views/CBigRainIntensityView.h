#pragma once
#include "BigDiagramView.h"
#include "document/FilterRecord.h"
#include "statistics/RainRateAxis.h"
#include "statistics/RainRateRun.h"
#include "statistics/TimeSpan.h"
#include "statistics/TipCurve.h"

#include <functional>
#include <optional>

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
  bool IsComputing() const override { return computing != 0; }
  QRectF PlotArea() const override;
  BigDiagramView::Axis XAxis() const override;
  BigDiagramView::Axis YAxis() const override;
  // Fit: the time axis over the curve's extent, the rate axis as it is.
  void FitToData();
  // The time span a drag across the time axis covers, between two device x.
  TimeSpan SpanBetween(double x1, double x2) const;
  // The document's time window becomes `span`; the window before is kept for ResetTime.
  void SetTimeWindow(const TimeSpan &span);
  // The window before the first SetTimeWindow again; false when there is none.
  bool ResetTime();
  // The step of the particles' curve at a time of day, or null.
  const RateSegment *StepAt(double seconds) const;
  // Shows the span's menu at a global position and returns the action chosen; tests answer
  // it themselves.
  void SetSpanMenu(std::function<QAction *(QMenu &, QPoint)> exec) {
    execSpanMenu = std::move(exec);
  }

signals:
  // "Drop size distribution of this span".
  void SpanDsdRequested(TimeSpan span);

public:
  // The particles' steps, then the gauge's when its curve is shown, as CSV.
  std::string DataTable() override;
  // Device rectangle of the plot, for tests that look at the picture.
  QPoint DeviceOf(double seconds, double rate) const;

protected:
  QPointF WindowOrg() const override;
  QSizeF WindowExt() const override;
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void DrawOverlay(QPainter &p) override;
  void Resized() override;
  void AddMenuActions(QMenu &menu) override;
  // A drag that starts below the time axis selects a span.
  bool OwnsDrag(const QMouseEvent &event) const override;
  void Clicked(QPointF device) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void paintEvent(QPaintEvent *event) override;

private:
  // The axes and curves again after the document's time window changed.
  void LayOnNewWindow();
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
  bool spanning = false;
  double spanStartX = 0, spanEndX = 0; // device
  std::optional<FilterRecord> windowBefore;
  std::function<QAction *(QMenu &, QPoint)> execSpanMenu;
};
