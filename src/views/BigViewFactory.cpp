#include "BigViewFactory.h"

#include "CBigInfoView.h"
#include "CBigRainIntensityView.h"
#include "CRainIntensityCtrlPanel.h"

QWidget *CreateBigPane(BigPane which, int kind, int, CPluvicamDoc *doc, QWidget *parent) {
  if (which == BigPane::Info) {
    auto *info = new CBigInfoView(doc, parent);
    info->SetKind(kind);
    return info;
  }
  switch (kind) {
  case CBigInfoView::RainRate:
    if (which == BigPane::Panel)
      return new CRainIntensityCtrlPanel(doc, parent);
    return new CBigRainIntensityView(doc, parent);
  default:
    return nullptr;
  }
}
