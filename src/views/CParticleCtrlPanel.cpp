#include "CParticleCtrlPanel.h"

#include "CBigParticleView.h"
#include "ClassifyDialog.h"
#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "particle/ContourBuilder.h"
#include "statistics/ParticleText.h"

#include <QApplication>
#include <QGridLayout>
#include <QPushButton>

namespace {
const char *const SNOW_MESSAGE = "This function is not available for sno-data.";

// The wait cursor for the length of a scope.
class WaitCursor {
public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor &) = delete;
  WaitCursor &operator=(const WaitCursor &) = delete;
};
} // namespace

CParticleCtrlPanel::CParticleCtrlPanel(CPluvicamDoc *document, UserMessages *userMessages,
                                       QWidget *parent)
    : BigPanel(document, parent), messages(userMessages) {
  setObjectName(QStringLiteral("CParticleCtrlPanel"));
  struct ButtonDef {
    int id;
    const char *text;
    void (CParticleCtrlPanel::*handler)();
    int row, column;
  };
  const ButtonDef defs[] = {
      {IDC_STEP_PLUS, "Step +", &CParticleCtrlPanel::OnStepPlus, 0, 0},
      {IDC_STEP_MINUS, "Step -", &CParticleCtrlPanel::OnStepMinus, 0, 1},
      {IDC_CLASSIFY, "Classify", &CParticleCtrlPanel::OnClassify, 1, 0},
      {IDC_MAIN, "Main", &CParticleCtrlPanel::OnMain, 2, 0},
      {IDC_HELP, "Help", &CParticleCtrlPanel::OnHelp, 2, 1},
      {IDC_ASCII, "Ascii", &CParticleCtrlPanel::OnAscii, 1, 1},
      {IDC_CORRECTION, "Corr - ON", &CParticleCtrlPanel::OnCorrection, 3, 0},
  };
  auto *grid = new QGridLayout(this);
  for (const ButtonDef &d : defs) {
    const bool stepButton = d.id == IDC_STEP_PLUS || d.id == IDC_STEP_MINUS;
    grid->addWidget(
        AddButton(
            d.id, QString::fromLatin1(d.text), [this, d] { (this->*d.handler)(); }, stepButton),
        d.row, d.column);
  }
  grid->setRowStretch(4, 1);
  grid->setColumnStretch(2, 1);
  SetState(IDLE); // Ascii and Corr stay off for snow files
}

void CParticleCtrlPanel::TakeViews(const std::vector<QWidget *> &views) {
  particleViews.clear();
  for (QWidget *w : views)
    if (auto *view = qobject_cast<CBigParticleView *>(w))
      particleViews.push_back(view);
}

void CParticleCtrlPanel::ShowMessage(const std::string &text) {
  if (messages)
    messages->Show(text);
}

void CParticleCtrlPanel::SetState(State newState) {
  state = newState;
  EnableControls();
}

void CParticleCtrlPanel::EnableControls() {
  const bool rain = doc && !doc->IsSno();
  for (int id = IDC_STEP_PLUS; id <= IDC_CORRECTION; ++id) {
    bool on = false;
    switch (state) {
    case IDLE:
      on = (id != IDC_ASCII && id != IDC_CORRECTION) || rain;
      break;
    case STEP_FORWARD:
      on = id == IDC_STEP_PLUS; // the stop button
      break;
    case STEP_BACKWARD:
      on = id == IDC_STEP_MINUS;
      break;
    case COMPUTING:
      break;
    }
    Button(id)->setEnabled(on);
  }
}

