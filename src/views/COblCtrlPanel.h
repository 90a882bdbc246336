#pragma once
#include "BigPanel.h"
#include "HelpPages.h"

class CBigOblView;

// The control panel of the enlarged oblateness diagram: Run / Stop, Comp, Calibrate, Main, Help,
// Grid and the switch between the scatter and the distribution N(H/W).
class COblCtrlPanel : public BigPanel {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 145,
    IDC_RUN = 1069,
    IDC_COMP = 1070,
    IDC_CALIBRATE = 1071,
    IDC_MAIN = 1072,
    IDC_HELP = 1073,
    IDC_GRID = 1074,
    IDC_DISTRIBUTION = 1075,
  };

  COblCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnComp();
  void OnCalibrate();
  void OnGrid();
  void OnToggleMode();

  bool IsDistribution() const { return distribution; }

protected:
  int HelpPage() const override {
    return distribution ? HelpPages::OBLATENESS_DISTRIBUTION : HelpPages::OBLATENESS;
  }
  // Comp, Grid and Calibrate belong to the scatter only.
  void EnableControls() override;

private:
  CBigOblView *View() const;

  bool distribution = false;
  QPushButton *compButton, *calibrateButton, *gridButton;
};
