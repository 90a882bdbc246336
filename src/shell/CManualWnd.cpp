#include "CManualWnd.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CManualWnd::CManualWnd() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("CManualWnd"));
  setWindowTitle(QStringLiteral("PLUVICAM Documentation"));
  setAttribute(Qt::WA_DeleteOnClose);
  view = new QTextBrowser(this);
  view->setObjectName(QStringLiteral("CManualView"));
  view->setOpenLinks(true);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  setFocusProxy(view);
  resize(800, 600);
}

void CManualWnd::Navigate(const QString &path) { view->setSource(QUrl::fromLocalFile(path)); }
