#pragma once
#include "BigPanel.h"
#include "HelpPages.h"
#include "document/CPluvicamDoc.h"

class CBigParticleView;
class UserMessages;

// The drop view's control panel: stepping forwards and backwards to the next particle that
// passes the filter, with the symmetric correction after each step, the correction switch, the
// text export, classification, help and the way back to the main window.
class CParticleCtrlPanel : public BigPanel {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 146,
    IDC_STEP_PLUS = 1077,
    IDC_STEP_MINUS = 1078,
    IDC_CLASSIFY = 1079,
    IDC_MAIN = 1080,
    IDC_HELP = 1081,
    IDC_ASCII = 1082,
    IDC_CORRECTION = 1083,
  };
  enum State { STEP_FORWARD = 0, STEP_BACKWARD = 1, COMPUTING = 2, IDLE = 3 };
  // Stepping reads particles for this long before the window gets its events.
  static constexpr int SLICE_MS = 15;

  CParticleCtrlPanel(CPluvicamDoc *doc, UserMessages *messages, QWidget *parent = nullptr);

  State GetState() const { return state; }
  bool IsCorrectionOn() const { return correction != 0; }
  bool IsIdle() override { return state == IDLE; }
  // A press of Stop: the step ends after the particle in hand.
  void Stop() override { stepping = false; }

  // The buttons. A step returns when it has found its particle, met the end or was stopped; a
  // press while stepping stops it.
  void OnStepPlus() { Step(ReadDirection::Next); }
  void OnStepMinus() { Step(ReadDirection::Previous); }
  void OnClassify();
  void OnAscii();
  void OnCorrection();

protected:
  int HelpPage() const override { return HelpPages::DROP_VIEW; }
  // The buttons follow the state: Ascii and Corr stay off for snow files.
  void EnableControls() override;
  // The two particle views, front and side.
  void TakeViews(const std::vector<QWidget *> &views) override;

private:
  using ReadDirection = CPluvicamDoc::ReadDirection;
  void Step(ReadDirection direction);
  void SetState(State newState);
  void NotifyViews(bool correctionSwitched);
  void ShowMessage(const std::string &text);

  UserMessages *messages;
  std::vector<CBigParticleView *> particleViews;
  int correction = 0;
  bool busy = false;
  bool stepping = false;
  State state = IDLE;
};
