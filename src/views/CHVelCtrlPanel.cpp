#include "CHVelCtrlPanel.h"

#include "BigFrameHost.h"
#include "CBigHVelView.h"

#include <QPushButton>
#include <QVBoxLayout>

CHVelCtrlPanel::CHVelCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : CRunPanel(document, IDC_RUN, IDC_MAIN, IDC_HELP, parent) {
  setObjectName(QStringLiteral("CHVelCtrlPanel"));
  auto *column = new QVBoxLayout(this);
  for (QPushButton *b : {runButton, mainButton, helpButton})
    column->addWidget(b);
  column->addStretch();
}

void CHVelCtrlPanel::StartViews() { ToViews<CBigHVelView>(&CBigHVelView::OnRunMessage); }

void CHVelCtrlPanel::StopViews() { ToViews<CBigHVelView>(&CBigHVelView::OnStopMessage); }
