#pragma once
#include "document/FilterSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class UserMessages;

// File ▸ Options: tip size, the default filter, the velocity check and the window title of the
// stored settings. The pixel ranges pass through unchanged.
class COptionsDlg : public QDialog {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 139,
    IDC_TYPE = 1028,
    IDC_TIP_SIZE = 1029,
    IDC_TIME_START = 1030,
    IDC_TIME_END = 1031,
    IDC_WINDOW_TITLE = 1042,
    IDC_SAVE = 1044,
    IDC_DIAM_MIN = 1045,
    IDC_DIAM_MAX = 1046,
    IDC_VEL_MIN = 1047,
    IDC_VEL_MAX = 1048,
    IDC_OBL_MIN = 1049,
    IDC_OBL_MAX = 1050,
    IDC_QC_VELOCITY = 1051,
    IDC_QC_FRACTION = 1052,
    IDC_CANCEL = 2,
  };

  explicit COptionsDlg(UserMessages *messages, QWidget *parent = nullptr);

  void SetValues(const FilterRecord &fixed, const std::string &titleText, float tipSize);
  FilterSettings GetValues() const;

  // Reads the controls, checks the ranges and writes the corrected values back; true when
  // nothing was found, else false with the last finding in `message`.
  bool Validate(QString &message);
  // Save: closes with Accepted when the values are valid, else shows the message.
  void OnSave();

private:
  bool ReadFields(QString &error);
  void WriteFields();

  UserMessages *messages;
  QLineEdit *tipEdit;
  QTimeEdit *startEdit;
  QTimeEdit *endEdit;
  QLineEdit *diamMinEdit, *diamMaxEdit, *velMinEdit, *velMaxEdit, *oblMinEdit, *oblMaxEdit;
  QComboBox *typeList;
  QLineEdit *titleEdit;
  QCheckBox *qcBox;
  QLineEdit *qcFractionEdit;

  // The dialog's fields.
  float tipSize = 0.1f;
  float diamMin = 0, diamMax = 0, velMin = 0, velMax = 0, oblMin = 0, oblMax = 0;
  std::string titleText;
  int16_t typeIndex = 0;
  bool qcOn = false;
  float qcFraction = float(VelocityQc::DEFAULT_FRACTION);
  int16_t minPixA = 0, maxPixA = MAX_PIXEL_512, minPixB = 0, maxPixB = MAX_PIXEL_512;
};
