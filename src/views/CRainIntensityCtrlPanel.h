#pragma once
#include "DocumentMessages.h"
#include "HelpPages.h"

#include <QWidget>

#include <memory>
#include <vector>

class CBigRainIntensityView;
class CIntegrationDlg;
class CPluvicamDoc;
class QPushButton;

// The enlarged rain rate diagram's buttons: Run/Stop, the rate scale, the gauge's curve, the
// integration interval, defaults, help and the way back to the main window.
class CRainIntensityCtrlPanel : public QWidget {
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

  // Run when idle, Stop when running.
  void OnRun();
  // The view's run has ended: as Stop when running, nothing when idle.
  void EndOfRun();
  void OnScaleUp();
  void OnScaleDown();
  void OnTip();
  void OnIntegrate();
  void OnDefault();
  void OnHelp();
  void OnMain();

  bool IsIdle() const { return state == 1; }
  CIntegrationDlg &Dialog() { return *dialog; }

signals:
  // The frame shows the help page (a string id of the application's pages).
  void HelpRequested(int pageId);

private:
  void Stop();
  void EnableOthers(bool enable);
  std::vector<CBigRainIntensityView *> Views() const;
  void RefreshRecordTables();

  CPluvicamDoc *doc;
  DocumentMessages messages;
  std::unique_ptr<CIntegrationDlg> dialog;
  int state = 1;
  QPushButton *runButton = nullptr;
  std::vector<QPushButton *> others;
};
