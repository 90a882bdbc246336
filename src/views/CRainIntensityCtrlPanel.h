#pragma once
#include "BigPanel.h"
#include "DocumentMessages.h"
#include "HelpPages.h"

#include <memory>

class CBigRainIntensityView;
class CIntegrationDlg;

// The enlarged rain rate diagram's buttons: Run/Stop, the rate scale, the gauge's curve, the
// integration interval, defaults, help and the way back to the main window.
class CRainIntensityCtrlPanel : public BigPanel {
  Q_OBJECT
public:
  enum Control {
    IDC_RUN = 1060,
    IDC_SCALE_DOWN = 1056,
    IDC_TIP = 1057,
    IDC_MAIN = 1063,
    IDC_SCALE_UP = 1059,
    IDC_DEFAULT = 1065,
    IDC_HELP = 1064,
    IDC_INTEGRATE = 1062,
  };

  CRainIntensityCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);
  ~CRainIntensityCtrlPanel() override;

  void OnScaleUp();
  void OnScaleDown();
  void OnTip();
  void OnIntegrate();
  void OnDefault();

  CIntegrationDlg &Dialog() { return *dialog; }

protected:
  int HelpPage() const override { return HelpPages::RAIN_RATE; }

private:
  CBigRainIntensityView *View() const;

  DocumentMessages messages;
  std::unique_ptr<CIntegrationDlg> dialog;
};
