#include "BigPanes.h"

#include "CPluvicamApp.h"
#include "views/BigViewFactory.h"
#include "views/CBigRainIntensityView.h"
#include "views/CRainIntensityCtrlPanel.h"

BigPaneFactory StandardBigPanes(CPluvicamApp *app) {
  return [app](BigPane which, int kind, int index, CPluvicamDoc *doc, QWidget *parent) {
    QWidget *w = CreateBigPane(which, kind, index, doc, parent);
    if (!app)
      return w;
    if (auto *panel = qobject_cast<CRainIntensityCtrlPanel *>(w))
      QObject::connect(panel, &CRainIntensityCtrlPanel::HelpRequested, app,
                       &CPluvicamApp::ShowDocument);
    if (auto *view = dynamic_cast<CBigRainIntensityView *>(w))
      view->SetTipSizeSource([app] { return app->GetStoredFilter().tipSize; });
    return w;
  };
}
