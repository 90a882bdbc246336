#include "COptionsDlg.h"

#include "FieldExchange.h"
#include "FilterValidation.h"
#include "document/UserMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <tuple>

namespace {
QLineEdit *NumberEdit(int id, QWidget *parent) {
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(id));
  edit->setMaximumWidth(80);
  return edit;
}
QTimeEdit *Picker(int id, QWidget *parent) {
  auto *edit = new QTimeEdit(parent);
  edit->setObjectName(QString::number(id));
  edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  edit->setAlignment(Qt::AlignRight);
  edit->setDate(QDate(2003, 1, 1));
  return edit;
}
} // namespace

COptionsDlg::COptionsDlg(UserMessages *messages, QWidget *parent)
    : QDialog(parent), messages(messages) {
  setObjectName(QString::number(IDD));
  setWindowTitle(QStringLiteral("Options"));
  setModal(true);

  tipEdit = NumberEdit(IDC_TIP_SIZE, this);
  startEdit = Picker(IDC_TIME_START, this);
  endEdit = Picker(IDC_TIME_END, this);
  diamMinEdit = NumberEdit(IDC_DIAM_MIN, this);
  diamMaxEdit = NumberEdit(IDC_DIAM_MAX, this);
  velMinEdit = NumberEdit(IDC_VEL_MIN, this);
  velMaxEdit = NumberEdit(IDC_VEL_MAX, this);
  oblMinEdit = NumberEdit(IDC_OBL_MIN, this);
  oblMaxEdit = NumberEdit(IDC_OBL_MAX, this);
  typeList = new QComboBox(this);
  typeList->setObjectName(QString::number(IDC_TYPE));
  typeList->addItems({QStringLiteral("all"), QStringLiteral("not class"), QStringLiteral("rain"),
                      QStringLiteral("melting"), QStringLiteral("snow"), QStringLiteral("hail"),
                      QStringLiteral("manual"), QStringLiteral("invalid")});
  titleEdit = new QLineEdit(this);
  titleEdit->setObjectName(QString::number(IDC_WINDOW_TITLE));
  qcBox = new QCheckBox(QStringLiteral("Remove particles far from the terminal velocity"), this);
  qcBox->setObjectName(QString::number(IDC_QC_VELOCITY));
  qcFractionEdit = NumberEdit(IDC_QC_FRACTION, this);

  auto *layout = new QVBoxLayout(this);
  auto *tipRow = new QHBoxLayout;
  tipRow->addWidget(new QLabel(QStringLiteral("Tip Size"), this));
  tipRow->addWidget(tipEdit);
  tipRow->addWidget(new QLabel(QStringLiteral("mm"), this));
  tipRow->addStretch();
  layout->addLayout(tipRow);

  layout->addWidget(new QLabel(QStringLiteral("Filter Settings:"), this));
  auto *grid = new QGridLayout;
  int row = 0;
  grid->addWidget(new QLabel(QStringLiteral("Time:"), this), row, 0);
  grid->addWidget(startEdit, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("Time:"), this), row, 2);
  grid->addWidget(endEdit, row, 3);
  ++row;
  auto addRange = [&](const char *label, QLineEdit *min, QLineEdit *max, const char *unit) {
    grid->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
    grid->addWidget(min, row, 1);
    grid->addWidget(max, row, 3);
    if (unit)
      grid->addWidget(new QLabel(QString::fromLatin1(unit), this), row, 4);
    ++row;
  };
  addRange("Diameter:", diamMinEdit, diamMaxEdit, "mm");
  addRange("Velocity:", velMinEdit, velMaxEdit, "m/s");
  addRange("Oblateness:", oblMinEdit, oblMaxEdit, nullptr);
  grid->addWidget(new QLabel(QStringLiteral("Default Hydrometeor Filter:"), this), row, 0, 1, 2);
  grid->addWidget(typeList, row, 3, 1, 2);
  ++row;
  grid->addWidget(new QLabel(QStringLiteral("Window Title:"), this), row, 0);
  grid->addWidget(titleEdit, row, 1, 1, 4);
  layout->addLayout(grid);

  layout->addWidget(new QLabel(QStringLiteral("Velocity Check:"), this));
  auto *qcRow = new QHBoxLayout;
  qcRow->addWidget(qcBox);
  qcRow->addWidget(new QLabel(QStringLiteral("Fraction:"), this));
  qcRow->addWidget(qcFractionEdit);
  qcRow->addStretch();
  layout->addLayout(qcRow);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  auto *save = new QPushButton(QStringLiteral("Save"), this);
  save->setObjectName(QString::number(IDC_SAVE));
  save->setDefault(true);
  save->setAutoDefault(true);
  auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QString::number(IDC_CANCEL));
  cancel->setAutoDefault(false);
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  connect(save, &QPushButton::clicked, this, &COptionsDlg::OnSave);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  WriteFields();
}

