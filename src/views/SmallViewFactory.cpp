#include "SmallViewFactory.h"

#include "CSmallDSDView.h"
#include "CSmallFrontView.h"
#include "CSmallHVelView.h"
#include "CSmallInfoView.h"
#include "CSmallOblView.h"
#include "CSmallRainIntensityView.h"
#include "CSmallSideView.h"
#include "CSmallTopView.h"
#include "CSmallVVelView.h"

QWidget *CreateSmallView(Pane pane, CPluvicamDoc *doc, QWidget *parent) {
  switch (pane) {
  case Pane::RainIntensity:
    return new CSmallRainIntensityView(doc, parent);
  case Pane::Dsd:
    return new CSmallDSDView(doc, parent);
  case Pane::VVel:
    return new CSmallVVelView(doc, parent);
  case Pane::HVel:
    return new CSmallHVelView(doc, parent);
  case Pane::Obl:
    return new CSmallOblView(doc, parent);
  case Pane::Side:
    return new CSmallSideView(doc, parent);
  case Pane::Top:
    return new CSmallTopView(doc, parent);
  case Pane::Info:
    return new CSmallInfoView(doc, parent);
  case Pane::Front:
    return new CSmallFrontView(doc, parent);
  }
  return nullptr;
}
