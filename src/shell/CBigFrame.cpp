#include "CBigFrame.h"

#include "CStatusDlg.h"
#include "MainLayout.h"
#include "views/BigDiagramView.h"
#include "views/BigPanel.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"
#include "views/CBigRainIntensityView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/DsdIntegration.h"
#include "statistics/ParticleText.h"
#include "statistics/TimeSpan.h"

#include <QCloseEvent>
#include <QLabel>
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
    : QWidget(nullptr, Qt::Window), kind(kind), doc(doc), factory(factory) {
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

  if (BigDiagramView *diagram = Diagram()) {
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("statusLine"));
    status->setAutoFillBackground(true);
    status->setMargin(2);
    status->hide();
    connect(diagram, &BigDiagramView::CursorTextChanged, this, &CBigFrame::ShowStatus);
    connect(diagram, &BigDiagramView::DropRequested, this, &CBigFrame::OpenDropView);
    if (auto *rain = qobject_cast<CBigRainIntensityView *>(diagram))
      connect(rain, &CBigRainIntensityView::SpanDsdRequested, this, &CBigFrame::OpenSpanDsd);
    connect(diagram, &BigDiagramView::SelectionChanged, this, [this](bool any) {
      if (CBigInfoView *table = RecordTable()) {
        table->SetParticleShown(any);
        table->Refresh();
      }
    });
  }

  closeTimer.setInterval(CLOSE_POLL_MS);
  connect(&closeTimer, &QTimer::timeout, this, &CBigFrame::PollClose);
}

CBigFrame::~CBigFrame() { delete nested; }

QString CBigFrame::StatusText() const { return status ? status->text() : QString(); }

void CBigFrame::ShowStatus(const QString &text) {
  if (!status)
    return;
  status->setText(text);
  status->setVisible(!text.isEmpty());
  if (!text.isEmpty()) {
    status->adjustSize();
    status->move(0, height() - status->height());
    status->raise();
  }
}

bool CBigFrame::OpenDropView(qint32 position) {
  if (nested || !doc || !CanClose())
    return false;
  std::string message;
  int readStatus = CPluvicamDoc::statusRejected;
  CHydData *particle = nullptr;
  if (doc->SetFilePosition(position, &message) != -1) {
    // The end a run reached no longer holds at this position.
    doc->SetStatus(CPluvicamDoc::statusRejected);
    particle = doc->ReadHydData(CPluvicamDoc::ReadDirection::Next, &readStatus, &message);
  }
  if (!particle || readStatus != CPluvicamDoc::statusAccepted) {
    doc->ShowMessage(message.empty() ? "The particle of this dot could not be read" : message);
    return false;
  }
  if (!doc->IsSno())
    BuildDropContours(*doc, false);
  const int classBefore = doc->GetHydHeader()->dropType;
  OpenNested(new CBigFrame(BigKind::DropView, doc, factory), [this, classBefore] {
    // A particle classified anew changes the diagrams that keep to one class.
    const HydRecord *record = doc->GetHydHeader();
    if (record && int(record->dropType) != classBefore && doc->GetFilter().dropType != 0)
      if (BigPanel *controls = Panel(); controls && controls->IsStopped())
        controls->OnRun();
  });
  return true;
}

bool CBigFrame::OpenSpanDsd(const TimeSpan &span) {
  if (nested || !doc || span.Empty() || !CanClose())
    return false;
  FilterRecord windowBefore;
  doc->GetFilterSettings(windowBefore);
  const IntegrationSettings dsdBefore = doc->GetIntegrationSettings(IntegrationKind::Dsd);
  FilterRecord filter = windowBefore;
  filter.startTime = TimeSpan::Clock(span.from);
  filter.endTime = TimeSpan::Clock(span.to);
  doc->SetFilterSettings(filter);
  doc->GetIntegrationSettings(IntegrationKind::Dsd).mode = IntegrationMode::FullTimeRange;
  DsdIntegration::OpenAtWindowStart(*doc);
  auto *frame = new CBigFrame(BigKind::Dsd, doc, factory);
  OpenNested(frame, [this, windowBefore, dsdBefore] {
    doc->SetFilterSettings(windowBefore);
    doc->GetIntegrationSettings(IntegrationKind::Dsd) = dsdBefore;
  });
  if (BigPanel *controls = frame->Panel())
    controls->OnRun(); // returns when the span has been computed
  return true;
}

void CBigFrame::OpenNested(CBigFrame *frame, std::function<void()> after) {
  nested = frame;
  afterNested = std::move(after);
  connect(frame, &CBigFrame::CloseRequested, this, &CBigFrame::CloseNested);
  connect(frame, &CBigFrame::HelpRequested, this, &CBigFrame::HelpRequested);
  frame->setWindowTitle(TitleWord(frame->GetKind()));
  frame->setGeometry(geometry());
  frame->show();
  setEnabled(false);
}

void CBigFrame::CloseNested() {
  CBigFrame *frame = std::exchange(nested, nullptr);
  if (!frame)
    return;
  frame->hide();
  // The close comes from a button of that frame: delete it once the button has returned.
  frame->deleteLater();
  setEnabled(true);
  raise();
  activateWindow();
  // After the press that closed it has returned: a run it starts is modal.
  QTimer::singleShot(0, this, std::exchange(afterNested, {}));
}

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