void COptionsDlg::SetValues(const FilterRecord &fixed, const std::string &title, float tip) {
  titleText = title;
  tipSize = tip;
  startEdit->setTime(fields::ClockOf(fixed.startTime));
  endEdit->setTime(fields::ClockOf(fixed.endTime));
  diamMin = fixed.diamMin;
  diamMax = fixed.diamMax;
  velMin = fixed.velMin;
  velMax = fixed.velMax;
  oblMin = fixed.oblMin;
  oblMax = fixed.oblMax;
  minPixA = fixed.minPixA;
  maxPixA = fixed.maxPixA;
  minPixB = fixed.minPixB;
  maxPixB = fixed.maxPixB;
  typeIndex = fixed.dropType;
  qcOn = fixed.velocityQc.mode == VelocityQc::Mode::Fraction;
  qcFraction = float(fixed.velocityQc.fraction);
  WriteFields();
}

FilterSettings COptionsDlg::GetValues() const {
  FilterSettings s;
  s.windowTitle = titleText;
  s.tipSize = tipSize;
  s.startTime = fields::TimeOfDayOf(startEdit->time());
  s.endTime = fields::TimeOfDayOf(endEdit->time());
  s.diamMin = diamMin;
  s.diamMax = diamMax;
  s.velMin = velMin;
  s.velMax = velMax;
  s.oblMin = oblMin;
  s.oblMax = oblMax;
  s.minPixA = minPixA;
  s.maxPixA = maxPixA;
  s.minPixB = minPixB;
  s.maxPixB = maxPixB;
  s.dropType = typeIndex;
  s.velocityQc.mode = qcOn ? VelocityQc::Mode::Fraction : VelocityQc::Mode::Off;
  s.velocityQc.fraction = qcFraction;
  return s;
}

bool COptionsDlg::ReadFields(QString &error) {
  // Read into copies: a refused entry leaves every field as it was.
  float tip = 0, dMin = 0, dMax = 0, vMin = 0, vMax = 0, oMin = 0, oMax = 0, fraction = 0;
  QLineEdit *failed = nullptr;
  // Named as the dialog's labels show them.
  const std::tuple<QLineEdit *, const char *, float *> numbers[] = {
      {tipEdit, "Tip Size", &tip},
      {diamMinEdit, "Diameter, minimum", &dMin},
      {diamMaxEdit, "Diameter, maximum", &dMax},
      {velMinEdit, "Velocity, minimum", &vMin},
      {velMaxEdit, "Velocity, maximum", &vMax},
      {oblMinEdit, "Oblateness, minimum", &oMin},
      {oblMaxEdit, "Oblateness, maximum", &oMax},
      {qcFractionEdit, "Velocity Check, fraction", &fraction}};
  for (const auto &[edit, name, value] : numbers)
    if (!fields::ReadFloat(edit, QString::fromLatin1(name), *value, error)) {
      failed = edit;
      break;
    }
  if (failed) {
    failed->setFocus();
    failed->selectAll();
    return false;
  }
  tipSize = tip;
  diamMin = dMin;
  diamMax = dMax;
  velMin = vMin;
  velMax = vMax;
  oblMin = oMin;
  oblMax = oMax;
  qcFraction = fraction;
  qcOn = qcBox->isChecked();
  titleText = titleEdit->text().toStdString();
  typeIndex = int16_t(std::max(typeList->currentIndex(), 0));
  return true;
}

void COptionsDlg::WriteFields() {
  fields::WriteFloat(tipEdit, tipSize);
  fields::WriteFloat(diamMinEdit, diamMin);
  fields::WriteFloat(diamMaxEdit, diamMax);
  fields::WriteFloat(velMinEdit, velMin);
  fields::WriteFloat(velMaxEdit, velMax);
  fields::WriteFloat(oblMinEdit, oblMin);
  fields::WriteFloat(oblMaxEdit, oblMax);
  fields::WriteFloat(qcFractionEdit, qcFraction);
  qcBox->setChecked(qcOn);
  const QString title = QString::fromStdString(titleText);
  if (titleEdit->text() != title)
    titleEdit->setText(title);
  if (typeIndex >= 0 && typeIndex < typeList->count())
    typeList->setCurrentIndex(typeIndex);
}

bool COptionsDlg::Validate(QString &message) {
  message.clear();
  if (!ReadFields(message))
    return false;
  std::string found;
  filtercheck::CheckFloatRange("diameter", diamMin, diamMax, 0.0f, 50.0f, found);
  filtercheck::CheckFloatRange("velocity", velMin, velMax, 0.0f, 30.0f, found);
  filtercheck::CheckFloatRange("oblateness", oblMin, oblMax, 0.0f, 2.0f, found);
  if (!(tipSize > 0))
    found = "tip size must be greater than 0";
  if (qcOn && !(qcFraction > 0))
    found = "velocity check fraction must be greater than 0";
  WriteFields();
  message = QString::fromStdString(found);
  return found.empty();
}

void COptionsDlg::OnSave() {
  QString message;
  if (!Validate(message)) {
    if (messages)
      messages->Show(message.toStdString());
    return;
  }
  accept();
}
