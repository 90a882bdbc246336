// Pictures and numbers saved from the enlarged diagrams: everything the screen shows, SVG in
// vectors, and tables equal to the command-line tool's for the same settings.
#include "BigFrameTestSupport.h"
#include "CliRunner.h"
#include "shell/BigPaneFactory.h"
#include "shell/BigPicture.h"
#include "shell/CBigFrame.h"
#include "views/BigPanel.h"
#include "views/CBigDSDView.h"
#include "views/CBigOblView.h"
#include "views/CBigRainIntensityView.h"
#include "views/CBigVVelView.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QXmlStreamReader>
#include <map>
#include <memory>

using namespace viewtest;

namespace {

struct SvgCensus {
  std::map<QString, int> elements;
  QStringList texts;
  bool wellFormed = false;
};

SvgCensus ReadSvg(const QString &path) {
  SvgCensus census;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return census;
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) {
    const auto token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++census.elements[xml.name().toString()];
      if (xml.name() == QLatin1String("text"))
        census.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
  }
  census.wellFormed = !xml.hasError();
  return census;
}

} // namespace

class SaveWhatIsShownTest : public BigFrameTest {
protected:
  void SetUp() override {
    BigFrameTest::SetUp();
    std::vector<synth::RainDrop> drops;
    for (int i = 0; i < 30; ++i) {
      const double d = 0.5 + 0.15 * i;
      drops.push_back(Drop(6 * 3600 + 1 + 7 * i, d, 9.65 - 10.3 * std::exp(-0.6 * d), 0.4 * (i % 5),
                           -0.3 * (i % 4)));
    }
    WriteDay(drops);
    Open();
  }
  // The tool's standard output for `arguments` on the test day.
  std::string Cli(const std::string &arguments) {
    const CliRun run = RunCli(arguments, Path("cli-err.txt"));
    EXPECT_EQ(run.status, 0) << arguments << ": " << ReadWholeFile(Path("cli-err.txt"));
    return run.out;
  }
  std::string Saved(BigDiagramView &view, const char *name) {
    QString error;
    EXPECT_TRUE(view.SaveData(QString::fromStdString(Path(name)), &error)) << error.toStdString();
    return ReadWholeFile(Path(name));
  }
};

TEST_F(SaveWhatIsShownTest, SvgOfTheDotDiagramsIsVectorsWithTheOverlays) {
  auto *vvel = OpenFrame<CBigVVelView>(BigKind::VVel);
  ASSERT_NE(vvel, nullptr);
  frame->Panel()->OnRun();
  vvel->OnToggle(); // the model curves and their legend
  const QString path = QString::fromStdString(Path("vvel.svg"));
  QString error;
  ASSERT_TRUE(vvel->SavePicture(path, &error)) << error.toStdString();
  SvgCensus svg = ReadSvg(path);
  EXPECT_TRUE(svg.wellFormed);
  EXPECT_EQ(svg.elements["image"], 0) << "no embedded bitmap";
  EXPECT_GE(svg.elements["path"] + svg.elements["polyline"], 3) << "dots, axes and curves";
  for (const char *text : {"Vertical Velocity vs. Diameter", "m/s", "mm", "Gunn & Kinzer"})
    EXPECT_TRUE(svg.texts.contains(QString::fromUtf8(text))) << text;

  // Picture mode writes the same vector picture of the frame's diagram.
  const QString modePath = QString::fromStdString(Path("mode.svg"));
  ASSERT_TRUE(bigpicture::Save(frame.get(), modePath, doc.GetOutputGuard(), error))
      << error.toStdString();
  SvgCensus mode = ReadSvg(modePath);
  EXPECT_EQ(mode.elements["image"], 0);
  EXPECT_EQ(mode.elements, svg.elements);
  EXPECT_EQ(mode.texts, svg.texts);
  // And never onto the data.
  EXPECT_FALSE(bigpicture::Save(frame.get(), QString::fromStdString(Path("day1.hd")),
                                doc.GetOutputGuard(), error));
}

