#pragma once
#include "views/BigFrameHost.h"
#include "views/Pane.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class CMainFrame;
class CPluvicamDoc;
class QSplitter;

// An enlarged diagram in its own window: the record table and the diagram's control panel
// above the big view (the drop view shows two big views side by side). It never closes itself:
// closing hides it and asks the main frame, once the diagram has stopped computing.
class CBigFrame : public QWidget, public BigFrameHost {
  Q_OBJECT
public:
  static constexpr int CLOSE_POLL_MS = 10;

  CBigFrame(BigKind kind, CPluvicamDoc *doc, CMainFrame *mainFrame, const BigPaneFactory &factory);
  ~CBigFrame() override;

  BigKind GetKind() const { return kind; }
  static QString TitleWord(BigKind kind);

  // Shows a system cursor over the frame; the working cursors make it busy.
  void SetCursor(int cursorId) override;
  bool IsBusy() const { return busy; }
  // True when the kind's big view (for the drop view: its panel) is idle or absent.
  bool CanClose() const;
  void RecalcLayout();

  QWidget *GetPanel() const override { return panel; }
  const std::vector<QWidget *> &GetViews() const override { return views; }
  QWidget *GetInfo() const { return info; }
  void CloseBig() override;
  void ShowHelp(int pageId) override;
  void RefreshInfo() override;
  QDialog *CreateStatusDialog(QWidget *owner) override;

protected:
  void closeEvent(QCloseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void PollClose();

  BigKind kind;
  CMainFrame *mainFrame;
  int cursor;
  bool busy = false;
  QSplitter *outer = nullptr;
  QSplitter *top = nullptr;
  QSplitter *bottom = nullptr;
  QWidget *info = nullptr;
  QWidget *panel = nullptr;
  std::vector<QWidget *> views;
  QTimer closeTimer;
};
