#pragma once
#include "document/IntegrationSettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class UserMessages;

// "Integration Interval": how a statistic cuts the particle stream into intervals, by rain,
// time, number of particles or the whole time window. The four check boxes act as radio
// buttons; OK closes only when the chosen mode's value lies within its limits.
class CIntegrationDlg : public QDialog {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 149,
    IDC_RAIN = 1079,
    IDC_TIME = 1080,
    IDC_DROPS = 1081,
    IDC_RAIN_CHECK = 1082,
    IDC_TIME_CHECK = 1083,
    IDC_OBJECTS_CHECK = 1084,
    IDC_FULL_CHECK = 1085,
  };
  static constexpr const char *NO_MODE = "No intergration mode was selected!!!";
  static constexpr const char *RAIN_LIMITS =
      "Rain Integration Interval\nmust be between\n0.05 and 5 mm !!!";
  static constexpr const char *TIME_LIMITS =
      "Time Integration Interval\nmust be between\n15 and 43200 sec !!!";
  static constexpr const char *DROPS_LIMITS = "NrDrops must be between\n1 and 999999 !!!";

  explicit CIntegrationDlg(QWidget *parent = nullptr);

  // Message boxes go here; without it they are not shown.
  void SetMessages(UserMessages *userMessages) { messages = userMessages; }

  void SetAllModesAllowed(bool allowed) { allModesAllowed = allowed; }
  void SetMode(IntegrationMode newMode) { mode = newMode; }
  IntegrationMode GetMode() const { return mode; }
  void SetRain(float value) { rain = value; }
  float GetRain() const { return rain; }
  void SetTime(float value) { time = value; }
  float GetTime() const { return time; }
  void SetDrops(int value) { drops = value; }
  int GetDrops() const { return drops; }

  // The initial display: enabling, the checks from the mode, the values into the controls.
  void OnInitDialog();
  // A click on one of the four check boxes (its id).
  void OnCheck(int id);
  // OK: closes the dialog when the checked mode's value is valid; false when it stays open.
  bool OnOK();
  int exec() override;

  QCheckBox *Check(int id) const;
  QLineEdit *Edit(int id) const;

private:
  void ReadFields();
  void WriteFields();
  void Show(const char *text);

  // The form's members, in the order the dialog keeps them.
  bool fullCheck = false;
  bool objectsCheck = false;
  bool rainCheck = false;
  bool timeCheck = true;
  int drops = 500;
  float rain = 0.05f;
  float time = 60.0f;
  bool allModesAllowed = true;
  IntegrationMode mode = IntegrationMode::Time;

  QCheckBox *fullBox, *objectsBox, *rainBox, *timeBox;
  QLineEdit *dropsEdit, *rainEdit, *timeEdit;
  UserMessages *messages = nullptr;
};
