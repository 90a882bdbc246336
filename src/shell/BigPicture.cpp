#include "BigPicture.h"

#include "CBigFrame.h"
#include "CMainFrame.h"
#include "CPluvicamApp.h"
#include "views/BigDiagramView.h"
#include "views/CDSDCtrlPanel.h"
#include "views/CHVelCtrlPanel.h"
#include "views/COblCtrlPanel.h"
#include "views/CParticleCtrlPanel.h"
#include "views/CRainIntensityCtrlPanel.h"
#include "views/CVVelCtrlPanel.h"
#include "views/DiagramPicture.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QPainter>
#include <QStringList>
#include <functional>
#include <vector>

namespace bigpicture {
namespace {

struct Entry {
  const char *name;
  BigKind kind;
  // Presses the frame's buttons; an error text stops the picture.
  std::function<QString(CBigFrame &, const QCommandLineParser &)> press;
};

QString PressDropView(CBigFrame &frame, const QCommandLineParser &parser) {
  auto *panel = qobject_cast<CParticleCtrlPanel *>(frame.Panel());
  if (!panel)
    return QStringLiteral("the drop view has no particle panel");
  if (parser.value(QStringLiteral("correction")) == QLatin1String("on"))
    panel->OnCorrection();
  const int steps = parser.value(QStringLiteral("big-steps")).toInt();
  for (int i = 0; i < steps; ++i)
    panel->OnStepPlus();
  return {};
}

// The velocity and oblateness diagrams: Comp and Grid as asked, then Run through the window.
QString PressVVel(CBigFrame &frame, const QCommandLineParser &parser) {
  auto *panel = qobject_cast<CVVelCtrlPanel *>(frame.Panel());
  if (!panel)
    return QStringLiteral("the vertical velocity diagram has no panel");
  if (parser.isSet(QStringLiteral("comp")))
    panel->OnComp();
  panel->OnRun();
  return {};
}

QString PressHVel(CBigFrame &frame, const QCommandLineParser &) {
  auto *panel = qobject_cast<CHVelCtrlPanel *>(frame.Panel());
  if (!panel)
    return QStringLiteral("the horizontal velocity diagram has no panel");
  panel->OnRun();
  return {};
}

QString PressObl(CBigFrame &frame, const QCommandLineParser &parser, bool distribution) {
  auto *panel = qobject_cast<COblCtrlPanel *>(frame.Panel());
  if (!panel)
    return QStringLiteral("the oblateness diagram has no panel");
  if (distribution) {
    panel->OnToggleMode();
  } else {
    if (parser.isSet(QStringLiteral("comp")))
      panel->OnComp();
    if (parser.isSet(QStringLiteral("grid")))
      panel->OnGrid();
  }
  panel->OnRun();
  return {};
}

QString PressRainRate(CBigFrame &frame, const QCommandLineParser &parser) {
  auto *panel = qobject_cast<CRainIntensityCtrlPanel *>(frame.Panel());
  if (!panel)
    return QStringLiteral("the rain rate has no control panel");
  panel->OnRun(); // returns when the run has ended
  if (parser.isSet(QStringLiteral("tip")))
    panel->OnTip();
  return {};
}

QString PressDsd(CBigFrame &frame, const QCommandLineParser &parser) {
  auto *panel = qobject_cast<CDSDCtrlPanel *>(frame.Panel());
  if (!panel)
    return QStringLiteral("the drop size distribution has no control panel");
  // Each press returns when its interval has been computed.
  const int runs = parser.value(QStringLiteral("big-runs")).toInt();
  for (int i = 0; i < runs; ++i)
    panel->OnRun();
  if (parser.isSet(QStringLiteral("comp")))
    panel->OnComp();
  return {};
}

const std::vector<Entry> &Entries() {
  static const std::vector<Entry> entries = {
      {"rain-rate", BigKind::RainRate, PressRainRate},
      {"dsd", BigKind::Dsd, PressDsd},
      {"drop", BigKind::DropView, PressDropView},
      {"vvel", BigKind::VVel, PressVVel},
      {"hvel", BigKind::HVel, PressHVel},
      {"obl", BigKind::Obl,
       [](CBigFrame &f, const QCommandLineParser &p) { return PressObl(f, p, false); }},
      {"obl-dist", BigKind::Obl,
       [](CBigFrame &f, const QCommandLineParser &p) { return PressObl(f, p, true); }},
  };
  return entries;
}

const Entry *Find(const QString &name) {
  for (const Entry &e : Entries())
    if (name == QLatin1String(e.name))
      return &e;
  return nullptr;
}

QString Names() {
  QStringList names;
  for (const Entry &e : Entries())
    names << QLatin1String(e.name);
  return names.join(QStringLiteral(", "));
}

} // namespace

void AddOptions(QCommandLineParser &parser) {
  parser.addOption({QStringLiteral("big"),
                    QStringLiteral("open an enlarged frame after the steps and take the picture "
                                   "of it: %1")
                        .arg(Names()),
                    QStringLiteral("NAME")});
  parser.addOption({QStringLiteral("big-steps"),
                    QStringLiteral("drop view: Step + presses (default 1)"), QStringLiteral("N"),
                    QStringLiteral("1")});
  parser.addOption(
      {QStringLiteral("grid"), QStringLiteral("obl: press Grid (the calibration marks)")});
  parser.addOption({QStringLiteral("correction"),
                    QStringLiteral("drop view: the symmetric correction on or off (default off)"),
                    QStringLiteral("on|off"), QStringLiteral("off")});
  parser.addOption({QStringLiteral("tip"), QStringLiteral("rain rate: also the gauge's curve")});
  parser.addOption({QStringLiteral("big-runs"),
                    QStringLiteral("dsd: Run presses, each one interval (default 1)"),
                    QStringLiteral("N"), QStringLiteral("1")});
  parser.addOption({QStringLiteral("comp"),
                    QStringLiteral("dsd: press Comp after the runs (the model distributions); "
                                   "vvel, obl: press Comp before the run (the model curves)")});
}

bool Requested(const QCommandLineParser &parser) { return parser.isSet(QStringLiteral("big")); }

QString CheckOptions(const QCommandLineParser &parser) {
  if (!Requested(parser))
    return {};
  if (!Find(parser.value(QStringLiteral("big"))))
    return QStringLiteral("--big needs one of: %1").arg(Names());
  bool ok = false;
  const int steps = parser.value(QStringLiteral("big-steps")).toInt(&ok);
  if (!ok || steps < 0)
    return QStringLiteral("--big-steps needs a whole number of 0 or more");
  const int runs = parser.value(QStringLiteral("big-runs")).toInt(&ok);
  if (!ok || runs < 0)
    return QStringLiteral("--big-runs needs a whole number of 0 or more");
  const QString correction = parser.value(QStringLiteral("correction"));
  if (correction != QLatin1String("on") && correction != QLatin1String("off"))
    return QStringLiteral("--correction needs on or off");
  return {};
}

QWidget *Prepare(CPluvicamApp &app, const QCommandLineParser &parser, QString &error) {
  const Entry *entry = Find(parser.value(QStringLiteral("big")));
  CMainFrame *main = app.GetMainFrame();
  if (!entry || !main) {
    error = QStringLiteral("no such enlarged frame");
    return nullptr;
  }
  main->OpenBigFrame(CBigFrame::TitleWord(entry->kind), entry->kind);
  CBigFrame *frame = main->GetBigFrame();
  if (!frame) {
    error = QStringLiteral("the enlarged frame did not open (is a file open?)");
    return nullptr;
  }
  error = entry->press(*frame, parser);
  return error.isEmpty() ? frame : nullptr;
}

bool Save(QWidget *subject, const QString &path, const OutputGuard &guard, QString &error) {
  const bool svg = QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
  if (!svg) {
    if (!subject->grab().save(path)) {
      error = QStringLiteral("could not write %1").arg(path);
      return false;
    }
    return true;
  }
  diagrampicture::Scene scene;
  auto *frame = qobject_cast<CBigFrame *>(subject);
  if (BigDiagramView *diagram = frame ? frame->Diagram() : nullptr) {
    scene = diagram->PictureScene();
  } else {
    // A window without a diagram of its own: as it paints itself.
    scene = {subject->size(), [subject](QPainter &p) { subject->render(&p); }};
  }
  if (!diagrampicture::Save(scene, path, 1, guard, &error)) {
    error[0] = error[0].toLower();
    return false;
  }
  return true;
}

} // namespace bigpicture
