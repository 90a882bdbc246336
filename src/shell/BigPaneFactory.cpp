#include "BigPaneFactory.h"

#include "CBigFrame.h"
#include "CPluvicamApp.h"
#include "views/CBigDSDView.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"
#include "views/CBigRainIntensityView.h"
#include "views/CDSDCtrlPanel.h"
#include "views/CParticleCtrlPanel.h"
#include "views/CRainIntensityCtrlPanel.h"

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

QWidget *CreateBigPane(BigPane which, int kind, int index, CPluvicamDoc *doc, QWidget *parent) {
  if (which == BigPane::Info) {
    auto *info = new CBigInfoView(doc, parent);
    info->SetKind(kind);
    return info;
  }
  switch (kind) {
  case CBigFrame::KIND_RAIN_RATE:
    return RainRatePane(which, doc, parent);
  case CBigFrame::KIND_DSD:
    return DsdPane(which, doc, parent);
  case CBigFrame::KIND_DROP_VIEW:
    return DropViewPane(which, index, doc, parent);
  default:
    return nullptr;
  }
}
