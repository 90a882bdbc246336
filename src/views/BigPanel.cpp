#include "BigPanel.h"

#include "BigDiagramView.h"
#include "BigFrameHost.h"
#include "CBigInfoView.h"
#include "document/CPluvicamDoc.h"

#include <QPushButton>

BigPanel::BigPanel(CPluvicamDoc *document, QWidget *parent) : QWidget(parent), doc(document) {}

void BigPanel::Attach(const std::vector<QWidget *> &views, CBigInfoView *table) {
  recordTable = table;
  TakeViews(views);
}

void BigPanel::TakeViews(const std::vector<QWidget *> &views) {
  diagram = views.empty() ? nullptr : qobject_cast<BigDiagramView *>(views.front());
  if (!diagram)
    return;
  connect(diagram, &BigDiagramView::Finished, this, &BigPanel::Stop);
  connect(diagram, &BigDiagramView::FiguresChanged, this, &BigPanel::ShowFigures);
}

QPushButton *BigPanel::AddButton(int id, const QString &text, const std::function<void()> &action,
                                 bool runToggle) {
  auto *button = new QPushButton(text, this);
  button->setObjectName(QString::number(id));
  connect(button, &QPushButton::clicked, this, [action] { action(); });
  buttons.push_back(button);
  if (runToggle)
    toggles.push_back(button);
  return button;
}

QPushButton *BigPanel::Button(int id) const {
  const QString name = QString::number(id);
  for (QPushButton *b : buttons)
    if (b->objectName() == name)
      return b;
  return nullptr;
}

void BigPanel::EnableControls() {
  for (QPushButton *b : buttons)
    b->setEnabled(!running || b == activeToggle);
}

void BigPanel::BeginRun(QPushButton *toggle) {
  if (auto *host = BigFrameHost::Of(this))
    host->SetCursor(Cursors::APPSTARTING);
  activeToggle = toggle;
  toggleText = toggle->text();
  toggle->setText(QStringLiteral("Stop"));
  running = true;
  EnableControls();
  emit RunStateChanged(true);
}

void BigPanel::EndRun() {
  if (auto *host = BigFrameHost::Of(this))
    host->SetCursor(Cursors::ARROW);
  if (activeToggle)
    activeToggle->setText(toggleText);
  activeToggle = nullptr;
  running = false;
  EnableControls();
  emit RunStateChanged(false);
}

void BigPanel::OnRun() {
  if (!doc || toggles.empty())
    return;
  if (running) {
    Stop();
    return;
  }
  // A run that was just stopped may still be finishing its slice: one run at a time.
  if (diagram && !diagram->IsIdle())
    return;
  BeginRun(toggles.front());
  BeforeRun();
  // Returns when the computation has ended; Stop reaches us from inside it.
  if (diagram)
    diagram->Start();
  // A computation that ended without a word (the frame closing stops it) ends the run too.
  Stop();
}

void BigPanel::Stop() {
  if (!running)
    return;
  EndRun();
  if (diagram)
    diagram->Stop();
}

void BigPanel::BeforeRun() {
  doc->ResetData();
  doc->ClearIntegrationState();
}

bool BigPanel::IsIdle() { return !diagram || diagram->IsIdle(); }

void BigPanel::ShowFigures() { RefreshRecordTable(); }

void BigPanel::RefreshRecordTable() {
  if (recordTable)
    recordTable->Refresh();
}

void BigPanel::OnMain() { emit MainRequested(); }

void BigPanel::OnHelp() { emit HelpRequested(HelpPage()); }
