#include "COblCtrlPanel.h"

#include "BigFrameHost.h"
#include "CBigOblView.h"
#include "PanelButton.h"
#include "document/CPluvicamDoc.h"

#include <QGridLayout>
#include <QPushButton>

COblCtrlPanel::COblCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : QWidget(parent), doc(document) {
  setObjectName(QStringLiteral("COblCtrlPanel"));
  runButton = PanelButton("Run", IDC_RUN, this);
  compButton = PanelButton("Comp", IDC_COMP, this);
  calibrateButton = PanelButton("Calibrate", IDC_CALIBRATE, this);
  mainButton = PanelButton("Main", IDC_MAIN, this);
  helpButton = PanelButton("Help", IDC_HELP, this);
  gridButton = PanelButton("Grid", IDC_GRID, this);
  modeButton = PanelButton("N (H/W)", IDC_DISTRIBUTION, this);
  auto *grid = new QGridLayout(this);
  grid->addWidget(runButton, 0, 0);
  grid->addWidget(compButton, 1, 0);
  grid->addWidget(gridButton, 2, 0);
  grid->addWidget(modeButton, 3, 0);
  grid->addWidget(calibrateButton, 0, 1);
  grid->addWidget(mainButton, 1, 1);
  grid->addWidget(helpButton, 2, 1);
  grid->setRowStretch(4, 1);
  connect(runButton, &QPushButton::clicked, this, &COblCtrlPanel::OnRun);
  connect(compButton, &QPushButton::clicked, this, &COblCtrlPanel::OnComp);
  connect(calibrateButton, &QPushButton::clicked, this, &COblCtrlPanel::OnCalibrate);
  connect(mainButton, &QPushButton::clicked, this, &COblCtrlPanel::OnMain);
  connect(helpButton, &QPushButton::clicked, this, &COblCtrlPanel::OnHelp);
  connect(gridButton, &QPushButton::clicked, this, &COblCtrlPanel::OnGrid);
  connect(modeButton, &QPushButton::clicked, this, &COblCtrlPanel::OnToggleMode);
}

std::vector<CBigOblView *> COblCtrlPanel::Views() const {
  return BigFrameHost::ViewsOf<CBigOblView>(this);
}

void COblCtrlPanel::EnableControls() {
  for (QPushButton *b : {mainButton, helpButton, modeButton})
    b->setEnabled(stopped);
  for (QPushButton *b : {compButton, gridButton, calibrateButton})
    b->setEnabled(stopped && !distribution);
}

void COblCtrlPanel::OnRun() {
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
    for (CBigOblView *v : Views())
      v->OnRunMessage();
    if (host)
      host->RefreshInfo();
  } else {
    if (host)
      host->SetCursor(Cursors::ARROW);
    runButton->setText(QStringLiteral("Run"));
    stopped = true;
    EnableControls();
    for (CBigOblView *v : Views())
      v->OnStopMessage();
    emit RunStateChanged(false);
  }
}

void COblCtrlPanel::Stop() {
  if (!stopped)
    OnRun();
}

void COblCtrlPanel::OnComp() {
  for (CBigOblView *v : Views())
    v->OnToggleComp();
}

void COblCtrlPanel::OnCalibrate() {
  for (CBigOblView *v : Views())
    v->OnCalibrate();
}

void COblCtrlPanel::OnMain() {
  if (auto *host = BigFrameHost::Of(this))
    host->CloseBig();
}

void COblCtrlPanel::OnHelp() {
  if (auto *host = BigFrameHost::Of(this))
    host->ShowHelp(distribution ? HELP_DISTRIBUTION : HELP_SCATTER);
}

void COblCtrlPanel::OnGrid() {
  for (CBigOblView *v : Views())
    v->OnToggleGrid();
}

void COblCtrlPanel::OnToggleMode() {
  distribution = !distribution;
  EnableControls();
  for (CBigOblView *v : Views())
    v->OnToggleMode();
}
