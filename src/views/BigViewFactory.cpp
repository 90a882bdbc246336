#include "BigViewFactory.h"

#include "CBigHVelView.h"
#include "CBigInfoView.h"
#include "CBigOblView.h"
#include "CBigVVelView.h"
#include "CHVelCtrlPanel.h"
#include "COblCtrlPanel.h"
#include "CVVelCtrlPanel.h"

QWidget *CreateBigPane(BigPane which, int kind, int, CPluvicamDoc *doc, QWidget *parent) {
  switch (which) {
  case BigPane::Info: {
    auto *info = new CBigInfoView(doc, parent);
    info->SetKind(kind);
    return info;
  }
  case BigPane::Panel:
    switch (kind) {
    case CBigInfoView::VVel:
      return new CVVelCtrlPanel(doc, parent);
    case CBigInfoView::HVel:
      return new CHVelCtrlPanel(doc, parent);
    case CBigInfoView::Obl:
      return new COblCtrlPanel(doc, parent);
    default:
      return nullptr;
    }
  case BigPane::View:
    switch (kind) {
    case CBigInfoView::VVel:
      return new CBigVVelView(doc, parent);
    case CBigInfoView::HVel:
      return new CBigHVelView(doc, parent);
    case CBigInfoView::Obl:
      return new CBigOblView(doc, parent);
    default:
      return nullptr;
    }
  }
  return nullptr;
}