void CParticleCtrlPanel::Step(ReadDirection direction) {
  const bool forward = direction == ReadDirection::Next;
  if (state != IDLE) {
    Stop(); // the button is "Stop" now
    return;
  }
  if (!doc || busy)
    return;
  busy = true;
  int status = CPluvicamDoc::statusRejected;
  std::string message;
  CHydData *particle = nullptr;
  {
    WaitCursor wait;
    state = forward ? STEP_FORWARD : STEP_BACKWARD;
    BeginRun(Button(forward ? IDC_STEP_PLUS : IDC_STEP_MINUS));
    stepping = true;

    // Particles the filter passes over go by in slices; between slices the window takes its
    // events, among them the press of "Stop". Backwards from the first particle the file
    // delivers that particle again: a rejected one would be read for ever.
    int32_t lastStart = -1;
    RunInSlices(
        [&] {
          if (!stepping)
            return false;
          particle = doc->ReadHydData(direction, &status, &message);
          if (status != CPluvicamDoc::statusRejected) {
            stepping = false;
          } else if (!forward && particle) {
            const int32_t start = particle->GetHydHeader()->startPos;
            if (lastStart >= 0 && start >= lastStart)
              stepping = false;
            lastStart = start;
          }
          return stepping;
        },
        SLICE_MS);

    if (!particle && status == CPluvicamDoc::statusError)
      ShowMessage(message);
    if (particle && status == CPluvicamDoc::statusAccepted && !doc->IsSno()) {
      SetState(COMPUTING);
      BuildDropContours(*doc, correction != 0);
    }
    state = IDLE;
    EndRun();
  }
  busy = false;
  NotifyViews(false);
}

void CParticleCtrlPanel::NotifyViews(bool correctionSwitched) {
  for (CBigParticleView *view : particleViews) {
    if (correctionSwitched)
      view->OnCorrectionSwitched();
    else
      view->OnNewParticle();
  }
  RefreshRecordTable();
}

void CParticleCtrlPanel::OnCorrection() {
  if (!doc || state != IDLE)
    return;
  if (doc->IsSno()) {
    ShowMessage(SNOW_MESSAGE);
    return;
  }
  correction = correction ? 0 : 1;
  Button(IDC_CORRECTION)
      ->setText(correction ? QStringLiteral("Corr - OFF") : QStringLiteral("Corr - ON"));
  int status = -1;
  if (doc->GetHydData(&status) && status == CPluvicamDoc::statusAccepted) {
    WaitCursor wait;
    SetState(COMPUTING);
    if (correction) {
      // The contours stand as the last step left them: find the shear again and apply it.
      CContour *a = doc->GetContour(Camera::A);
      CContour *b = doc->GetContour(Camera::B);
      if (a && b)
        CorrectContours(*a, *b, *doc->GetHydHeader(), true);
    } else {
      BuildDropContours(*doc, false);
    }
  }
  SetState(IDLE);
  NotifyViews(true);
}

void CParticleCtrlPanel::OnAscii() {
  if (!doc) {
    ShowMessage("CParticleCtrlPanel::OnPartAscii: pDoc = NULL");
    return;
  }
  if (doc->IsSno()) {
    ShowMessage(SNOW_MESSAGE);
    return;
  }
  int status = -1;
  // Only the particle on show; not one the filter passed over before a stop.
  if (!doc->GetHydData(&status) ||
      (status != CPluvicamDoc::statusAccepted && status != CPluvicamDoc::statusBadRecord)) {
    ShowMessage("no valid hyd-data available");
    return;
  }
  std::string block, message;
  if (!BuildParticleText(*doc, &block, &message)) {
    ShowMessage(message);
    return;
  }
  const std::string path = ParticleTextPath(doc->GetFilePath());
  if (AppendParticleText(path, block, doc->GetOutputGuard(), &message))
    ShowMessage("Particle data appended to " + path);
  else
    ShowMessage(message);
}

void CParticleCtrlPanel::OnClassify() {
  if (!doc) {
    ShowMessage("CParticleCtrlPanel::OnPartClassify: document = NULL");
    return;
  }
  if (doc->GetFileState() == CPluvicamDoc::fileReadOnly) {
    ShowMessage("access denied: hyd file is write-protected");
    return;
  }
  int status = -1;
  const HydRecord *record = doc->GetHydHeader(&status);
  // The document writes the class of an accepted particle only; anything else would be a
  // Save that silently does nothing.
  if (!record || status != CPluvicamDoc::statusAccepted) {
    ShowMessage("Error: no valid hyd-data available");
    return;
  }
  ClassifyDialog dialog(this);
  dialog.SetClass(record->dropType <= 6 ? int(record->dropType) : -1);
  if (dialog.exec() != QDialog::Accepted)
    return;
  std::string message;
  if (!doc->SetNewParticleClass(dialog.GetClass(), &message))
    ShowMessage(message);
  RefreshRecordTable();
}
