#pragma once
// A temporary settings store, data files written at test time and recorders of everything the
// document tells views and the user.
#include "ControlId.h"
#include "DocumentRecorder.h"
#include "TinyDay.h"
#include "document/CPluvicamDoc.h"
#include "document/DocumentListener.h"
#include "document/UserMessages.h"
#include "shell/CMainFrame.h"
#include "shell/CPluvicamApp.h"
#include "synth/DayGenerator.h"
#include "synth/HydWriter.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Readable failures for Qt strings.
inline void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace shelltest {

using testday::DAY;
using testday::LINES_PER_SECOND;

// Particles and resets as events, messages apart.
class Recorder : public DocumentRecorder {
public:
  Recorder() : DocumentRecorder(Scope::ParticlesAndResets) {}
};

inline QWidget *PlainPane(Pane, CPluvicamDoc *, QWidget *parent) { return new QWidget(parent); }

// A main header at 06:00 of DAY with the given identification and tiny one-line drops.
inline void WriteTinyDay(const std::string &path, const std::vector<double> &seconds,
                         const char *ident = "d0601.hyd") {
  synth::HydWriter w(4);
  MainHeader header = synth::TypicalMainHeader(DAY + 6 * 3600);
  for (int i = 0; i < MainHeader::IDENT_LENGTH; ++i)
    header.ident[i] = '\0';
  for (int i = 0; ident[i] && i < MainHeader::IDENT_LENGTH; ++i)
    header.ident[i] = ident[i];
  w.AddMainHeader(header);
  for (double s : seconds)
    testday::AddTinyDrop(w, testday::Tim(s));
  const std::string index = path.substr(0, path.rfind('.')) + ".hd";
  w.Write(path, index);
}

// The application with its store in a temporary folder, no splash, plain panes and every
// message recorded.
class AppTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
  }
  void TearDown() override { app.reset(); }

  void Start() {
    app = std::make_unique<CPluvicamApp>(PlainPane, &rec, false);
    ASSERT_TRUE(app->InitInstance());
    frame = app->GetMainFrame();
    doc = app->GetDocument();
    doc->AddListener(&rec);
  }
  QSettings Store() const {
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QStringLiteral("Local AppWizard-Generated Applications"),
                     QStringLiteral("Pluvicam"));
  }
  std::string Path(const char *name) const { return dir.filePath(name).toStdString(); }
  // A few minutes of realistic rain from 06:00 on.
  std::string RainDay(int particles = 150) {
    synth::DayOptions options;
    options.outDir = dir.path().toStdString();
    options.name = "rain";
    options.hours = 0.05;
    options.particles = particles;
    return synth::GenerateDay(options).dataPath;
  }

  QTemporaryDir dir;
  Recorder rec;
  std::unique_ptr<CPluvicamApp> app;
  CMainFrame *frame = nullptr;
  CPluvicamDoc *doc = nullptr;
};

} // namespace shelltest
