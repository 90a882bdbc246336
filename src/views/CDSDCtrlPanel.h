#pragma once
#include "BigPanel.h"
#include "CIntegrationDlg.h"
#include "DocumentMessages.h"
#include "HelpPages.h"

#include <vector>

class CBigDSDView;

// The control panel of the enlarged drop size distribution: Run/Stop, the class width, the model
// comparison, the integration interval and the restart at the time window's start.
class CDSDCtrlPanel : public BigPanel {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 143,
    IDC_DELTA_PLUS = 1058,
    IDC_COMP = 1059,
    IDC_MAIN = 1060,
    IDC_DELTA_MINUS = 1061,
    IDC_DEFAULT = 1062,
    IDC_HELP = 1063,
    IDC_INTEGRATE = 1064,
    IDC_RESET_TIME = 1065,
    IDC_RUN = 1067,
    IDC_EXPORT = 1068,
  };

  explicit CDSDCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnDeltaPlus();
  void OnDeltaMinus();
  void OnComp();
  void OnDefault();
  void OnIntegrate();
  void OnResetTime();
  // Asks for a file and exports the whole time window there.
  void OnExport();
  // The export to `path` with its progress dialog; false when nothing was written (cancelled or
  // failed: then `error` says why, empty for a cancel).
  bool ExportTo(const QString &path, QString *error = nullptr);

  CIntegrationDlg &Dialog() { return dialog; }

protected:
  int HelpPage() const override { return HelpPages::DSD; }
  // Each Run computes the next interval: the document stays where the last one ended.
  void BeforeRun() override {}
  // The record table shows the interval's integral quantities too.
  void ShowFigures() override;

private:
  CBigDSDView *View() const;

  DocumentMessages messages;
  CIntegrationDlg dialog;
};
