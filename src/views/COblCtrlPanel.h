#pragma once
#include <QWidget>

#include <vector>

class CBigOblView;
class CPluvicamDoc;
class QPushButton;

// The control panel of the enlarged oblateness diagram: Run / Stop, Comp, Calibrate, Main, Help,
// Grid and the switch between the scatter and the distribution N(H/W).
class COblCtrlPanel : public QWidget {
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
  static constexpr int HELP_SCATTER = 61453;
  static constexpr int HELP_DISTRIBUTION = 61454;

  COblCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnRun();
  // Ends a run that is going, as a second press of Run.
  void Stop();
  void OnComp();
  void OnCalibrate();
  void OnMain();
  void OnHelp();
  void OnGrid();
  void OnToggleMode();

  bool IsStopped() const { return stopped; }
  bool IsDistribution() const { return distribution; }

signals:
  void RunStateChanged(bool running);

private:
  void EnableControls();
  std::vector<CBigOblView *> Views() const;

  CPluvicamDoc *doc;
  bool stopped = true;
  bool distribution = false;
  QPushButton *runButton, *compButton, *calibrateButton, *mainButton, *helpButton, *gridButton,
      *modeButton;
};
