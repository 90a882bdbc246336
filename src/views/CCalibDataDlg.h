#pragma once
#include <QDialog>

class QComboBox;

// "Calibration Data": the standardised diameter a dragged rectangle belongs to, preselected as
// the one nearest to the rectangle's centre.
class CCalibDataDlg : public QDialog {
  Q_OBJECT
public:
  enum ControlId { IDD = 147, IDC_DIAMETER = 1076 };

  CCalibDataDlg(double diameter, QWidget *parent = nullptr);

  // 0 to 10, or -1 for none.
  int GetIndex() const { return index; }

private:
  int index;
  QComboBox *list;
};
