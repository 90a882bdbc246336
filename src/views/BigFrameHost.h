#pragma once
#include "Cursors.h"
#include "Pane.h"

#include <vector>

class QDialog;
class QString;
class QWidget;

// What an enlarged diagram's panel and view ask of the frame that holds them. The frame
// implements it; panels and views find it as their window.
class BigFrameHost {
public:
  virtual ~BigFrameHost();

  virtual void SetCursor(int cursorId) = 0;
  // "Main": back to the main window.
  virtual void CloseBig() = 0;
  virtual void ShowHelp(int pageId) = 0;
  virtual QWidget *GetPanel() const = 0;
  virtual const std::vector<QWidget *> &GetViews() const = 0;
  // The record table shows the document's figures anew.
  virtual void RefreshInfo() = 0;
  // The "Status" box of the calibration export, hidden, owned by `owner`.
  virtual QDialog *CreateStatusDialog(QWidget *owner) = 0;

  // The frame that holds `widget`, or null.
  static BigFrameHost *Of(const QWidget *widget);

  // The views of type V in the frame that holds `widget`.
  template <class V> static std::vector<V *> ViewsOf(const QWidget *widget) {
    std::vector<V *> views;
    if (BigFrameHost *host = Of(widget))
      for (QWidget *w : host->GetViews())
        if (auto *v = dynamic_cast<V *>(w))
          views.push_back(v);
    return views;
  }
};

// The main window as the small diagrams see it: a double click opens the enlarged diagram.
class BigFrameOpener {
public:
  virtual ~BigFrameOpener();
  virtual void OpenBigFrame(const QString &titleWord, BigKind kind) = 0;

  // The main window that holds `widget`, or null.
  static BigFrameOpener *Of(const QWidget *widget);
};
