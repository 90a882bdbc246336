#pragma once
#include "BigDiagramView.h"
#include "statistics/DsdIntegration.h"
#include "statistics/DsdMath.h"
#include "statistics/DsdModels.h"

#include <array>
#include <memory>
#include <vector>

// The enlarged drop size distribution: each Run computes one integration interval of the
// document's `dsdIntegration` and shows N(D) as bars in percent of its maximum on a logarithmic
// axis, optionally with three model distributions for the interval's rain rate.
class CBigDSDView : public BigDiagramView {
  Q_OBJECT
public:
  static constexpr const char *NO_RAIN_RATE = "No rainrate available\nfor MP - DSD !";

  CBigDSDView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  // After the frame has opened: reading restarts at the window's start.
  void OnInitialUpdate();
  // Run: computes one interval and draws it.
  void Start() override;
  // A running computation ends after the current particle.
  void Stop() override;
  bool IsIdle() override;
  // Axes only, comparison off (the panel's Default and Reset Time).
  void Reset() override;
  // The document's 0x501: as Reset.
  void OnReset(int flag) override;
  // The model comparison on or off; refused without a rain amount.
  void OnToggle();

  bool IsComputing() const override { return computing; }
  QRectF PlotArea() const override;
  Axis XAxis() const override;
  Axis YAxis() const override;

  // The last Run's interval as a row of the distribution's table, numbered as the Runs since
  // the last reset; empty before a Run.
  std::string DataTable() override;
  bool IsCompOn() const { return comp; }
  // The last Run's outcome; its classes survive until the next Run.
  const DsdInterval &LastInterval() const { return last; }
  const std::vector<dsd::Bar> &Bars() const { return bars; }
  const std::array<dsd::ModelCurve, 3> &Models() const { return models; }
  // The logical point of a label of the N(D)max text, for tests.
  static QPointF NdMaxLabelAt() { return {5000, 10000}; }
  std::string NdMaxText() const;

protected:
  QPointF WindowOrg() const override { return {-1000, 11000}; }
  QSizeF WindowExt() const override { return {12000, -12000}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void DrawOverlay(QPainter &p) override;

private:
  void UpdateModels();

  std::unique_ptr<DsdIntegration> integration; // none without a document
  DsdInterval last;
  double ndMax = 0;
  bool computing = false;
  bool comp = false;
  int frameScale = 1; // the scale the axes were labelled with
  std::vector<dsd::Bar> bars;
  bool showLabel = false;
  int runs = 0; // the Runs with a result since the axes were last cleared
  std::array<dsd::ModelCurve, 3> models;
};
