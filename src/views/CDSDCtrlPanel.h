#pragma once
#include "CBigCtrlPanel.h"
#include "CIntegrationDlg.h"
#include "DocumentMessages.h"
#include "HelpPages.h"

#include <vector>

class CBigDSDView;
class CBigInfoView;
class CPluvicamDoc;
class QPushButton;

// The control panel of the enlarged drop size distribution: Run/Stop, the class width, the model
// comparison, the integration interval and the restart at the time window's start.
class CDSDCtrlPanel : public CBigCtrlPanel {
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

  void OnRun();
  void OnDeltaPlus();
  void OnDeltaMinus();
  void OnComp();
  void OnMain();
  void OnDefault();
  void OnHelp();
  void OnIntegrate();
  void OnResetTime();
  // Asks for a file and exports the whole time window there.
  void OnExport();
  // The export to `path` with its progress dialog; false when nothing was written (cancelled or
  // failed: then `error` says why, empty for a cancel).
  bool ExportTo(const QString &path, QString *error = nullptr);
  // The view's end of a run: as a press of Stop when running, nothing when idle.
  void EndOfRun();

  // 1 idle, 0 running.
  int GetState() const { return state; }
  CIntegrationDlg &Dialog() { return dialog; }
  QPushButton *Button(int id) const;

private:
  std::vector<CBigDSDView *> Views() const;
  void InvalidateInfoViews();
  void SetOthersEnabled(bool enabled);

  CPluvicamDoc *doc;
  DocumentMessages messages;
  CIntegrationDlg dialog;
  int state = 1;
  std::vector<QPushButton *> buttons;
  QPushButton *runButton = nullptr;
};
