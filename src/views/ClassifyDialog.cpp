#include "ClassifyDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ClassifyDialog::ClassifyDialog(QWidget *parent) : QDialog(parent), group(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("ClassifyDialog"));
  setWindowTitle(QStringLiteral("Classify Particle"));
  auto *box = new QGroupBox(QStringLiteral("Classes"), this);
  auto *radios = new QVBoxLayout(box);
  const char *const names[] = {"Not Classified", "Rain",   "Melting", "Snow",
                               "Hail",           "Manual", "Invalid"};
  for (int c = 0; c < 7; ++c) {
    auto *radio = new QRadioButton(QString::fromLatin1(names[c]), box);
    radio->setObjectName(QString::number(IDC_FIRST_CLASS + c));
    group->addButton(radio, c);
    radios->addWidget(radio);
  }
  auto *save = new QPushButton(QStringLiteral("Save"), this);
  save->setObjectName(QString::number(IDOK));
  save->setDefault(true);
  auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QString::number(IDCANCEL));
  connect(save, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto *buttons = new QVBoxLayout;
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto *row = new QHBoxLayout(this);
  row->addWidget(box);
  row->addLayout(buttons);
}

void ClassifyDialog::SetClass(int dropType) {
  if (QAbstractButton *radio = group->button(dropType)) {
    radio->setChecked(true);
    return;
  }
  // No class: no radio checked.
  group->setExclusive(false);
  for (QAbstractButton *radio : group->buttons())
    radio->setChecked(false);
  group->setExclusive(true);
}

int ClassifyDialog::GetClass() const { return group->checkedId(); }
