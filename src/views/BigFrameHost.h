#pragma once
#include "Cursors.h"
#include "Pane.h"

class QDialog;
class QString;
class QWidget;

// What an enlarged diagram's panel and view ask of the frame that holds them. The frame
// implements it; panels and views find it as their window.
class BigFrameHost {
public:
  virtual ~BigFrameHost();

  virtual void SetCursor(int cursorId) = 0;
  // The "Status" box of the calibration export, hidden, owned by `owner`.
  virtual QDialog *CreateStatusDialog(QWidget *owner) = 0;

  // The frame that holds `widget`, or null.
  static BigFrameHost *Of(const QWidget *widget);
};

// The main window as the small diagrams see it: a double click opens the enlarged diagram.
class BigFrameOpener {
public:
  virtual ~BigFrameOpener();
  virtual void OpenBigFrame(const QString &titleWord, BigKind kind) = 0;

  // The main window that holds `widget`, or null.
  static BigFrameOpener *Of(const QWidget *widget);
};
