#pragma once
#include <QDialog>

class QButtonGroup;

// "Classify Particle": one of the seven classes, Save or Cancel.
class ClassifyDialog : public QDialog {
  Q_OBJECT
public:
  enum ControlId { IDD = 150, IDC_FIRST_CLASS = 1083, IDOK = 1, IDCANCEL = 2 };

  explicit ClassifyDialog(QWidget *parent = nullptr);

  // -1 selects none.
  void SetClass(int dropType);
  int GetClass() const;

private:
  QButtonGroup *group;
};
