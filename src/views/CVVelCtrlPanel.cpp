#include "CVVelCtrlPanel.h"

#include "BigFrameHost.h"
#include "CBigVVelView.h"
#include "PanelButton.h"

#include <QPushButton>
#include <QVBoxLayout>

CVVelCtrlPanel::CVVelCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : CRunPanel(document, IDC_RUN, IDC_MAIN, IDC_HELP, parent) {
  setObjectName(QStringLiteral("CVVelCtrlPanel"));
  compButton = PanelButton("Comp", IDC_COMP, this);
  lockedButtons.push_back(compButton);
  auto *column = new QVBoxLayout(this);
  for (QPushButton *b : {runButton, compButton, mainButton, helpButton})
    column->addWidget(b);
  column->addStretch();
  connect(compButton, &QPushButton::clicked, this, &CVVelCtrlPanel::OnComp);
}

void CVVelCtrlPanel::StartViews() { ToViews<CBigVVelView>(&CBigVVelView::OnRunMessage); }

void CVVelCtrlPanel::StopViews() { ToViews<CBigVVelView>(&CBigVVelView::OnStopMessage); }

void CVVelCtrlPanel::OnComp() { ToViews<CBigVVelView>(&CBigVVelView::OnToggle); }
