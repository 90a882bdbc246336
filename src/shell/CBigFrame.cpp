#include "CBigFrame.h"

#include "CStatusDlg.h"
#include "MainLayout.h"
#include "views/BigDiagramView.h"
#include "views/BigPanel.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"

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

CBigFrame::CBigFrame(BigKind kind, CPluvicamDoc *doc, const BigPaneFactory &factory)
    : QWidget(nullptr, Qt::Window), kind(kind) {
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
  if (BigPanel *controls = Panel()) {
    controls->Attach(views, RecordTable());
    connect(controls, &BigPanel::MainRequested, this, &QWidget::close);
    connect(controls, &BigPanel::HelpRequested, this, &CBigFrame::HelpRequested);
  }

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

void CBigFrame::SetCursor(int cursorId) { setCursor(Cursors::ShapeOf(cursorId)); }

bool CBigFrame::CanClose() const {
  // The panel knows whether its diagram computes or the drop view steps.
  BigPanel *controls = Panel();
  return !controls || controls->IsIdle();
}

BigPanel *CBigFrame::Panel() const { return qobject_cast<BigPanel *>(panel); }

BigDiagramView *CBigFrame::Diagram() const {
  return views.empty() ? nullptr : qobject_cast<BigDiagramView *>(views.front());
}

CBigParticleView *CBigFrame::ParticleView(int index) const {
  return index >= 0 && size_t(index) < views.size()
             ? qobject_cast<CBigParticleView *>(views[size_t(index)])
             : nullptr;
}

CBigInfoView *CBigFrame::RecordTable() const { return qobject_cast<CBigInfoView *>(info); }

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
  // Never closed directly: hidden now, handed to the main window when the diagram is idle.
  event->ignore();
  hide();
  if (CanClose())
    emit CloseRequested();
  else
    closeTimer.start();
}

void CBigFrame::PollClose() {
  if (!CanClose())
    return;
  closeTimer.stop();
  emit CloseRequested();
}

QDialog *CBigFrame::CreateStatusDialog(QWidget *owner) { return new CStatusDlg(owner); }
