#include "CHVelCtrlPanel.h"

#include "BigFrameHost.h"
#include "CBigHVelView.h"
#include "PanelButton.h"
#include "document/CPluvicamDoc.h"

#include <QPushButton>
#include <QVBoxLayout>

CHVelCtrlPanel::CHVelCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : QWidget(parent), doc(document) {
  setObjectName(QStringLiteral("CHVelCtrlPanel"));
  runButton = PanelButton("Run", IDC_RUN, this);
  mainButton = PanelButton("Main", IDC_MAIN, this);
  helpButton = PanelButton("Help", IDC_HELP, this);
  auto *column = new QVBoxLayout(this);
  for (QPushButton *b : {runButton, mainButton, helpButton})
    column->addWidget(b);
  column->addStretch();
  connect(runButton, &QPushButton::clicked, this, &CHVelCtrlPanel::OnRun);
  connect(mainButton, &QPushButton::clicked, this, &CHVelCtrlPanel::OnMain);
  connect(helpButton, &QPushButton::clicked, this, &CHVelCtrlPanel::OnHelp);
}

std::vector<CBigHVelView *> CHVelCtrlPanel::Views() const {
  return BigFrameHost::ViewsOf<CBigHVelView>(this);
}

void CHVelCtrlPanel::OnRun() {
  BigFrameHost *host = BigFrameHost::Of(this);
  if (stopped) {
    if (host)
      host->SetCursor(Cursors::APPSTARTING);
    runButton->setText(QStringLiteral("Stop"));
    stopped = false;
    mainButton->setEnabled(false);
    helpButton->setEnabled(false);
    emit RunStateChanged(true);
    if (doc) {
      doc->ResetData();
      doc->ClearIntegrationState();
    }
    for (CBigHVelView *v : Views())
      v->OnRunMessage();
    if (host)
      host->RefreshInfo();
  } else {
    if (host)
      host->SetCursor(Cursors::ARROW);
    runButton->setText(QStringLiteral("Run"));
    stopped = true;
    mainButton->setEnabled(true);
    helpButton->setEnabled(true);
    for (CBigHVelView *v : Views())
      v->OnStopMessage();
    emit RunStateChanged(false);
  }
}

void CHVelCtrlPanel::Stop() {
  if (!stopped)
    OnRun();
}

void CHVelCtrlPanel::OnMain() {
  if (auto *host = BigFrameHost::Of(this))
    host->CloseBig();
}

void CHVelCtrlPanel::OnHelp() {
  if (auto *host = BigFrameHost::Of(this))
    host->ShowHelp(HELP_PAGE);
}
