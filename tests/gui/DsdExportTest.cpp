// The enlarged drop size distribution's Export: the command-line product, from the window.
#include "../core/NetcdfTestSupport.h"
#include "ViewTestSupport.h"
#include "document/CHydDataHandler.h"
#include "synth/DayGenerator.h"
#include "views/CDSDCtrlPanel.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace viewtest;

class DsdExportTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    synth::DayOptions options;
    options.outDir = dir.string();
    options.name = "day1";
    options.seed = 5;
    options.hours = 1;
    synth::GenerateDay(options);
    Open();
    doc.ResetIntegration(IntegrationKind::Dsd);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(dir))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(DsdExportTest, WritesTheCommandLinesProductAndLeavesTheViewAlone) {
  CDSDCtrlPanel panel(&doc);
  ASSERT_NE(panel.Button(CDSDCtrlPanel::IDC_EXPORT), nullptr);
  EXPECT_EQ(panel.Button(CDSDCtrlPanel::IDC_EXPORT)->text(), QStringLiteral("Export\u2026"));
  ASSERT_EQ(Step(), 0);
  const int32_t position = doc.GetHandler()->GetHydFile().GetPosition();

  const std::string gui = Path("gui.nc");
  QString error;
  ASSERT_TRUE(panel.ExportTo(QString::fromStdString(gui), &error)) << error.toStdString();
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();
  EXPECT_EQ(doc.GetHandler()->GetHydFile().GetPosition(), position) << "the view reads on";
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0].rfind("Drop size distribution written to " + gui + " (", 0), 0u)
      << messages.texts[0];

  int status = 0;
  const std::string cli = Path("cli.nc");
  CaptureOutput(std::string(PLUVICAM_CLI) + " dsd " + Path("day1.hyd") + " --moments --netcdf " +
                    cli + " 2>&1",
                status);
  ASSERT_EQ(status, 0);
  NcFile a(gui), b(cli);
  ASSERT_TRUE(a.Ok() && b.Ok());
  EXPECT_GT(a.Dim("time"), 50);
  for (const char *name : {"time", "time_bnds", "diameter_bin_center"})
    EXPECT_EQ(a.Doubles(name), b.Doubles(name)) << name;
  for (const char *name : {"drop_number_concentration", "R", "P", "Nt", "Z", "D50", "Lambda"})
    EXPECT_EQ(a.Floats(name), b.Floats(name)) << name;
  EXPECT_EQ(a.Ints("N"), b.Ints("N"));
  EXPECT_EQ(a.Text("", "integration_mode"), "time");
  ExpectXarrayOpensCleanly(gui);
}

TEST_F(DsdExportTest, ACancelledExportLeavesNoFile) {
  CDSDCtrlPanel panel(&doc);
  const auto before = Files();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    if (auto *progress = panel.findChild<QProgressDialog *>(QStringLiteral("exportProgress"))) {
      seen = true;
      progress->cancel();
    }
  });
  QString error = QStringLiteral("unset");
  EXPECT_FALSE(panel.ExportTo(QString::fromStdString(Path("cancelled.nc")), &error));
  EXPECT_TRUE(seen);
  EXPECT_TRUE(error.isEmpty()) << "a cancel is no failure: " << error.toStdString();
  EXPECT_EQ(Files(), before);

  // Where nothing can be written, the user is told and nothing is left either.
  const QString nowhere = QString::fromStdString(Path("no-such-folder/x.nc"));
  EXPECT_FALSE(panel.ExportTo(nowhere, &error));
  EXPECT_TRUE(error.contains(nowhere)) << error.toStdString();
  EXPECT_EQ(Files(), before);
}

TEST_F(DsdExportTest, NeitherTheDataNorAFullDiskEndBadly) {
  CDSDCtrlPanel panel(&doc);
  const std::string data = ReadWholeFile(Path("day1.hyd"));
  const std::string wind = ReadWholeFile(Path("day1.wd"));
  const auto before = Files();
  QString error;
  for (const char *target : {"day1.hyd", "day1.wd"}) {
    EXPECT_FALSE(panel.ExportTo(QString::fromStdString(Path(target)), &error)) << target;
    EXPECT_TRUE(error.contains(QStringLiteral(" that this run reads"))) << error.toStdString();
  }
  EXPECT_EQ(ReadWholeFile(Path("day1.hyd")), data);
  EXPECT_EQ(ReadWholeFile(Path("day1.wd")), wind);

  // A file system with room for a few blocks only: the write fails with EFBIG instead of a
  // signal, the user is told, no file is left, and the process lives on.
  struct sigaction ignore {
  }, old{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &old);
  rlimit limits{};
  getrlimit(RLIMIT_FSIZE, &limits);
  rlimit small = limits;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  const bool written = panel.ExportTo(QString::fromStdString(Path("full.nc")), &error);
  setrlimit(RLIMIT_FSIZE, &limits);
  sigaction(SIGXFSZ, &old, nullptr);
  EXPECT_FALSE(written);
  EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();
  EXPECT_EQ(Files(), before);
}
