#include "QtUserMessages.h"

#include <QApplication>
#include <QMessageBox>

void QtUserMessages::Show(const std::string &text) {
  // The box carries the application's name as its caption, like every box of the program.
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pluvicam"), QString::fromStdString(text),
                  QMessageBox::Ok, owner);
  box.exec();
}
