#include "BigViewFactory.h"

#include "CBigDSDView.h"
#include "CBigInfoView.h"
#include "CDSDCtrlPanel.h"

namespace {
constexpr int KIND_DSD = 1;
} // namespace

QWidget *CreateBigPane(BigPane which, int kind, int, CPluvicamDoc *doc, QWidget *parent) {
  switch (which) {
  case BigPane::Info: {
    auto *info = new CBigInfoView(doc, parent);
    info->SetKind(kind);
    return info;
  }
  case BigPane::Panel:
    if (kind == KIND_DSD)
      return new CDSDCtrlPanel(doc, parent);
    return nullptr;
  case BigPane::View:
    if (kind == KIND_DSD) {
      auto *view = new CBigDSDView(doc, parent);
      view->OnInitialUpdate();
      return view;
    }
    return nullptr;
  }
  return nullptr;
}
