#include "BigPaneFactory.h"

#include "CBigFrame.h"
#include "CPluvicamApp.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"
#include "views/CParticleCtrlPanel.h"

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
} // namespace

QWidget *CreateBigPane(BigPane which, int kind, int index, CPluvicamDoc *doc, QWidget *parent) {
  if (which == BigPane::Info) {
    auto *info = new CBigInfoView(doc, parent);
    info->SetKind(kind);
    return info;
  }
  switch (kind) {
  case CBigFrame::KIND_DROP_VIEW:
    return DropViewPane(which, index, doc, parent);
  default:
    return nullptr;
  }
}
