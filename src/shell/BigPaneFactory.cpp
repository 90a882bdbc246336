#include "BigPaneFactory.h"

#include "CBigFrame.h"
#include "CPluvicamApp.h"
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
QWidget *DropViewPane(BigPane which, int index, CPluvicamDoc *doc, QWidget *parent) {
  if (which == BigPane::View)
    return new CBigParticleView(doc, index, parent);
  CPluvicamApp *app = CPluvicamApp::Instance();
  auto *panel = new CParticleCtrlPanel(doc, app ? app->Messages() : nullptr, parent);
  QObject::connect(panel, &CParticleCtrlPanel::HelpRequested, panel, [](int page) {
    if (CPluvicamApp *a = CPluvicamApp::Instance())
      a->ShowDocument(page);
  });
  // The panel is idle when Main can be pressed, so closing the frame goes straight to the
  // main window.
  QObject::connect(panel, &CParticleCtrlPanel::MainRequested, panel,
                   [panel] { panel->window()->close(); });
  return panel;
}

QWidget *RainRatePane(BigPane which, CPluvicamDoc *doc, QWidget *parent) {
  if (which == BigPane::View) {
    auto *view = new CBigRainIntensityView(doc, parent);
    // The gauge's size per tip is a stored setting.
    view->SetTipSizeSource([] {
      const CPluvicamApp *app = CPluvicamApp::Instance();
      return app ? app->GetStoredFilter().tipSize : FilterSettings().tipSize;
    });
    return view;
  }
  auto *panel = new CRainIntensityCtrlPanel(doc, parent);
  QObject::connect(panel, &CRainIntensityCtrlPanel::HelpRequested, panel, [](int page) {
    if (CPluvicamApp *a = CPluvicamApp::Instance())
      a->ShowDocument(page);
  });
  return panel;
}

QWidget *DsdPane(BigPane which, CPluvicamDoc *doc, QWidget *parent) {
  if (which == BigPane::View) {
    auto *view = new CBigDSDView(doc, parent);
    view->OnInitialUpdate();
    return view;
  }
  auto *panel = new CDSDCtrlPanel(doc, parent);
  QObject::connect(panel, &CDSDCtrlPanel::HelpRequested, panel, [](int page) {
    if (CPluvicamApp *a = CPluvicamApp::Instance())
      a->ShowDocument(page);
  });
  // Main is disabled while the view computes, so closing goes straight to the main window.
  QObject::connect(panel, &CDSDCtrlPanel::MainRequested, panel,
                   [panel] { panel->window()->close(); });
  return panel;
}
} // namespace

QWidget *CreateBigPane(BigPane which, BigKind kind, int index, CPluvicamDoc *doc, QWidget *parent) {
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
    return RainRatePane(which, doc, parent);
  case BigKind::Dsd:
    return DsdPane(which, doc, parent);
  case BigKind::DropView:
    return DropViewPane(which, index, doc, parent);
  }
  return nullptr;
}
