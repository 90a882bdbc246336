#pragma once
#include <QDialog>

// Help ▸ About: name and version of the program.
class CAboutDlg : public QDialog {
  Q_OBJECT
public:
  explicit CAboutDlg(QWidget *parent = nullptr);
};
