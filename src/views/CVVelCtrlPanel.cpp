#include "CVVelCtrlPanel.h"

#include "BigFrameHost.h"
#include "CBigVVelView.h"
#include "PanelButton.h"
#include "document/CPluvicamDoc.h"

#include <QPushButton>
#include <QVBoxLayout>

CVVelCtrlPanel::CVVelCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : QWidget(parent), doc(document) {
  setObjectName(QStringLiteral("CVVelCtrlPanel"));
  runButton = PanelButton("Run", IDC_RUN, this);
  compButton = PanelButton("Comp", IDC_COMP, this);
  mainButton = PanelButton("Main", IDC_MAIN, this);
  helpButton = PanelButton("Help", IDC_HELP, this);
  auto *column = new QVBoxLayout(this);
  for (QPushButton *b : {runButton, compButton, mainButton, helpButton})
    column->addWidget(b);
  column->addStretch();
  connect(runButton, &QPushButton::clicked, this, &CVVelCtrlPanel::OnRun);
  connect(compButton, &QPushButton::clicked, this, &CVVelCtrlPanel::OnComp);
  connect(mainButton, &QPushButton::clicked, this, &CVVelCtrlPanel::OnMain);
  connect(helpButton, &QPushButton::clicked, this, &CVVelCtrlPanel::OnHelp);
}

std::vector<CBigVVelView *> CVVelCtrlPanel::Views() const {
  return BigFrameHost::ViewsOf<CBigVVelView>(this);
}

void CVVelCtrlPanel::OnRun() {
  BigFrameHost *host = BigFrameHost::Of(this);
  if (state == 1) {
    if (host)
      host->SetCursor(Cursors::APPSTARTING);
    runButton->setText(QStringLiteral("Stop"));
    state = 0;
    for (QPushButton *b : {compButton, mainButton, helpButton})
      b->setEnabled(false);
    emit RunStateChanged(true);
    if (doc) {
      doc->ResetData();
      doc->ClearIntegrationState();
    }
    // Returns when the run has ended.
    for (CBigVVelView *v : Views())
      v->OnRunMessage();
    if (host)
      host->RefreshInfo();
  } else {
    if (host)
      host->SetCursor(Cursors::ARROW);
    runButton->setText(QStringLiteral("Run"));
    state = 1;
    for (QPushButton *b : {compButton, mainButton, helpButton})
      b->setEnabled(true);
    for (CBigVVelView *v : Views())
      v->OnStopMessage();
    emit RunStateChanged(false);
  }
}

void CVVelCtrlPanel::EndOfRun() {
  if (state == 0)
    OnRun();
}

void CVVelCtrlPanel::OnComp() {
  for (CBigVVelView *v : Views())
    v->OnToggle();
}

void CVVelCtrlPanel::OnMain() {
  if (auto *host = BigFrameHost::Of(this))
    host->CloseBig();
}

void CVVelCtrlPanel::OnHelp() {
  if (auto *host = BigFrameHost::Of(this))
    host->ShowHelp(HELP_PAGE);
}
