#include "CVVelCtrlPanel.h"

#include "CBigVVelView.h"

#include <QPushButton>
#include <QVBoxLayout>

CVVelCtrlPanel::CVVelCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : BigPanel(document, parent) {
  setObjectName(QStringLiteral("CVVelCtrlPanel"));
  auto *column = new QVBoxLayout(this);
  column->addWidget(AddButton(
      IDC_RUN, QStringLiteral("Run"), [this] { OnRun(); }, true));
  column->addWidget(AddButton(IDC_COMP, QStringLiteral("Comp"), [this] { OnComp(); }));
  column->addWidget(AddButton(IDC_MAIN, QStringLiteral("Main"), [this] { OnMain(); }));
  column->addWidget(AddButton(IDC_HELP, QStringLiteral("Help"), [this] { OnHelp(); }));
  column->addStretch();
}

CBigVVelView *CVVelCtrlPanel::View() const { return qobject_cast<CBigVVelView *>(diagram); }

void CVVelCtrlPanel::OnComp() {
  if (CBigVVelView *view = View())
    view->OnToggle();
}
