#pragma once
#include "CRunPanel.h"
#include "HelpPages.h"

// The control panel of the enlarged fall velocity diagram: Run / Stop, Comp, Main, Help.
class CVVelCtrlPanel : public CRunPanel {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 142,
    IDC_COMP = 1057,
    IDC_MAIN = 1058,
    IDC_HELP = 1061,
    IDC_RUN = 1066,
  };

  CVVelCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnComp();

protected:
  void StartViews() override;
  void StopViews() override;
  int HelpPage() const override { return HelpPages::VVEL; }

private:
  QPushButton *compButton;
};
