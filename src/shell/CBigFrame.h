#pragma once
#include "views/BigFrameHost.h"
#include "views/Pane.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class BigDiagramView;
class BigPanel;
class CBigInfoView;
class CBigParticleView;
class CPluvicamDoc;
class QLabel;
struct TimeSpan;
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
  // The values under the cursor, shown over the bottom of the frame while there are any.
  QString StatusText() const;
  // The drop view at the particle whose record starts at `position`, over this frame; its
  // "Main" comes back here. False with a message when the particle cannot be read.
  bool OpenDropView(qint32 position);
  // The enlarged drop size distribution over the full time range of `span`, computed once, over
  // this frame; its "Main" comes back here with the time window and integration as they were.
  bool OpenSpanDsd(const TimeSpan &span);
  // The frame opened over this one, or null.
  CBigFrame *Nested() const { return nested; }

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
  void ShowStatus(const QString &text);
  // Shows `frame` over this one until its "Main"; then `after` runs.
  void OpenNested(CBigFrame *frame, std::function<void()> after);
  void CloseNested();

  BigKind kind;
  QSplitter *outer = nullptr;
  QSplitter *top = nullptr;
  QSplitter *bottom = nullptr;
  QWidget *info = nullptr;
  QWidget *panel = nullptr;
  std::vector<QWidget *> views;
  QTimer closeTimer;
  CPluvicamDoc *doc;
  BigPaneFactory factory;
  QLabel *status = nullptr;
  CBigFrame *nested = nullptr;
  std::function<void()> afterNested;
};
