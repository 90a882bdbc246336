#pragma once
#include <QWidget>

#include <vector>

class CBigHVelView;
class CPluvicamDoc;
class QPushButton;

// The control panel of the enlarged horizontal velocity diagram: Run / Stop, Main, Help.
class CHVelCtrlPanel : public QWidget {
  Q_OBJECT
public:
  enum ControlId { IDD = 144, IDC_RUN = 1068, IDC_MAIN = 1069, IDC_HELP = 1070 };
  static constexpr int HELP_PAGE = 61449;

  CHVelCtrlPanel(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnRun();
  // Ends a run that is going, as a second press of Run.
  void Stop();
  void OnMain();
  void OnHelp();

  bool IsStopped() const { return stopped; }

signals:
  void RunStateChanged(bool running);

private:
  std::vector<CBigHVelView *> Views() const;

  CPluvicamDoc *doc;
  bool stopped = true;
  QPushButton *runButton, *mainButton, *helpButton;
};
