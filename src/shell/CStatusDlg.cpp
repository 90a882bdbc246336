#include "CStatusDlg.h"

#include <QLabel>
#include <QVBoxLayout>

CStatusDlg::CStatusDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("153"));
  setWindowTitle(QStringLiteral("Status"));
  setModal(false);
  auto *layout = new QVBoxLayout(this);
  auto *text = new QLabel(QStringLiteral("Writing data to file...."), this);
  layout->addWidget(text);
  hide();
}
