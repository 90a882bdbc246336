#include "CRainIntensityCtrlPanel.h"

#include "CBigRainIntensityView.h"
#include "CIntegrationDlg.h"
#include "document/CPluvicamDoc.h"

#include <QGridLayout>
#include <QPushButton>

CRainIntensityCtrlPanel::CRainIntensityCtrlPanel(CPluvicamDoc *doc, QWidget *parent)
    : BigPanel(doc, parent), messages(doc), dialog(std::make_unique<CIntegrationDlg>()) {
  setObjectName(QStringLiteral("141"));
  dialog->SetMessages(&messages);
  auto *grid = new QGridLayout(this);
  struct Def {
    int id;
    const char *text;
    int row, column;
    void (CRainIntensityCtrlPanel::*action)();
  };
  const Def defs[] = {
      {IDC_RUN, "Run", 0, 0, &CRainIntensityCtrlPanel::OnRun},
      {IDC_SCALE_DOWN, "Scale <", 0, 1, &CRainIntensityCtrlPanel::OnScaleDown},
      {IDC_TIP, "Tip", 0, 2, &CRainIntensityCtrlPanel::OnTip},
      {IDC_SCALE_UP, "Scale >", 0, 3, &CRainIntensityCtrlPanel::OnScaleUp},
      {IDC_MAIN, "Main", 1, 0, &CRainIntensityCtrlPanel::OnMain},
      {IDC_DEFAULT, "Default", 1, 1, &CRainIntensityCtrlPanel::OnDefault},
      {IDC_HELP, "Help", 1, 2, &CRainIntensityCtrlPanel::OnHelp},
      {IDC_INTEGRATE, "Integrate", 1, 3, &CRainIntensityCtrlPanel::OnIntegrate},
  };
  for (const Def &d : defs)
    grid->addWidget(
        AddButton(
            d.id, QString::fromLatin1(d.text), [this, d] { (this->*d.action)(); }, d.id == IDC_RUN),
        d.row, d.column);
}

CRainIntensityCtrlPanel::~CRainIntensityCtrlPanel() = default;

CBigRainIntensityView *CRainIntensityCtrlPanel::View() const {
  return qobject_cast<CBigRainIntensityView *>(diagram);
}

void CRainIntensityCtrlPanel::OnScaleUp() {
  if (CBigRainIntensityView *view = doc ? View() : nullptr)
    view->OnScaleUp();
}

void CRainIntensityCtrlPanel::OnScaleDown() {
  if (CBigRainIntensityView *view = doc ? View() : nullptr)
    view->OnScaleDown();
}

void CRainIntensityCtrlPanel::OnTip() {
  if (CBigRainIntensityView *view = doc ? View() : nullptr)
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
  RefreshRecordTable();
}

void CRainIntensityCtrlPanel::OnDefault() {
  if (!doc)
    return;
  doc->ResetIntegration(IntegrationKind::RainRate);
  if (CBigRainIntensityView *view = View())
    view->Reset();
  RefreshRecordTable();
}
