#include "CIntegrationDlg.h"

#include "document/IntegrationSettings.h"
#include "document/UserMessages.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>

CIntegrationDlg::CIntegrationDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("149"));
  setWindowTitle(QStringLiteral("Integration Interval"));
  auto box = [this](const char *text, int id) {
    auto *b = new QCheckBox(QString::fromLatin1(text), this);
    b->setObjectName(QString::number(id));
    connect(b, &QCheckBox::clicked, this, [this, id] { Clicked(id); });
    return b;
  };
  auto edit = [this](int id, bool digitsOnly) {
    auto *e = new QLineEdit(this);
    e->setObjectName(QString::number(id));
    if (digitsOnly)
      e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    return e;
  };
  full = box("Full Time Range", IDC_FULL);
  objects = box("Objects", IDC_OBJECTS);
  rainBox = box("Rain", IDC_RAIN);
  timeBox = box("Time", IDC_TIME);
  dropsEdit = edit(IDC_DROPS, true);
  rainEdit = edit(IDC_RAIN_EDIT, false);
  timeEdit = edit(IDC_TIME_EDIT, true);

  auto *grid = new QGridLayout(this);
  grid->addWidget(full, 0, 0, 1, 3);
  grid->addWidget(objects, 1, 0);
  grid->addWidget(dropsEdit, 1, 1);
  grid->addWidget(rainBox, 2, 0);
  grid->addWidget(rainEdit, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("mm"), this), 2, 2);
  grid->addWidget(timeBox, 3, 0);
  grid->addWidget(timeEdit, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("sec"), this), 3, 2);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CIntegrationDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CIntegrationDlg::reject);
  grid->addWidget(buttons, 4, 0, 1, 3);
}

void CIntegrationDlg::showEvent(QShowEvent *event) {
  OnInitDialog();
  QDialog::showEvent(event);
}

void CIntegrationDlg::OnInitDialog() {
  const bool all = allModesAllowed != 0;
  objects->setEnabled(all);
  dropsEdit->setEnabled(all);
  full->setEnabled(all);
  if (mode == Rain || mode == Time) {
    rainCheck = mode == Rain;
    timeCheck = mode == Time;
    fullCheck = objectsCheck = 0;
  } else if (all && (mode == Objects || mode == FullTimeRange)) {
    objectsCheck = mode == Objects;
    fullCheck = mode == FullTimeRange;
    rainCheck = timeCheck = 0;
  }
  WriteControls();
}

void CIntegrationDlg::Message(const QString &text) {
  if (messages)
    messages->Show(text.toStdString());
  else
    QMessageBox::warning(this, windowTitle(), text);
}

void CIntegrationDlg::ReadControls() {
  fullCheck = full->isChecked();
  objectsCheck = objects->isChecked();
  rainCheck = rainBox->isChecked();
  timeCheck = timeBox->isChecked();
  // Text that is no number keeps the value before.
  bool ok = false;
  const int d = dropsEdit->text().toInt(&ok);
  if (ok)
    drops = d;
  else
    Message(QStringLiteral("Please enter an integer."));
  const float r = rainEdit->text().toFloat(&ok);
  if (ok)
    rain = r;
  else
    Message(QStringLiteral("Please enter a number."));
  const float t = timeEdit->text().toFloat(&ok);
  if (ok)
    time = t;
  else
    Message(QStringLiteral("Please enter a number."));
}

void CIntegrationDlg::WriteControls() {
  full->setChecked(fullCheck);
  objects->setChecked(objectsCheck);
  rainBox->setChecked(rainCheck);
  timeBox->setChecked(timeCheck);
  dropsEdit->setText(QString::number(drops));
  rainEdit->setText(QString::number(double(rain), 'g', 6));
  timeEdit->setText(QString::number(double(time), 'g', 9));
}

void CIntegrationDlg::Clicked(int which) {
  // A box that was clicked keeps what the click made of it; the others are cleared.
  const bool checked = findChild<QCheckBox *>(QString::number(which))->isChecked();
  ReadControls();
  fullCheck = objectsCheck = rainCheck = timeCheck = 0;
  switch (which) {
  case IDC_RAIN:
    rainCheck = checked;
    mode = Rain;
    break;
  case IDC_TIME:
    timeCheck = checked;
    mode = Time;
    break;
  case IDC_OBJECTS:
    objectsCheck = checked;
    mode = Objects;
    break;
  default:
    fullCheck = checked;
    mode = FullTimeRange;
    break;
  }
  WriteControls();
}

bool CIntegrationDlg::Validate() {
  ReadControls();
  bool ok = true;
  if (rainCheck && (rain < 0.05f || rain > 5.0f)) {
    Message(QStringLiteral("Rain Integration Interval\nmust be between\n0.05 and 5 mm !!!"));
    ok = false;
  }
  if (timeCheck && (time < 15.0f || time > 43200.0f)) {
    Message(QStringLiteral("Time Integration Interval\nmust be between\n15 and 43200 sec !!!"));
    ok = false;
  }
  if (objectsCheck && (drops < 1 || drops > 999999)) {
    Message(QStringLiteral("NrDrops must be between\n1 and 999999 !!!"));
    ok = false;
  }
  if (!fullCheck && !objectsCheck && !rainCheck && !timeCheck) {
    Message(QStringLiteral("No intergration mode was selected!!!"));
    ok = false;
  }
  return ok;
}

void CIntegrationDlg::accept() {
  if (Validate())
    QDialog::accept();
}
