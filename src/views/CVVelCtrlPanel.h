#pragma once
#include "BigPanel.h"
#include "HelpPages.h"

class CBigVVelView;

// The control panel of the enlarged fall velocity diagram: Run / Stop, Comp, Main, Help.
class CVVelCtrlPanel : public BigPanel {
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
  int HelpPage() const override { return HelpPages::VVEL; }

private:
  CBigVVelView *View() const;
};
