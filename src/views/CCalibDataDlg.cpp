#include "CCalibDataDlg.h"

#include "statistics/CalibrationSelection.h"
#include "statistics/OblatenessPlot.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CCalibDataDlg::CCalibDataDlg(double diameter, QWidget *parent)
    : QDialog(parent), index(CalibrationSelection::Preselect(diameter)) {
  setObjectName(QString::number(IDD));
  setWindowTitle(QStringLiteral("Calibration Data"));
  list = new QComboBox(this);
  list->setObjectName(QString::number(IDC_DIAMETER));
  for (const char *text : {"0.5", "1", "1.5", "2", "3", "4", "5", "6", "7", "8", "10"})
    list->addItem(QString::fromLatin1(text));
  list->setCurrentIndex(index);
  connect(list, &QComboBox::currentIndexChanged, this, [this](int i) { index = i; });

  auto *row = new QHBoxLayout;
  row->addWidget(list);
  row->addWidget(new QLabel(QStringLiteral("mm"), this));
  auto *buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole)
      ->setObjectName(QStringLiteral("IDOK"));
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("IDCANCEL"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto *column = new QVBoxLayout(this);
  column->addWidget(new QLabel(QStringLiteral("Select standardised diameter:"), this));
  column->addLayout(row);
  column->addWidget(buttons);
}
