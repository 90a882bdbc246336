#include "BigPicture.h"

#include "CBigFrame.h"
#include "CMainFrame.h"

#include <QAbstractButton>

namespace {
struct BigEntry {
  const char *name;
  int kind;
  int runButton;  // control id of the panel's Run
  int compButton; // control id of its comparison toggle; 0 when it has none
};

// Each enlarged diagram that picture mode can open.
const BigEntry ENTRIES[] = {
    {"dsd", CBigFrame::KIND_DSD, 1067, 1059},
};

bool Press(CBigFrame *big, int id) {
  QWidget *panel = big ? big->GetPanel() : nullptr;
  auto *button = panel ? panel->findChild<QAbstractButton *>(QString::number(id)) : nullptr;
  if (!button || !button->isEnabled())
    return false;
  button->click();
  return true;
}
} // namespace

QStringList BigPictureNames() {
  QStringList names;
  for (const BigEntry &e : ENTRIES)
    names << QString::fromLatin1(e.name);
  return names;
}

CBigFrame *OpenBigPicture(CMainFrame &frame, const BigPictureRequest &request, QString &error) {
  const BigEntry *entry = nullptr;
  for (const BigEntry &e : ENTRIES)
    if (request.name == QLatin1String(e.name))
      entry = &e;
  if (!entry) {
    error = QStringLiteral("--big: unknown diagram \"%1\"; known: %2")
                .arg(request.name, BigPictureNames().join(QStringLiteral(", ")));
    return nullptr;
  }
  if (request.comp && !entry->compButton) {
    error = QStringLiteral("--comp: the %1 diagram has no model comparison").arg(request.name);
    return nullptr;
  }
  frame.OpenBigFrame(CBigFrame::TitleWord(entry->kind), entry->kind);
  CBigFrame *big = frame.GetBigFrame();
  if (!big) {
    error = QStringLiteral("--big: the enlarged diagram did not open (is a file open?)");
    return nullptr;
  }
  for (int i = 0; i < request.runs; ++i)
    if (!Press(big, entry->runButton)) {
      error = QStringLiteral("--big: the diagram has no Run button");
      return nullptr;
    }
  if (request.comp)
    Press(big, entry->compButton);
  return big;
}
