#include "CRainIntensityCtrlPanel.h"

#include "CBigInfoView.h"
#include "CBigRainIntensityView.h"
#include "CIntegrationDlg.h"
#include "document/CPluvicamDoc.h"

#include <QGridLayout>
#include <QPushButton>

CRainIntensityCtrlPanel::CRainIntensityCtrlPanel(CPluvicamDoc *doc, QWidget *parent)
    : QWidget(parent), doc(doc), messages(doc), dialog(std::make_unique<CIntegrationDlg>()) {
  setObjectName(QStringLiteral("141"));
  dialog->SetMessages(&messages);
  auto *grid = new QGridLayout(this);
  auto button = [&](int id, const char *text, int row, int column,
                    void (CRainIntensityCtrlPanel::*action)()) {
    auto *b = new QPushButton(QString::fromLatin1(text), this);
    b->setObjectName(QString::number(id));
    connect(b, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    grid->addWidget(b, row, column);
    return b;
  };
  runButton = button(IDC_RUN, "Run", 0, 0, &CRainIntensityCtrlPanel::OnRun);
  others = {
      button(IDC_SCALE_DOWN, "Scale <", 0, 1, &CRainIntensityCtrlPanel::OnScaleDown),
      button(IDC_TIP, "Tip", 0, 2, &CRainIntensityCtrlPanel::OnTip),
      button(IDC_SCALE_UP, "Scale >", 0, 3, &CRainIntensityCtrlPanel::OnScaleUp),
      button(IDC_MAIN, "Main", 1, 0, &CRainIntensityCtrlPanel::OnMain),
      button(IDC_DEFAULT, "Default", 1, 1, &CRainIntensityCtrlPanel::OnDefault),
      button(IDC_HELP, "Help", 1, 2, &CRainIntensityCtrlPanel::OnHelp),
      button(IDC_INTEGRATE, "Integrate", 1, 3, &CRainIntensityCtrlPanel::OnIntegrate),
  };
}

CRainIntensityCtrlPanel::~CRainIntensityCtrlPanel() = default;

std::vector<CBigRainIntensityView *> CRainIntensityCtrlPanel::Views() const {
  std::vector<CBigRainIntensityView *> views;
  // The views have no meta-object of their own: find them by their C++ type.
  if (QWidget *frame = window())
    for (QWidget *w : frame->findChildren<QWidget *>())
      if (auto *v = dynamic_cast<CBigRainIntensityView *>(w))
        views.push_back(v);
  return views;
}

void CRainIntensityCtrlPanel::RefreshRecordTables() {
  if (QWidget *frame = window())
    for (QWidget *w : frame->findChildren<QWidget *>())
      if (auto *info = dynamic_cast<CBigInfoView *>(w))
        info->Refresh();
}

void CRainIntensityCtrlPanel::EnableOthers(bool enable) {
  for (QPushButton *b : others)
    b->setEnabled(enable);
}

void CRainIntensityCtrlPanel::OnRun() {
  if (!doc)
    return;
  if (state == 0) {
    Stop();
    return;
  }
  // A run that was just stopped may still be finishing its slice: one run at a time.
  for (CBigRainIntensityView *view : Views())
    if (view->Computing())
      return;
  window()->setCursor(Qt::BusyCursor);
  runButton->setText(QStringLiteral("Stop"));
  state = 0;
  EnableOthers(false);
  doc->ResetData();
  doc->ClearIntegrationState();
  // Returns when the run has ended.
  for (CBigRainIntensityView *view : Views())
    view->OnRun();
  RefreshRecordTables();
}

void CRainIntensityCtrlPanel::Stop() {
  window()->setCursor(Qt::ArrowCursor);
  runButton->setText(QStringLiteral("Run"));
  state = 1;
  EnableOthers(true);
  for (CBigRainIntensityView *view : Views())
    view->OnStop();
}

void CRainIntensityCtrlPanel::EndOfRun() {
  if (state == 0)
    Stop();
}

void CRainIntensityCtrlPanel::OnScaleUp() {
  if (doc)
    for (CBigRainIntensityView *view : Views())
      view->OnScaleUp();
}

void CRainIntensityCtrlPanel::OnScaleDown() {
  if (doc)
    for (CBigRainIntensityView *view : Views())
      view->OnScaleDown();
}

void CRainIntensityCtrlPanel::OnTip() {
  if (doc)
    for (CBigRainIntensityView *view : Views())
      view->OnToggle();
}

void CRainIntensityCtrlPanel::OnIntegrate() {
  if (!doc)
    return;
  IntegrationSettings &r = doc->GetIntegrationSettings(IntegrationKind::RainRate);
  // Only Rain and Time make a rain rate curve.
  dialog->SetAllModesAllowed(false);
  dialog->SetMode(r.mode);
  dialog->SetRain(r.rainInterval);
  dialog->SetTime(r.timeInterval);
  if (dialog->exec() == QDialog::Accepted) {
    r.mode = dialog->GetMode();
    r.rainInterval = dialog->GetRain();
    r.timeInterval = dialog->GetTime();
  }
  RefreshRecordTables();
}

void CRainIntensityCtrlPanel::OnDefault() {
  if (!doc)
    return;
  doc->ResetIntegration(IntegrationKind::RainRate);
  for (CBigRainIntensityView *view : Views())
    view->OnResetView();
  RefreshRecordTables();
}

void CRainIntensityCtrlPanel::OnHelp() {
  if (doc)
    emit HelpRequested(HelpPages::RAIN_RATE);
}

void CRainIntensityCtrlPanel::OnMain() {
  if (doc)
    window()->close();
}