TEST_F(SaveWhatIsShownTest, PngHoldsWhatTheScreenShowsAtOneOrTwiceTheSize) {
  auto *obl = OpenFrame<CBigOblView>(BigKind::Obl);
  ASSERT_NE(obl, nullptr);
  frame->Panel()->OnRun();
  obl->OnToggleComp();
  obl->OnToggleGrid();
  const QImage screen = obl->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_NE(screen, obl->Image()) << "the models and marks lie over the kept picture";
  const QString path = QString::fromStdString(Path("obl.png"));
  QString error;
  ASSERT_TRUE(obl->SavePicture(path, &error)) << error.toStdString();
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), screen);
  obl->CopyPicture();
  EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), screen);

  ASSERT_TRUE(obl->SavePicture(path, &error, 2)) << error.toStdString();
  const QImage print(path);
  EXPECT_EQ(print.size(), screen.size() * 2);
  // Each dot of the screen covers its doubled place.
  int dotsChecked = 0;
  for (const DiagramDot &dot : obl->Dots().All()) {
    const QPoint at = obl->DevicePixel(QPointF(dot.at.x, dot.at.y));
    EXPECT_EQ(QColor(screen.pixel(at)), QColor(Qt::black));
    EXPECT_EQ(CountColour(print, QRect(2 * at, QSize(2, 2)), QColor(Qt::black)), 4) << dot.diameter;
    ++dotsChecked;
  }
  EXPECT_GT(dotsChecked, 0);
}

TEST_F(SaveWhatIsShownTest, SavedDataEqualsTheToolsOutput) {
  // The dots: every particle's row, as `particles` lists it.
  auto *vvel = OpenFrame<CBigVVelView>(BigKind::VVel);
  ASSERT_NE(vvel, nullptr);
  frame->Panel()->OnRun();
  const auto dots = CsvRows(TextLines(Saved(*vvel, "dots.csv")));
  const auto particles = CsvRows(TextLines(Cli("particles " + Path("day1.hyd"))));
  ASSERT_EQ(dots.size(), 30u);
  ASSERT_EQ(dots.size(), particles.size());
  for (size_t i = 0; i < dots.size(); ++i)
    for (const auto &[mine, theirs] :
         std::map<std::string, std::string>{{"position", "startPos"},
                                            {"tim", "tim"},
                                            {"time", "time"},
                                            {"diameter", "diameter"},
                                            {"velocity", "velocity"},
                                            {"oblateness", "oblateness"}})
      EXPECT_EQ(dots[i].at(mine), particles[i].at(theirs)) << i << " " << mine;

  // The oblateness distribution, as `shape` counts it.
  frame.reset();
  auto *obl = OpenFrame<CBigOblView>(BigKind::Obl);
  ASSERT_NE(obl, nullptr);
  frame->Panel()->OnRun();
  obl->OnToggleMode();
  EXPECT_EQ(Saved(*obl, "shape.csv"), Cli("shape " + Path("day1.hyd")));

  // The rain rate's steps, as `rainrate` gives them.
  frame.reset();
  auto *rain = OpenFrame<CBigRainIntensityView>(BigKind::RainRate);
  ASSERT_NE(rain, nullptr);
  frame->Panel()->OnRun();
  EXPECT_EQ(Saved(*rain, "rain.csv"), Cli("rainrate --no-gauge " + Path("day1.hyd")));

  // The drop size distribution of the whole window, as `dsd` computes it.
  frame.reset();
  doc.GetIntegrationSettings(IntegrationKind::Dsd).mode = IntegrationMode::FullTimeRange;
  auto *dsd = OpenFrame<CBigDSDView>(BigKind::Dsd);
  ASSERT_NE(dsd, nullptr);
  frame->Panel()->OnRun();
  EXPECT_EQ(Saved(*dsd, "dsd.csv"), Cli("dsd --mode full --moments " + Path("day1.hyd")));

  // Nothing is written over the data.
  QString error;
  EXPECT_FALSE(dsd->SaveData(QString::fromStdString(Path("day1.hyd")), &error));
  EXPECT_TRUE(error.contains("day1.hyd")) << error.toStdString();
}
