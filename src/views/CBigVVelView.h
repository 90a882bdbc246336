#pragma once
#include "BigDiagramView.h"
#include "DotLayer.h"

// Fall velocity against diameter, enlarged: Run plots every particle of the time window as a
// black dot; Comp lays the terminal velocity of rain drops over the plot.
class CBigVVelView : public BigDiagramView {
  Q_OBJECT
public:
  static constexpr int X = 10000; // logical extent of the diameter axis
  static constexpr int Y = 12000; // and of the velocity axis

  CBigVVelView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  // The axes alone, then every particle from where the document stands to the end of the data
  // or Stop.
  void Start() override;
  void Stop() override { run = 0; }
  bool IsIdle() override;
  void Reset() override;
  // Comp: the model curves on or off.
  void OnToggle();

  bool IsComputing() const override { return computing != 0; }
  // The dots as CSV, one row per particle.
  std::string DataTable() override;
  bool IsCompOn() const { return comp != 0; }
  int Scale() const;
  // The dots of the last run, drawn again at any size.
  const DotLayer &Dots() const { return dots; }
  const DotLayer *ShownDots() const override { return &dots; }
  QRectF PlotArea() const override;
  Axis XAxis() const override;
  Axis YAxis() const override;

protected:
  QPointF WindowOrg() const override { return {-1000, 13200}; }
  QSizeF WindowExt() const override { return {12000, -14400}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void DrawOverlay(QPainter &p) override;

private:
  void DrawGunnKinzer(QPainter &p);

  int computing = 0;
  int comp = 0;
  int run = 0;
  int frameScale = 0; // the scale the frame was drawn for
  DotLayer dots{Qt::black};
};
