#pragma once
#include "BigDiagramView.h"
#include "DotLayer.h"
#include "statistics/CalibrationSelection.h"
#include "statistics/OblatenessHistogram.h"

#include <functional>

class QDialog;

// Oblateness, enlarged: the scatter against diameter with the two drop-shape models and the
// calibration marks, or the distribution N(H/W). In the scatter the user drags rectangles
// around groups of drops and writes their ranges to CORR_IN.DAT.
class CBigOblView : public BigDiagramView {
  Q_OBJECT
public:
  // The scatter's legend lines; the RO line carries the superscript two.
  static const QString LEGEND_PB;
  static const QString LEGEND_RO;

  // The windows the view asks the user through; tests put their own answers here.
  struct Dialogs {
    // The standardised diameter index for a rectangle centred at `diameter` mm, -1 for none.
    std::function<int(double diameter)> chooseDiameter;
    std::function<bool(const QString &question)> askYesNo;
    // The file to write, empty when cancelled.
    std::function<QString(const QString &initialPath)> askSavePath;
  };

  CBigOblView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void SetDialogs(const Dialogs &dialogs) { ask = dialogs; }

  // A fresh picture, then every particle from where the document stands to the end of the data
  // or Stop.
  void Start() override;
  void Stop() override { running = false; }
  bool IsIdle() override;
  void Reset() override;
  // Comp and Grid: scatter mode only.
  void OnToggleComp();
  void OnToggleGrid();
  // N (H/W): the scatter or the distribution.
  void OnToggleMode();
  // Calibrate: the summary, the question, the export.
  void OnCalibrate();
  // The calibration export; false with `error` set when it failed or its pass did not reach
  // the end of the data (nothing is written then). A written file is named to the user. Cancel
  // writes nothing and is no failure.
  bool SaveCalibData(std::string &error);

  bool IsDistribution() const { return mode; }
  bool IsCompOn() const { return comp; }
  bool IsBusy() const { return busy; }
  bool IsComputing() const override { return busy; }
  const DotLayer *ShownDots() const override { return mode ? nullptr : &dots; }
  QRectF PlotArea() const override;
  Axis XAxis() const override;
  Axis YAxis() const override;

  // The scatter's dots, or the distribution's bins, as CSV.
  std::string DataTable() override;
  const OblatenessHistogram &Histogram() const { return histogram; }
  const DotLayer &Dots() const { return dots; }
  const CalibrationSelection &Selection() const { return selection; }
  int Scale() const;

protected:
  QPointF WindowOrg() const override;
  QSizeF WindowExt() const override;
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override { Prepare(); }
  void DrawOverlay(QPainter &p) override;
  void paintEvent(QPaintEvent *event) override;
  // A plain drag in the scatter marks calibration drops; Shift+drag zooms.
  bool OwnsDrag(const QMouseEvent &event) const override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  // The picture of the mode's frame, drawn anew over what the last run collected.
  void Prepare();
  void DrawScatterFrame(QPainter &p);
  void DrawDistributionFrame(QPainter &p);
  void DrawModels(QPainter &p);
  void DrawMarks(QPainter &p);
  void DrawBars(QPainter &p);
  QPoint LogicalPoint(QPointF device) const;

  bool mode = false; // false scatter, true distribution
  bool grid = false;
  bool comp = false;
  bool running = false;
  bool busy = false;
  // A run collects both the scatter and the distribution, so that either mode shows it.
  OblatenessHistogram histogram;
  DotLayer dots{Qt::black};
  CalibrationSelection selection;
  bool dragging = false;
  QPoint dragStart, dragCurrent;
  int frameScale = 0;
  bool frameMode = false;
  Dialogs ask;
};
