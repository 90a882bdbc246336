#include "BigPicture.h"

#include "CBigFrame.h"
#include "CMainFrame.h"
#include "views/CBigOblView.h"
#include "views/CHVelCtrlPanel.h"
#include "views/COblCtrlPanel.h"
#include "views/CVVelCtrlPanel.h"

#include <functional>
#include <vector>

namespace {

struct Picture {
  const char *name;
  int kind;
  // Presses the panel's buttons; the run returns when it has ended.
  std::function<void(QWidget *panel, const BigPictureRequest &)> press;
};

const std::vector<Picture> &Pictures() {
  static const std::vector<Picture> pictures = {
      {"vvel", CBigFrame::KIND_VVEL,
       [](QWidget *panel, const BigPictureRequest &r) {
         auto *p = dynamic_cast<CVVelCtrlPanel *>(panel);
         if (!p)
           return;
         if (r.comp)
           p->OnComp();
         p->OnRun();
       }},
      {"hvel", CBigFrame::KIND_HVEL,
       [](QWidget *panel, const BigPictureRequest &) {
         if (auto *p = dynamic_cast<CHVelCtrlPanel *>(panel))
           p->OnRun();
       }},
      {"obl", CBigFrame::KIND_OBL,
       [](QWidget *panel, const BigPictureRequest &r) {
         auto *p = dynamic_cast<COblCtrlPanel *>(panel);
         if (!p)
           return;
         if (r.comp)
           p->OnComp();
         if (r.grid)
           p->OnGrid();
         p->OnRun();
       }},
      {"obl-dist", CBigFrame::KIND_OBL,
       [](QWidget *panel, const BigPictureRequest &) {
         auto *p = dynamic_cast<COblCtrlPanel *>(panel);
         if (!p)
           return;
         p->OnToggleMode();
         p->OnRun();
       }},
  };
  return pictures;
}

} // namespace

QStringList BigPictureNames() {
  QStringList names;
  for (const Picture &p : Pictures())
    names << QString::fromLatin1(p.name);
  return names;
}

bool RunBigPicture(CMainFrame *frame, const BigPictureRequest &request, QString &error) {
  for (const Picture &p : Pictures()) {
    if (request.name != QLatin1String(p.name))
      continue;
    frame->OpenBigFrame(CBigFrame::TitleWord(p.kind), p.kind);
    CBigFrame *big = frame->GetBigFrame();
    if (!big) {
      error = QStringLiteral("no file is open");
      return false;
    }
    p.press(big->GetPanel(), request);
    return true;
  }
  error = QStringLiteral("--big: expected one of %1, got \"%2\"")
              .arg(BigPictureNames().join(QStringLiteral(", ")), request.name);
  return false;
}
