#pragma once
#include <QWidget>

// Base of the enlarged diagrams' control panels: what a panel asks of the application (a help
// page, back to the main window) goes out as signals that the main frame connects.
class CBigCtrlPanel : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;

signals:
  // Show the help page with this string id.
  void HelpRequested(int pageId);
  // "Main": close the enlarged frame and go back to the main window.
  void MainRequested();
};
