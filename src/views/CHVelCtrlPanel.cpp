#include "CHVelCtrlPanel.h"

#include <QPushButton>
#include <QVBoxLayout>

CHVelCtrlPanel::CHVelCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : BigPanel(document, parent) {
  setObjectName(QStringLiteral("CHVelCtrlPanel"));
  auto *column = new QVBoxLayout(this);
  column->addWidget(AddButton(
      IDC_RUN, QStringLiteral("Run"), [this] { OnRun(); }, true));
  column->addWidget(AddButton(IDC_MAIN, QStringLiteral("Main"), [this] { OnMain(); }));
  column->addWidget(AddButton(IDC_HELP, QStringLiteral("Help"), [this] { OnHelp(); }));
  column->addStretch();
}
