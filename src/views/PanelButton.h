#pragma once
#include <QPushButton>
#include <QString>

// A panel's push button, found by tests and by its panel through the control id as object name.
inline QPushButton *PanelButton(const char *text, int id, QWidget *parent) {
  auto *b = new QPushButton(QString::fromLatin1(text), parent);
  b->setObjectName(QString::number(id));
  return b;
}
