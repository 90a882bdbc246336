#pragma once
#include "DiagramView.h"

#include <string>
#include <vector>

// An enlarged diagram that computes over the time window. Its panel starts and stops it and
// keeps the record table up to date; its frame asks whether it is idle before it closes. Its
// pictures are drawn anew from what it keeps, and the numbers behind it can be saved.
class DotLayer;

class BigDiagramView : public DiagramView {
  Q_OBJECT
public:
  BigDiagramView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  // Computes from where the document stands; returns when the computation has ended (the end
  // of the data, Stop, a read error). A diagram that still computes ignores it.
  virtual void Start() = 0;
  // A computation that is going ends after the current particle.
  virtual void Stop() = 0;
  // Stops a computation and says whether none is going any more.
  virtual bool IsIdle() = 0;
  // Drops what the last computation collected: the axes alone.
  virtual void Reset() = 0;
  // Whether a computation is going.
  virtual bool IsComputing() const = 0;

  // How an axis turns logical units into the values it is labelled with.
  struct Axis {
    enum Kind { Linear, Logarithmic, Clock };
    double unitsPerValue = 1; // logical units per unit of the value (per decade, logarithmic)
    double offset = 0;        // the logical unit of the value 0 (of 1, logarithmic)
    QString name;             // what the status line calls it
    QString unit;
    Kind kind = Linear;
    double ValueOf(double logical) const;
    double LogicalOf(double value) const;
  };
  // The logical rectangle the data are plotted in at the full view, x and y growing.
  virtual QRectF PlotArea() const = 0;
  virtual Axis XAxis() const = 0;
  virtual Axis YAxis() const = 0;

  // Shows the logical rectangle `area` (any two corners) in the plot's place; the one shown
  // before is kept for ZoomBack. A rectangle of no size is ignored.
  void ZoomTo(const QRectF &area);
  // The view shown before the last zoom; false when there was none.
  bool ZoomBack();
  // The full view again; the diagram's Scale and Reset call it.
  void ClearZoom();
  bool IsZoomed() const { return !zooms.empty(); }
  // The logical rectangle of the plot now shown.
  QRectF ShownArea() const;
  // The axis values under a device point.
  QPointF ValuesAt(QPointF device) const;
  // What the status line says for the cursor at a device point: the axis values, and the time
  // of the nearest dot's particle when one is within reach; empty outside the plot.
  QString CursorText(QPointF device) const;

  // The dots of a dot diagram as now shown; null for the other diagrams.
  virtual const DotLayer *ShownDots() const { return nullptr; }
  // The dot nearest a device point within DOT_REACH pixels; -1 for none.
  long DotAt(QPointF device) const;
  static constexpr double DOT_REACH = 4;
  // Selects a dot (marked on screen) and moves the document to its particle, which the record
  // table then shows; -1 clears the selection.
  void SelectDot(long index);
  long SelectedDot() const { return selected; }

  // The numbers the diagram shows as CSV; empty when it shows none.
  virtual std::string DataTable() = 0;
  // Writes DataTable() to `path`. False with `error` set.
  bool SaveData(const QString &path, QString *error = nullptr);

signals:
  // The data have ended or could not be read: a Run that is going ends.
  void Finished();
  // The document's figures of this diagram (its result, the gauge's total) have changed.
  void FiguresChanged();
  // The cursor's values for the frame's status line; empty when the cursor left the plot.
  void CursorTextChanged(const QString &text);
  // The drop view is asked for at the particle whose record starts at `position`.
  void DropRequested(qint32 position);
  // A dot was selected (its particle is the document's current one) or the selection cleared.
  void SelectionChanged(bool any);

protected:
  void PaintScene(QPainter &p) override;
  void AddMenuActions(QMenu &menu) override;
  void PaintFrame(QPainter &p) override;
  void AdjustWindow(QPointF &org, QSizeF &ext, QSizeF viewport) const override;
  QRect StateClip() const override;
  // Whether a left drag starting with `event` is the view's own (not a zoom rectangle).
  virtual bool OwnsDrag(const QMouseEvent &) const { return false; }
  // A click without a drag at a device point: by default it selects the dot there.
  virtual void Clicked(QPointF device) { SelectDot(DotAt(device)); }
  // The zoom changed: views with live marks take them from their state again.
  virtual void ZoomChanged() {}
  // Text height in device pixels of the zoomed axes' labels.
  int AxisTextPixels() const;

  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void leaveEvent(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;

private:
  void AskAndSaveData();
  void DrawZoomedAxes(QPainter &p);
  void ApplyZoom();

  std::vector<QRectF> zooms; // the areas zoomed into, the one shown last
  long selected = -1;        // the selected dot
  bool banding = false;
  QPoint bandStart, bandEnd; // device
};
