#include "CRunPanel.h"

#include "BigFrameHost.h"
#include "PanelButton.h"
#include "document/CPluvicamDoc.h"

#include <QPushButton>

CRunPanel::CRunPanel(CPluvicamDoc *document, int runId, int mainId, int helpId, QWidget *parent)
    : QWidget(parent), doc(document) {
  runButton = PanelButton("Run", runId, this);
  mainButton = PanelButton("Main", mainId, this);
  helpButton = PanelButton("Help", helpId, this);
  lockedButtons = {mainButton, helpButton};
  connect(runButton, &QPushButton::clicked, this, &CRunPanel::OnRun);
  connect(mainButton, &QPushButton::clicked, this, &CRunPanel::OnMain);
  connect(helpButton, &QPushButton::clicked, this, &CRunPanel::OnHelp);
}

void CRunPanel::EnableControls() {
  for (QPushButton *b : lockedButtons)
    b->setEnabled(stopped);
}

void CRunPanel::OnRun() {
  BigFrameHost *host = BigFrameHost::Of(this);
  if (stopped) {
    if (host)
      host->SetCursor(Cursors::APPSTARTING);
    runButton->setText(QStringLiteral("Stop"));
    stopped = false;
    EnableControls();
    emit RunStateChanged(true);
    if (doc) {
      doc->ResetData();
      doc->ClearIntegrationState();
    }
    StartViews();
    if (host)
      host->RefreshInfo();
  } else {
    if (host)
      host->SetCursor(Cursors::ARROW);
    runButton->setText(QStringLiteral("Run"));
    stopped = true;
    EnableControls();
    StopViews();
    emit RunStateChanged(false);
  }
}

void CRunPanel::Stop() {
  if (!stopped)
    OnRun();
}

void CRunPanel::StopPanelOf(const QWidget *view) {
  if (auto *host = BigFrameHost::Of(view))
    if (auto *panel = dynamic_cast<CRunPanel *>(host->GetPanel()))
      panel->Stop();
}

void CRunPanel::OnMain() {
  if (auto *host = BigFrameHost::Of(this))
    host->CloseBig();
}

void CRunPanel::OnHelp() {
  if (auto *host = BigFrameHost::Of(this))
    host->ShowHelp(HelpPage());
}
