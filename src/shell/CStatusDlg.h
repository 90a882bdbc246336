#pragma once
#include <QDialog>

// Modeless "Status" box shown while calibration data is written. Created hidden.
class CStatusDlg : public QDialog {
  Q_OBJECT
public:
  explicit CStatusDlg(QWidget *parent);
};
