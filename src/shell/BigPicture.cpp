#include "BigPicture.h"

#include "CBigFrame.h"
#include "CMainFrame.h"
#include "views/CRainIntensityCtrlPanel.h"

#include <QApplication>

namespace bigpicture {

QStringList Names() {
  return {QStringLiteral("rain-rate"), QStringLiteral("dsd"), QStringLiteral("vvel"),
          QStringLiteral("hvel"),      QStringLiteral("obl"), QStringLiteral("drop")};
}

int KindOf(const QString &name) { return int(Names().indexOf(name)); }

QWidget *Prepare(CMainFrame *frame, int kind, bool tip, QString *error) {
  frame->OpenBigFrame(CBigFrame::TitleWord(kind), kind);
  CBigFrame *big = frame->GetBigFrame();
  if (!big) {
    if (error)
      *error = QStringLiteral("no enlarged diagram without an open file");
    return nullptr;
  }
  QApplication::processEvents(); // the frame's layout before anything draws
  if (auto *panel = qobject_cast<CRainIntensityCtrlPanel *>(big->GetPanel())) {
    panel->OnRun(); // returns when the run has ended
    if (tip)
      panel->OnTip();
  }
  QApplication::processEvents();
  return big;
}

} // namespace bigpicture
