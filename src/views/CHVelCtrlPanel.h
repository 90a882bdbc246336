#pragma once
#include "BigPanel.h"
#include "HelpPages.h"

// The control panel of the enlarged horizontal velocity diagram: Run / Stop, Main, Help.
class CHVelCtrlPanel : public BigPanel {
  Q_OBJECT
public:
  enum ControlId { IDD = 144, IDC_RUN = 1068, IDC_MAIN = 1069, IDC_HELP = 1070 };

  CHVelCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

protected:
  int HelpPage() const override { return HelpPages::HVEL; }
};
