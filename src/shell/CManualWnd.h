#pragma once
#include <QWidget>

class QTextBrowser;

// The top-level "PLUVICAM Documentation" window with the help page browser.
class CManualWnd : public QWidget {
  Q_OBJECT
public:
  CManualWnd();
  void Navigate(const QString &path);
  QTextBrowser *GetView() const { return view; }

private:
  QTextBrowser *view;
};
