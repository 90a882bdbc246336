#include "COblCtrlPanel.h"

#include "CBigOblView.h"

#include <QGridLayout>
#include <QPushButton>

COblCtrlPanel::COblCtrlPanel(CPluvicamDoc *document, QWidget *parent) : BigPanel(document, parent) {
  setObjectName(QStringLiteral("COblCtrlPanel"));
  auto *grid = new QGridLayout(this);
  grid->addWidget(AddButton(
                      IDC_RUN, QStringLiteral("Run"), [this] { OnRun(); }, true),
                  0, 0);
  compButton = AddButton(IDC_COMP, QStringLiteral("Comp"), [this] { OnComp(); });
  grid->addWidget(compButton, 1, 0);
  gridButton = AddButton(IDC_GRID, QStringLiteral("Grid"), [this] { OnGrid(); });
  grid->addWidget(gridButton, 2, 0);
  grid->addWidget(
      AddButton(IDC_DISTRIBUTION, QStringLiteral("N (H/W)"), [this] { OnToggleMode(); }), 3, 0);
  calibrateButton =
      AddButton(IDC_CALIBRATE, QStringLiteral("Calibrate"), [this] { OnCalibrate(); });
  grid->addWidget(calibrateButton, 0, 1);
  grid->addWidget(AddButton(IDC_MAIN, QStringLiteral("Main"), [this] { OnMain(); }), 1, 1);
  grid->addWidget(AddButton(IDC_HELP, QStringLiteral("Help"), [this] { OnHelp(); }), 2, 1);
  grid->setRowStretch(4, 1);
}

CBigOblView *COblCtrlPanel::View() const { return qobject_cast<CBigOblView *>(diagram); }

void COblCtrlPanel::EnableControls() {
  BigPanel::EnableControls();
  for (QPushButton *b : {compButton, gridButton, calibrateButton})
    b->setEnabled(!running && !distribution);
}

void COblCtrlPanel::OnComp() {
  if (CBigOblView *view = View())
    view->OnToggleComp();
}

void COblCtrlPanel::OnCalibrate() {
  if (CBigOblView *view = View())
    view->OnCalibrate();
}

void COblCtrlPanel::OnGrid() {
  if (CBigOblView *view = View())
    view->OnToggleGrid();
}

void COblCtrlPanel::OnToggleMode() {
  distribution = !distribution;
  EnableControls();
  if (CBigOblView *view = View())
    view->OnToggleMode();
}
