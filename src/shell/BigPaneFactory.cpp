#include "BigPaneFactory.h"

#include "views/CBigDSDView.h"
#include "views/CBigHVelView.h"
#include "views/CBigInfoView.h"
#include "views/CBigOblView.h"
#include "views/CBigParticleView.h"
#include "views/CBigRainIntensityView.h"
#include "views/CBigVVelView.h"
#include "views/CDSDCtrlPanel.h"
#include "views/CHVelCtrlPanel.h"
#include "views/COblCtrlPanel.h"
#include "views/CParticleCtrlPanel.h"
#include "views/CRainIntensityCtrlPanel.h"
#include "views/CVVelCtrlPanel.h"

namespace {
QWidget *MakeBigPane(BigPane which, BigKind kind, int index, CPluvicamDoc *doc, QWidget *parent,
                     const std::function<float()> &tipSize) {
  if (which == BigPane::Info) {
    auto *info = new CBigInfoView(doc, parent);
    info->SetKind(kind);
    return info;
  }
  const bool view = which == BigPane::View;
  switch (kind) {
  case BigKind::VVel:
    return view ? static_cast<QWidget *>(new CBigVVelView(doc, parent))
                : new CVVelCtrlPanel(doc, parent);
  case BigKind::HVel:
    return view ? static_cast<QWidget *>(new CBigHVelView(doc, parent))
                : new CHVelCtrlPanel(doc, parent);
  case BigKind::Obl:
    return view ? static_cast<QWidget *>(new CBigOblView(doc, parent))
                : new COblCtrlPanel(doc, parent);
  case BigKind::RainRate:
    if (view) {
      auto *rain = new CBigRainIntensityView(doc, parent);
      if (tipSize)
        rain->SetTipSizeSource(tipSize);
      return rain;
    }
    return new CRainIntensityCtrlPanel(doc, parent);
  case BigKind::Dsd:
    if (view) {
      auto *dsd = new CBigDSDView(doc, parent);
      dsd->OnInitialUpdate();
      return dsd;
    }
    return new CDSDCtrlPanel(doc, parent);
  case BigKind::DropView:
    return view ? static_cast<QWidget *>(new CBigParticleView(doc, index, parent))
                : new CParticleCtrlPanel(doc, nullptr, parent);
  }
  return nullptr;
}
} // namespace

QWidget *CreateBigPane(BigPane which, BigKind kind, int index, CPluvicamDoc *doc, QWidget *parent) {
  return MakeBigPane(which, kind, index, doc, parent, {});
}

BigPaneFactory BigPanesWithTipSize(std::function<float()> tipSize) {
  return [tipSize = std::move(tipSize)](BigPane which, BigKind kind, int index, CPluvicamDoc *doc,
                                        QWidget *parent) {
    return MakeBigPane(which, kind, index, doc, parent, tipSize);
  };
}
