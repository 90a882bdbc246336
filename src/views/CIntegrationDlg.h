#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;
class UserMessages;

// "Integration Interval": how a statistic cuts the particle stream into intervals, by rain
// amount, time, number of particles or the full time range. The four check boxes act as radio
// buttons; OK checks the chosen mode's value.
class CIntegrationDlg : public QDialog {
  Q_OBJECT
public:
  enum Control {
    IDC_FULL = 1085,
    IDC_OBJECTS = 1084,
    IDC_RAIN = 1082,
    IDC_TIME = 1083,
    IDC_DROPS = 1081,
    IDC_RAIN_EDIT = 1079,
    IDC_TIME_EDIT = 1080,
  };

  explicit CIntegrationDlg(QWidget *parent = nullptr);

  // Message boxes go here; without it a box is shown on screen.
  void SetMessages(UserMessages *userMessages) { messages = userMessages; }

  void SetAllModesAllowed(int allowed) { allModesAllowed = allowed; }
  void SetMode(int m) { mode = m; }
  void SetRain(float value) { rain = value; }
  void SetTime(float value) { time = value; }
  void SetDrops(int value) { drops = value; }
  int GetMode() const { return mode; }
  float GetRain() const { return rain; }
  float GetTime() const { return time; }
  int GetDrops() const { return drops; }

  // Initial display: controls from the members (done when the dialog is shown).
  void OnInitDialog();
  // OK: true when every checked value is valid (the dialog then closes).
  bool Validate();
  void accept() override;

protected:
  void showEvent(QShowEvent *event) override;

private:
  void Clicked(int which);
  void ReadControls();
  void WriteControls();
  void Message(const QString &text);

  int fullCheck = 0, objectsCheck = 0, rainCheck = 0, timeCheck = 1;
  int drops = 500;
  float rain = 0.05f;
  float time = 60.0f;
  int allModesAllowed = 1;
  int mode = 2;

  UserMessages *messages = nullptr;
  QCheckBox *full, *objects, *rainBox, *timeBox;
  QLineEdit *dropsEdit, *rainEdit, *timeEdit;
};
