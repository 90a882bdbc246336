#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Pluvicam"));
  auto *layout = new QVBoxLayout(this);
  auto *row = new QHBoxLayout;
  auto *icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  row->addWidget(icon);
  auto *text = new QVBoxLayout;
  text->addWidget(new QLabel(QStringLiteral("Pluvicam Version 1.0"), this));
  text->addWidget(new QLabel(QStringLiteral("Viewer and analyser of two-camera precipitation "
                                            "recordings"),
                             this));
  row->addLayout(text);
  layout->addLayout(row);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}
