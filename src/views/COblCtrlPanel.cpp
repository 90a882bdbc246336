#include "COblCtrlPanel.h"

#include "BigFrameHost.h"
#include "CBigOblView.h"
#include "PanelButton.h"

#include <QGridLayout>
#include <QPushButton>

COblCtrlPanel::COblCtrlPanel(CPluvicamDoc *document, QWidget *parent)
    : CRunPanel(document, IDC_RUN, IDC_MAIN, IDC_HELP, parent) {
  setObjectName(QStringLiteral("COblCtrlPanel"));
  compButton = PanelButton("Comp", IDC_COMP, this);
  calibrateButton = PanelButton("Calibrate", IDC_CALIBRATE, this);
  gridButton = PanelButton("Grid", IDC_GRID, this);
  modeButton = PanelButton("N (H/W)", IDC_DISTRIBUTION, this);
  lockedButtons.push_back(modeButton);
  auto *grid = new QGridLayout(this);
  grid->addWidget(runButton, 0, 0);
  grid->addWidget(compButton, 1, 0);
  grid->addWidget(gridButton, 2, 0);
  grid->addWidget(modeButton, 3, 0);
  grid->addWidget(calibrateButton, 0, 1);
  grid->addWidget(mainButton, 1, 1);
  grid->addWidget(helpButton, 2, 1);
  grid->setRowStretch(4, 1);
  connect(compButton, &QPushButton::clicked, this, &COblCtrlPanel::OnComp);
  connect(calibrateButton, &QPushButton::clicked, this, &COblCtrlPanel::OnCalibrate);
  connect(gridButton, &QPushButton::clicked, this, &COblCtrlPanel::OnGrid);
  connect(modeButton, &QPushButton::clicked, this, &COblCtrlPanel::OnToggleMode);
}

void COblCtrlPanel::StartViews() { ToViews<CBigOblView>(&CBigOblView::OnRunMessage); }

void COblCtrlPanel::StopViews() { ToViews<CBigOblView>(&CBigOblView::OnStopMessage); }

void COblCtrlPanel::EnableControls() {
  CRunPanel::EnableControls();
  for (QPushButton *b : {compButton, gridButton, calibrateButton})
    b->setEnabled(stopped && !distribution);
}

void COblCtrlPanel::OnComp() { ToViews<CBigOblView>(&CBigOblView::OnToggleComp); }

void COblCtrlPanel::OnCalibrate() { ToViews<CBigOblView>(&CBigOblView::OnCalibrate); }

void COblCtrlPanel::OnGrid() { ToViews<CBigOblView>(&CBigOblView::OnToggleGrid); }

void COblCtrlPanel::OnToggleMode() {
  distribution = !distribution;
  EnableControls();
  ToViews<CBigOblView>(&CBigOblView::OnToggleMode);
}
