// pluvicam: the desktop viewer. `pluvicam FILE` opens FILE as File ▸ Open would;
// `--screenshot OUT.png` with `--steps N` or `--run` saves a picture of the main window and ends;
// `--size WxH` chooses the window's size for it, `--fast` makes that run a fast one; with
// `--big NAME` the picture is of an enlarged frame opened after that.
#include "BigPaneFactory.h"
#include "BigPicture.h"
#include "CMainCtrlPanel.h"
#include "CMainFrame.h"
#include "CPluvicamApp.h"
#include "PluvicamVersion.h"
#include "data/OutputGuard.h"
#include "document/CPluvicamDoc.h"
#include "document/UserMessages.h"
#include "views/Pane.h"
#include "views/SmallViewFactory.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace {

bool HasDisplay() {
  auto set = [](const char *name) {
    const char *v = std::getenv(name);
    return v && *v;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// In picture mode nobody can press OK: messages go to standard error.
class StderrMessages : public UserMessages {
public:
  void Show(const std::string &text) override { std::cerr << "pluvicam: " << text << '\n'; }
};

} // namespace

int main(int argc, char **argv) {
  // Answered before the display check: a machine without one may well ask.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--version") {
      std::printf("pluvicam %s\n", pluvicam::VERSION);
      return 0;
    }
  }
  if (!HasDisplay()) {
    std::fprintf(stderr, "pluvicam: no display (DISPLAY and WAYLAND_DISPLAY are unset); run "
                         "'xvfb-run -a pluvicam FILE --screenshot OUT.png' for a picture, or use "
                         "pluvicam-cli for text output\n");
    return 2;
  }
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pluvicam"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Viewer of two-camera precipitation recordings"));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("a .hyd, .pix or .sno file"));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("save a picture of the main window and quit; with --big "
                     "and a name ending in .svg, the diagram "
                     "in vectors"),
      QStringLiteral("OUT.png"));
  const QCommandLineOption steps(QStringLiteral("steps"),
                                 QStringLiteral("Step + presses before the picture (default 1)"),
                                 QStringLiteral("N"), QStringLiteral("1"));
  const QCommandLineOption run(
      QStringLiteral("run"),
      QStringLiteral("run to the end of the time window before the picture"));
  const QCommandLineOption fast(
      QStringLiteral("fast"),
      QStringLiteral("with --run: a fast run, the views shown about 60 times a second"));
  const QCommandLineOption noSplash(QStringLiteral("nosplash"),
                                    QStringLiteral("start without the splash picture"));
  const QCommandLineOption windowSize(
      QStringLiteral("size"), QStringLiteral("window size of the picture (default 1400x900)"),
      QStringLiteral("WxH"), QStringLiteral("1400x900"));
  parser.addOptions({screenshot, steps, run, fast, noSplash, windowSize});
  bigpicture::AddOptions(parser);
  parser.process(qtApp);

  const QStringList files = parser.positionalArguments();
  const bool pictureMode = parser.isSet(screenshot);
  if (pictureMode && files.isEmpty()) {
    std::fprintf(stderr, "pluvicam: --screenshot needs a FILE\n");
    return 2;
  }
  bool stepsOk = false;
  const int stepCount = parser.value(steps).toInt(&stepsOk);
  if (!stepsOk || stepCount < 0) {
    std::fprintf(stderr, "pluvicam: --steps needs a whole number of 0 or more\n");
    return 2;
  }

  const QStringList sizeParts = parser.value(windowSize).split(QLatin1Char('x'));
  bool widthOk = false, heightOk = false;
  const int width = sizeParts.size() == 2 ? sizeParts[0].toInt(&widthOk) : 0;
  const int height = sizeParts.size() == 2 ? sizeParts[1].toInt(&heightOk) : 0;
  if (!widthOk || !heightOk || width < 100 || height < 100 || width > 10000 || height > 10000) {
    std::fprintf(stderr, "pluvicam: --size needs WIDTHxHEIGHT in pixels, 100 to 10000 each\n");
    return 2;
  }
  if (const QString bad = bigpicture::CheckOptions(parser); !bad.isEmpty()) {
    std::fprintf(stderr, "pluvicam: %s\n", qPrintable(bad));
    return 2;
  }
  if (bigpicture::Requested(parser) && !pictureMode) {
    std::fprintf(stderr, "pluvicam: --big needs --screenshot\n");
    return 2;
  }
  // The picture never lands on the file it shows nor on the files beside it.
  OutputGuard guard;
  if (pictureMode)
    guard.AddDataFile(QFile::encodeName(files.first()).toStdString());
  auto refusal = [&] {
    return guard.Check(QFile::encodeName(parser.value(screenshot)).toStdString());
  };
  if (pictureMode && !refusal().empty()) {
    std::fprintf(stderr, "pluvicam: could not write %s: %s\n", qPrintable(parser.value(screenshot)),
                 refusal().c_str());
    return 2;
  }

  StderrMessages stderrMessages;
  CPluvicamApp app(CreateSmallView, pictureMode ? &stderrMessages : nullptr,
                   !pictureMode && !parser.isSet(noSplash));
  if (!app.InitInstance())
    return 1;
  // The gauge's size per tip is a stored setting.
  app.GetMainFrame()->SetBigPaneFactory(
      BigPanesWithTipSize([&app] { return app.GetStoredFilter().tipSize; }));

  // A picture only reads the file.
  if (!files.isEmpty() && !app.OpenFile(files.first(), pictureMode) && pictureMode)
    return 1;

  if (!pictureMode)
    return qtApp.exec();

  CMainFrame *frame = app.GetMainFrame();
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  frame->resize(width, height);
  // A picture does not depend on the stored choice, nor changes it.
  frame->SetFastRun(parser.isSet(fast), false);
  if (parser.isSet(run)) {
    // The run ends at the end of the window or file; wait for it to stop.
    QEventLoop untilStopped;
    QObject::connect(&frame->Runner(), &RunController::RunStateChanged, &untilStopped,
                     [&](bool running) {
                       if (!running)
                         untilStopped.quit();
                     });
    panel->OnRun();
    if (!panel->IsStopped())
      untilStopped.exec();
  } else {
    for (int i = 0; i < stepCount; ++i)
      panel->OnStepPlus();
  }
  QWidget *subject = frame;
  if (bigpicture::Requested(parser)) {
    QString error;
    subject = bigpicture::Prepare(app, parser, error);
    if (!subject) {
      std::fprintf(stderr, "pluvicam: %s\n", qPrintable(error));
      return 1;
    }
  }
  QApplication::processEvents(); // pending layouts and repaints before the picture
  const QString out = parser.value(screenshot);
  if (const std::string refused = refusal(); !refused.empty()) {
    std::fprintf(stderr, "pluvicam: could not write %s: %s\n", qPrintable(out), refused.c_str());
    return 2;
  }
  if (QString error; !bigpicture::Save(subject, out, guard, error)) {
    std::fprintf(stderr, "pluvicam: %s\n", qPrintable(error));
    return 1;
  }
  std::printf("%s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
  return 0;
}
