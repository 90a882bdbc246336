#pragma once
#include <QWidget>

class CBigVVelView;
class CPluvicamDoc;
class QPushButton;

// The control panel of the enlarged fall velocity diagram: Run / Stop, Comp, Main, Help.
class CVVelCtrlPanel : public QWidget {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 142,
    IDC_COMP = 1057,
    IDC_MAIN = 1058,
    IDC_HELP = 1061,
    IDC_RUN = 1066,
  };
  static constexpr int HELP_PAGE = 61450;

  CVVelCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnRun();
  // The view's data have ended: as a press of Stop while running.
  void EndOfRun();
  void OnComp();
  void OnMain();
  void OnHelp();

  bool IsIdle() const { return state == 1; }

signals:
  void RunStateChanged(bool running);

private:
  std::vector<CBigVVelView *> Views() const;

  CPluvicamDoc *doc;
  int state = 1; // 1 idle, 0 running
  QPushButton *runButton, *compButton, *mainButton, *helpButton;
};
