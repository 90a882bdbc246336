#pragma once
#include "DiagramView.h"
#include "statistics/RainStepCurve.h"

// Rain rate of the last 30 minutes as a step curve of the document's 0.1 mm intervals.
class CSmallRainIntensityView : public DiagramView {
  Q_OBJECT
public:
  CSmallRainIntensityView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;

  bool ResetPending() const { return resetPending; }
  const rainrate::StepCurve &Curve() const { return curve; }

protected:
  QPointF WindowOrg() const override { return {-200, 5500}; }
  QSizeF WindowExt() const override { return {2200, -6000}; }
  double LeftMarginPixels(const LogicalMapping &m) const override;
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override;

private:
  double LineFrequency() const;

  bool resetPending = true;
  rainrate::StepCurve curve;
};
