#include "CDSDCtrlPanel.h"

#include "CBigDSDView.h"
#include "CBigInfoView.h"
#include "DsdExport.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DsdIntegration.h"
#include "statistics/DsdMoments.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>

namespace {
// The class widths that Delta + and Delta - step through.
constexpr float DELTAS[] = {0.05f, 0.1f, 0.15f, 0.2f, 0.25f};
constexpr int DELTA_COUNT = int(sizeof DELTAS / sizeof DELTAS[0]);

int DeltaIndex(float deltaD) {
  for (int i = 0; i < DELTA_COUNT; ++i)
    if (DELTAS[i] == deltaD)
      return i;
  return -1;
}
} // namespace

CDSDCtrlPanel::CDSDCtrlPanel(CPluvicamDoc *doc, QWidget *parent)
    : BigPanel(doc, parent), messages(doc) {
  setObjectName(QStringLiteral("CDSDCtrlPanel"));
  dialog.SetMessages(&messages);
  struct Def {
    int id;
    const char *text;
    void (CDSDCtrlPanel::*handler)();
  };
  // Three columns, in the order of the form.
  const Def defs[] = {
      {IDC_RUN, "Run", &CDSDCtrlPanel::OnRun},
      {IDC_DELTA_PLUS, "Delta + ", &CDSDCtrlPanel::OnDeltaPlus},
      {IDC_COMP, "Comp", &CDSDCtrlPanel::OnComp},
      {IDC_MAIN, "Main", &CDSDCtrlPanel::OnMain},
      {IDC_DELTA_MINUS, "Delta - ", &CDSDCtrlPanel::OnDeltaMinus},
      {IDC_DEFAULT, "Default", &CDSDCtrlPanel::OnDefault},
      {IDC_HELP, "Help", &CDSDCtrlPanel::OnHelp},
      {IDC_INTEGRATE, "Integrate", &CDSDCtrlPanel::OnIntegrate},
      {IDC_RESET_TIME, "Reset Time", &CDSDCtrlPanel::OnResetTime},
      {IDC_EXPORT, "Export\u2026", &CDSDCtrlPanel::OnExport},
  };
  auto *grid = new QGridLayout(this);
  int i = 0;
  for (const Def &d : defs) {
    QPushButton *button = AddButton(
        d.id, QString::fromUtf8(d.text), [this, d] { (this->*d.handler)(); }, d.id == IDC_RUN);
    grid->addWidget(button, i / 3, i % 3);
    ++i;
  }
}

CBigDSDView *CDSDCtrlPanel::View() const { return qobject_cast<CBigDSDView *>(diagram); }

void CDSDCtrlPanel::ShowFigures() {
  if (recordTable)
    if (CBigDSDView *view = View()) {
      const DsdInterval &last = view->LastInterval();
      if (last.success && last.normalised)
        recordTable->SetDsdMoments(
            DsdMoments::Of(last.classes.data(), last.geometry.count, last.deltaD));
      else
        recordTable->ClearDsdMoments();
    }
  RefreshRecordTable();
}

void CDSDCtrlPanel::OnDeltaPlus() {
  if (!doc)
    return;
  IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::Dsd);
  const int i = DeltaIndex(s.deltaD);
  if (i >= 0 && i + 1 < DELTA_COUNT)
    s.deltaD = DELTAS[i + 1];
  RefreshRecordTable();
}

void CDSDCtrlPanel::OnDeltaMinus() {
  if (!doc)
    return;
  IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::Dsd);
  const int i = DeltaIndex(s.deltaD);
  if (i < 0)
    s.deltaD = 0.25f;
  else if (i > 0)
    s.deltaD = DELTAS[i - 1];
  RefreshRecordTable();
}

void CDSDCtrlPanel::OnIntegrate() {
  if (!doc)
    return;
  IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::Dsd);
  dialog.SetAllModesAllowed(true);
  dialog.SetMode(s.mode);
  dialog.SetRain(s.rainInterval);
  dialog.SetTime(s.timeInterval);
  dialog.SetDrops(s.dropCount);
  if (dialog.exec() == QDialog::Accepted) {
    s.mode = dialog.GetMode();
    s.rainInterval = dialog.GetRain();
    s.timeInterval = dialog.GetTime();
    s.dropCount = dialog.GetDrops();
  }
  RefreshRecordTable();
}

void CDSDCtrlPanel::OnComp() {
  if (!doc)
    return;
  if (CBigDSDView *view = View())
    view->OnToggle();
}

void CDSDCtrlPanel::OnDefault() {
  if (!doc)
    return;
  doc->ResetIntegration(IntegrationKind::Dsd);
  if (CBigDSDView *view = View())
    view->Reset();
  RefreshRecordTable();
}

void CDSDCtrlPanel::OnResetTime() {
  if (!doc)
    return;
  doc->ResetData();
  doc->GetIntegrationSettings(IntegrationKind::Dsd).result = 0;
  // The interval record is cleared and ends at the window's start, as when the frame opened.
  DsdIntegration::OpenAtWindowStart(*doc);
  if (CBigDSDView *view = View())
    view->Reset();
  RefreshRecordTable();
}

void CDSDCtrlPanel::OnExport() {
  if (!doc || !doc->HasHydFile())
    return;
  const QFileInfo data(QString::fromStdString(doc->GetFilePath()));
  QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Export"),
      QFileInfo(data.absolutePath(), data.completeBaseName() + QStringLiteral("_dsd.nc"))
          .filePath(),
      QStringLiteral("netCDF files (*.nc)"));
  if (path.isEmpty())
    return;
  if (QFileInfo(path).suffix().isEmpty())
    path += QStringLiteral(".nc");
  QString error;
  if (!ExportTo(path, &error) && !error.isEmpty())
    messages.Show(error.toStdString());
}

bool CDSDCtrlPanel::ExportTo(const QString &path, QString *error) {
  if (!doc)
    return false;
  const DsdExportResult r = ExportDsdProduct(*doc, path, window());
  if (error)
    *error = r.error;
  if (r.written) {
    // A file that was written but whose reading stopped early says so too.
    QString text = QStringLiteral("Drop size distribution written to %1 (%2 intervals)")
                       .arg(path)
                       .arg(r.intervals);
    if (!r.error.isEmpty())
      text += QLatin1Char('\n') + r.error;
    messages.Show(text.toStdString());
  }
  return r.written;
}
