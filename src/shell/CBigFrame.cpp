#include "CBigFrame.h"

#include "CMainFrame.h"
#include "CPluvicamApp.h"
#include "CStatusDlg.h"
#include "MainLayout.h"
#include "views/BusyView.h"
#include "views/CBigInfoView.h"

#include <QCloseEvent>
#include <QSplitter>

namespace {
QSplitter *MakeSplitter(Qt::Orientation orientation, QWidget *parent) {
  auto *s = new QSplitter(orientation, parent);
  s->setChildrenCollapsible(false);
  return s;
}

QWidget *MakePane(const BigPaneFactory &factory, BigPane which, BigKind kind, int index,
                  CPluvicamDoc *doc, QWidget *parent) {
  QWidget *w = factory ? factory(which, kind, index, doc, parent) : nullptr;
  if (!w)
    w = new QWidget(parent);
  w->setMinimumSize(MIN_PANE_SIZE, MIN_PANE_SIZE);
  return w;
}

void SetTwo(QSplitter *s, int first, int total) {
  const int rest = std::max(total - first - s->handleWidth(), MIN_PANE_SIZE);
  s->setSizes({std::max(first, MIN_PANE_SIZE), rest});
}
} // namespace

CBigFrame::CBigFrame(BigKind kind, CPluvicamDoc *doc, CMainFrame *mainFrame,
                     const BigPaneFactory &factory)
    : QWidget(nullptr, Qt::Window), kind(kind), mainFrame(mainFrame), cursor(Cursors::ARROW) {
  setObjectName(QStringLiteral("CBigFrame"));
  outer = MakeSplitter(Qt::Vertical, this);
  top = MakeSplitter(Qt::Horizontal, outer);
  outer->addWidget(top);
  info = MakePane(factory, BigPane::Info, kind, 0, doc, top);
  top->addWidget(info);
  panel = MakePane(factory, BigPane::Panel, kind, 0, doc, top);
  top->addWidget(panel);
  if (kind == BigKind::DropView) {
    bottom = MakeSplitter(Qt::Horizontal, outer);
    outer->addWidget(bottom);
    for (int index = 0; index < 2; ++index) {
      views.push_back(MakePane(factory, BigPane::View, kind, index, doc, bottom));
      bottom->addWidget(views.back());
    }
  } else {
    views.push_back(MakePane(factory, BigPane::View, kind, 0, doc, outer));
    outer->addWidget(views.back());
  }
  panel->setFocus(); // the active pane

  closeTimer.setInterval(CLOSE_POLL_MS);
  connect(&closeTimer, &QTimer::timeout, this, &CBigFrame::PollClose);
}

CBigFrame::~CBigFrame() = default;

QString CBigFrame::TitleWord(BigKind kind) {
  switch (kind) {
  case BigKind::RainRate:
    return QStringLiteral("Rainrate versus Time");
  case BigKind::Dsd:
    return QStringLiteral("Dropsize Distribution");
  case BigKind::VVel:
    return QStringLiteral("Vertical Velocity vs Diameter");
  case BigKind::HVel:
    return QStringLiteral("Horizontal Velocity");
  case BigKind::Obl:
    return QStringLiteral("Oblateness vs Diameter");
  case BigKind::DropView:
    return QStringLiteral("Drop View");
  default:
    return QString();
  }
}

void CBigFrame::SetCursor(int cursorId) {
  cursor = cursorId;
  busy = cursorId == Cursors::APPSTARTING || cursorId == Cursors::WAIT;
  setCursor(Cursors::ShapeOf(cursorId));
}

bool CBigFrame::CanClose() const {
  // The drop view's panel knows whether it is stepping; elsewhere the big view knows.
  if (kind == BigKind::DropView) {
    if (auto *state = dynamic_cast<BusyView *>(panel))
      return state->IsIdle();
    return true;
  }
  for (QWidget *view : views)
    if (auto *state = dynamic_cast<BusyView *>(view))
      return state->IsIdle();
  return true;
}

void CBigFrame::RecalcLayout() {
  if (!outer || isMinimized())
    return;
  const BigLayout l = ComputeBigLayout(width(), height());
  SetTwo(outer, l.topH, height());
  SetTwo(top, l.infoW, width());
  if (bottom)
    SetTwo(bottom, l.halfW, width());
}

void CBigFrame::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  outer->setGeometry(rect());
  RecalcLayout();
}

void CBigFrame::closeEvent(QCloseEvent *event) {
  // Never closed directly: hidden now, handed to the main frame when the diagram is idle.
  event->ignore();
  hide();
  if (CanClose()) {
    if (mainFrame)
      mainFrame->CloseBigFrame();
  } else {
    closeTimer.start();
  }
}

void CBigFrame::PollClose() {
  if (!CanClose())
    return;
  closeTimer.stop();
  if (mainFrame)
    mainFrame->CloseBigFrame();
}

void CBigFrame::CloseBig() {
  if (mainFrame)
    mainFrame->CloseBigFrame();
}

void CBigFrame::ShowHelp(int pageId) {
  if (CPluvicamApp *app = CPluvicamApp::Instance())
    app->ShowDocument(pageId);
}

void CBigFrame::RefreshInfo() {
  if (auto *table = dynamic_cast<CBigInfoView *>(info))
    table->Refresh();
}

QDialog *CBigFrame::CreateStatusDialog(QWidget *owner) { return new CStatusDlg(owner); }
