#pragma once
#include "DiagramView.h"
#include "statistics/DsdMath.h"

#include <vector>

// N(D) of the particles of the main run, redrawn each time another 0.1 mm of rain is complete.
class CSmallDSDView : public DiagramView {
  Q_OBJECT
public:
  CSmallDSDView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;

  const dsd::SmallDsd &Distribution() const { return distribution; }
  const std::vector<dsd::Bar> &Bars() const { return bars; }

protected:
  QPointF WindowOrg() const override { return {-800, 11000}; }
  QSizeF WindowExt() const override { return {9600, -12000}; }
  double LeftMarginPixels(const LogicalMapping &m) const override;
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override;

private:
  dsd::SmallDsd distribution;
  std::vector<dsd::Bar> bars; // of the last closed interval, until the image is rebuilt
};
