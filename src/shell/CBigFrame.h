#pragma once
#include "views/BigFrameHost.h"
#include "views/Pane.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class BigDiagramView;
class BigPanel;
class CBigInfoView;
class CBigParticleView;
class CPluvicamDoc;
class QSplitter;

// An enlarged diagram in its own window: the record table and the diagram's control panel
// above the big view (the drop view shows two big views side by side). It never closes itself:
// closing hides it and asks the main window to take over, once the diagram has stopped
// computing. "Main" closes it the same way.
class CBigFrame : public QWidget, public BigFrameHost {
  Q_OBJECT
public:
  static constexpr int CLOSE_POLL_MS = 10;

  CBigFrame(BigKind kind, CPluvicamDoc *doc, const BigPaneFactory &factory);
  ~CBigFrame() override;

  BigKind GetKind() const { return kind; }
  static QString TitleWord(BigKind kind);

  // Shows a system cursor over the frame.
  void SetCursor(int cursorId) override;
  // True when the panel is idle or absent.
  bool CanClose() const;
  void RecalcLayout();

  // The panes as what they are; null where the factory made something else.
  BigPanel *Panel() const;
  // The diagram of the five computing kinds.
  BigDiagramView *Diagram() const;
  // The drop view's two particle views: 0 front, 1 side.
  CBigParticleView *ParticleView(int index) const;
  CBigInfoView *RecordTable() const;
  int ViewCount() const { return int(views.size()); }
  QDialog *CreateStatusDialog(QWidget *owner) override;

signals:
  // Hidden and idle: the main window takes over and deletes the frame.
  void CloseRequested();
  // The panel's Help: the page with this string id.
  void HelpRequested(int pageId);

protected:
  void closeEvent(QCloseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void PollClose();

  BigKind kind;
  QSplitter *outer = nullptr;
  QSplitter *top = nullptr;
  QSplitter *bottom = nullptr;
  QWidget *info = nullptr;
  QWidget *panel = nullptr;
  std::vector<QWidget *> views;
  QTimer closeTimer;
};
