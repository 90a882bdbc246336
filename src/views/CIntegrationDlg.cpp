#include "CIntegrationDlg.h"

#include "document/IntegrationSettings.h"
#include "document/UserMessages.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>

namespace {

QCheckBox *MakeCheck(const char *text, int id, QWidget *parent) {
  auto *box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::number(id));
  return box;
}

QLineEdit *MakeEdit(int id, bool digitsOnly, QWidget *parent) {
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(id));
  if (digitsOnly)
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  return edit;
}
} // namespace

CIntegrationDlg::CIntegrationDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CIntegrationDlg"));
  setWindowTitle(QStringLiteral("Integration Interval"));
  fullBox = MakeCheck("Full Time Range", IDC_FULL_CHECK, this);
  objectsBox = MakeCheck("Objects", IDC_OBJECTS_CHECK, this);
  rainBox = MakeCheck("Rain", IDC_RAIN_CHECK, this);
  timeBox = MakeCheck("Time", IDC_TIME_CHECK, this);
  dropsEdit = MakeEdit(IDC_DROPS, true, this);
  rainEdit = MakeEdit(IDC_RAIN, false, this);
  timeEdit = MakeEdit(IDC_TIME, true, this);

  auto *grid = new QGridLayout;
  grid->addWidget(rainBox, 0, 0);
  grid->addWidget(rainEdit, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("mm"), this), 0, 2);
  grid->addWidget(timeBox, 1, 0);
  grid->addWidget(timeEdit, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("sec"), this), 1, 2);
  grid->addWidget(objectsBox, 2, 0);
  grid->addWidget(dropsEdit, 2, 1);
  grid->addWidget(fullBox, 3, 0, 1, 3);

  auto *buttons = new QDialogButtonBox(this);
  QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("1"));
  ok->setDefault(true);
  QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("2"));
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto *layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  for (QCheckBox *box : {fullBox, objectsBox, rainBox, timeBox})
    connect(box, &QCheckBox::clicked, this, [this, box] { OnCheck(box->objectName().toInt()); });
}

QCheckBox *CIntegrationDlg::Check(int id) const {
  switch (id) {
  case IDC_FULL_CHECK:
    return fullBox;
  case IDC_OBJECTS_CHECK:
    return objectsBox;
  case IDC_RAIN_CHECK:
    return rainBox;
  case IDC_TIME_CHECK:
    return timeBox;
  default:
    return nullptr;
  }
}

QLineEdit *CIntegrationDlg::Edit(int id) const {
  return id == IDC_DROPS  ? dropsEdit
         : id == IDC_RAIN ? rainEdit
         : id == IDC_TIME ? timeEdit
                          : nullptr;
}

void CIntegrationDlg::Show(const char *text) {
  if (messages)
    messages->Show(text);
}

void CIntegrationDlg::ReadFields() {
  fullCheck = fullBox->isChecked();
  objectsCheck = objectsBox->isChecked();
  rainCheck = rainBox->isChecked();
  timeCheck = timeBox->isChecked();
  // A value that is not a number is refused with its message; the member keeps its value.
  bool ok = false;
  const int d = dropsEdit->text().trimmed().toInt(&ok);
  if (ok)
    drops = d;
  else
    Show("Please enter an integer for Objects.");
  const float r = rainEdit->text().trimmed().toFloat(&ok);
  if (ok && std::isfinite(r))
    rain = r;
  else
    Show("Please enter a number for Rain.");
  const float t = timeEdit->text().trimmed().toFloat(&ok);
  if (ok && std::isfinite(t))
    time = t;
  else
    Show("Please enter a number for Time.");
}

void CIntegrationDlg::WriteFields() {
  fullBox->setChecked(fullCheck);
  objectsBox->setChecked(objectsCheck);
  rainBox->setChecked(rainCheck);
  timeBox->setChecked(timeCheck);
  dropsEdit->setText(QString::number(drops));
  rainEdit->setText(QString::number(double(rain), 'g', 6));
  timeEdit->setText(QString::number(double(time), 'g', 6));
}

void CIntegrationDlg::OnInitDialog() {
  const bool all = allModesAllowed;
  objectsBox->setEnabled(all);
  dropsEdit->setEnabled(all);
  fullBox->setEnabled(all);
  if (mode == IntegrationMode::Rain) {
    fullCheck = objectsCheck = timeCheck = false;
    rainCheck = true;
  } else if (mode == IntegrationMode::Time) {
    fullCheck = objectsCheck = rainCheck = false;
    timeCheck = true;
  } else if (mode == IntegrationMode::Objects && all) {
    fullCheck = rainCheck = timeCheck = false;
    objectsCheck = true;
  } else if (mode == IntegrationMode::FullTimeRange && all) {
    objectsCheck = rainCheck = timeCheck = false;
    fullCheck = true;
  }
  WriteFields();
}

void CIntegrationDlg::OnCheck(int id) {
  ReadFields();
  // The clicked box keeps whatever its click made of it; the others are cleared.
  if (id != IDC_FULL_CHECK)
    fullCheck = false;
  if (id != IDC_OBJECTS_CHECK)
    objectsCheck = false;
  if (id != IDC_RAIN_CHECK)
    rainCheck = false;
  if (id != IDC_TIME_CHECK)
    timeCheck = false;
  WriteFields();
  mode = id == IDC_RAIN_CHECK      ? IntegrationMode::Rain
         : id == IDC_TIME_CHECK    ? IntegrationMode::Time
         : id == IDC_OBJECTS_CHECK ? IntegrationMode::Objects
                                   : IntegrationMode::FullTimeRange;
}

bool CIntegrationDlg::OnOK() {
  ReadFields();
  bool valid = true;
  // Limits are inclusive and compared in single precision, as the fields are kept.
  if (rainCheck && (rain < 0.05f || rain > 5.0f)) {
    Show(RAIN_LIMITS);
    valid = false;
  }
  if (timeCheck && (time < 15.0f || time > 43200.0f)) {
    Show(TIME_LIMITS);
    valid = false;
  }
  if (objectsCheck && (drops < 1 || drops > 999999)) {
    Show(DROPS_LIMITS);
    valid = false;
  }
  if (!rainCheck && !timeCheck && !objectsCheck && !fullCheck) {
    Show(NO_MODE);
    valid = false;
  }
  if (valid)
    accept();
  return valid;
}

int CIntegrationDlg::exec() {
  OnInitDialog();
  return QDialog::exec();
}
