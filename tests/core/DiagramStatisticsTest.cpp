// The arithmetic of the enlarged velocity and oblateness diagrams and of the calibration file.
#include "TestFiles.h"
#include "particle/CHydData.h"
#include "statistics/CalibrationExport.h"
#include "statistics/CalibrationSelection.h"
#include "statistics/HorizontalVelocityPlot.h"
#include "statistics/OblatenessHistogram.h"
#include "statistics/OblatenessPlot.h"
#include "statistics/VerticalVelocityPlot.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace vv = VerticalVelocityPlot;
namespace op = OblatenessPlot;

TEST(VerticalVelocityPlotTest, DotsAndLabelsAtEachScale) {
  EXPECT_EQ(vv::Dot(3.0f, 8.0f, 1), (PlotPoint{3000, 8000}));
  EXPECT_EQ(vv::Dot(3.0f, 8.0f, 2), (PlotPoint{1500, 4000}));
  EXPECT_EQ(vv::Dot(3.0f, 8.0f, 5), (PlotPoint{600, 1600}));
  // The velocity of particles without a plane delay lies above the window at every scale
  // (the window's top is y 13200); it must not wrap round into the plot.
  for (int s : {1, 2, 5})
    EXPECT_GT(vv::Dot(1.0f, 100.0f, s).y, 13200) << s;
  EXPECT_GT(vv::Dot(1.0f, 70.0f, 1).y, 13200);

  std::vector<int> diameters, velocities;
  for (int x = 0; x <= vv::PLOT_X; x += 1000)
    diameters.push_back(vv::AxisLabel(x, 2));
  for (int y = 0; y <= vv::PLOT_Y; y += 1000)
    velocities.push_back(vv::AxisLabel(y, 2));
  EXPECT_EQ(diameters, (std::vector<int>{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}));
  EXPECT_EQ(velocities, (std::vector<int>{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24}));
  EXPECT_EQ(vv::AxisLabel(10000, 5), 50);
  EXPECT_EQ(vv::AxisLabel(3000, 5), 15);
  EXPECT_EQ(vv::AxisLabel(7000, 1), 7);
}

TEST(VerticalVelocityPlotTest, GunnKinzerCurves) {
  const auto formula5 = vv::FormulaCurve(5);
  EXPECT_EQ(formula5.front(), (PlotPoint{0, 0}));
  EXPECT_EQ(formula5.back().x, 10000) << "50 mm at 200 units per mm";
  EXPECT_EQ(formula5.size(), 1002u);
  const auto formula1 = vv::FormulaCurve(1);
  EXPECT_EQ(formula1.back().x, 10000);
  EXPECT_LT(formula1[1].y, 0) << "negative below 0.109 mm";
  EXPECT_EQ(formula1[21], (PlotPoint{1000, int(1000 * (9.65 - 10.3 * std::exp(-0.6)))}));

  const auto measured = vv::MeasuredCurve(5);
  ASSERT_EQ(measured.size(), 26u);
  EXPECT_EQ(measured.front(), (PlotPoint{20, 54}));
  EXPECT_EQ(measured.back(), (PlotPoint{1300, 1836}));
  EXPECT_EQ(vv::MeasuredCurve(1)[9], (PlotPoint{1000, 4030}));
}

TEST(HorizontalVelocityPlotTest, CameraBPointsDown) {
  EXPECT_EQ(HorizontalVelocityPlot::Dot(2.5f, 1.0f), (PlotPoint{250, -100}));
  EXPECT_EQ(HorizontalVelocityPlot::Dot(-1.0f, -0.5f), (PlotPoint{-100, 50}));
  EXPECT_GT(HorizontalVelocityPlot::Dot(40.0f, 0).x, HorizontalVelocityPlot::HALF_WINDOW);
}

TEST(SmallDiagramPlacementTest, DotsInDoublePrecisionAndFarOutsideWhenNotFinite) {
  // Just below 17 µm: a single-precision product rounds up to unit 17, the small views' own
  // placement has always truncated to 16. A pixel boundary there would move the dot.
  const float d = 0.0169999991f;
  EXPECT_EQ(vv::SmallDot(d, 0).x, 16);
  EXPECT_EQ(vv::Dot(d, 0, 1).x, 17) << "the enlarged diagram multiplies in single precision";
  EXPECT_EQ(op::SmallDot(d, 0.5f), (PlotPoint{16, 500}));
  EXPECT_EQ(vv::SmallDot(2.5f, 7.25f), (PlotPoint{2500, 7250}));
  EXPECT_EQ(HorizontalVelocityPlot::SmallDot(1.5f, 2.0f), (PlotPoint{150, -200}));
  // One rule for every diagram: what is not finite lies far outside, not at the origin.
  const PlotPoint far = HorizontalVelocityPlot::SmallDot(NAN, -INFINITY);
  EXPECT_GT(far.x, HorizontalVelocityPlot::HALF_WINDOW);
  EXPECT_GT(far.y, HorizontalVelocityPlot::HALF_WINDOW);
  EXPECT_GT(vv::SmallDot(INFINITY, 1).x, vv::PLOT_X);
}

TEST(OblatenessPlotTest, PlacementModelsAndMarks) {
  EXPECT_EQ(op::Dot(3.0f, 1.0f, 1), (PlotPoint{3000, 1000}));
  EXPECT_EQ(op::Dot(3.0f, 0.85f, 2), (PlotPoint{1500, 850}));
  EXPECT_EQ(op::Dot(3.0f, 2.5f, 5), (PlotPoint{600, 2500}));

  for (auto model : {op::Model::RO, op::Model::PB}) {
    const auto curve = op::ModelCurve(model, 1);
    ASSERT_EQ(curve.size(), 102u) << "the start point, then 0.0 to just under 10 mm";
    EXPECT_EQ(curve[0], (PlotPoint{0, 1000}));
    EXPECT_EQ(curve[1], (PlotPoint{0, 1000})) << "limited to 1";
    EXPECT_EQ(curve.back().x, 9999) << "the accumulated diameter falls short of 10";
    EXPECT_EQ(op::ModelCurve(model, 5).back().x, 1999);
  }
  EXPECT_NEAR(op::ModelRatio(op::Model::PB, 5), 0.72, 1e-12);
  EXPECT_NEAR(op::ModelRatio(op::Model::RO, 5), 1.064 - 0.3703 + 0.00072619 * 25, 1e-12);
  EXPECT_EQ(op::ModelRatio(op::Model::RO, 0.5), 1.0);

  const auto marks2 = op::CalibrationMarks(2);
  EXPECT_EQ(marks2[4].centre, (PlotPoint{1500, 1000})) << "3 mm at scale 2";
  EXPECT_EQ(marks2[10].centre.x, 5000);
  EXPECT_EQ(marks2[0].halfWidth, 100);
  EXPECT_EQ(marks2[0].halfHeight, 32);
  const auto marks5 = op::CalibrationMarks(5);
  EXPECT_EQ(marks5[4].centre.x, 600);
  EXPECT_EQ(marks5[4].halfWidth, 40);
  EXPECT_EQ(marks5[4].halfHeight, 12);
}

TEST(OblatenessHistogramTest, BinsAndStatistics) {
  OblatenessHistogram h;
  EXPECT_TRUE(OblatenessHistogram::StatisticsTexts(h.Summarise()).maximum.empty());
  for (int i = 0; i < 3; ++i) {
    h.Add(0.955f);
    h.Add(1.055f);
  }
  h.Add(2.0f); // plotted, not binned
  h.Add(2.7f);
  h.Add(-0.1f);
  EXPECT_EQ(h.Count(95), 3);
  EXPECT_EQ(h.Count(105), 3);
  const auto s = h.Summarise();
  EXPECT_EQ(s.total, 6);
  EXPECT_EQ(s.maxBin, 95) << "the first maximum";
  const auto t = OblatenessHistogram::StatisticsTexts(s);
  EXPECT_EQ(t.maximum, "N(H/W)max = 3 drops");
  EXPECT_EQ(t.maxAt, "max at    = 0.95");
  EXPECT_EQ(t.center, "center    = 1.00");

  EXPECT_EQ(OblatenessHistogram::Bin(1.999f), 199);
  EXPECT_EQ(OblatenessHistogram::Bin(0.0f), 0);
  EXPECT_EQ(OblatenessHistogram::Bin(0.95f), 95);
  EXPECT_EQ(OblatenessHistogram::Bin(std::nanf("")), -1);
  EXPECT_EQ(OblatenessHistogram::BarHeight(3, 3), 10000);
  EXPECT_EQ(OblatenessHistogram::BarHeight(1, 3), 3333);
  // Counts of a busy day do not overflow the bar arithmetic.
  EXPECT_EQ(OblatenessHistogram::BarHeight(300000, 600000), 5000);
}

TEST(CalibrationSelectionTest, PreselectionTiesToTheSmallerDiameter) {
  EXPECT_EQ(CalibrationSelection::Preselect(1.25), 1) << "1 mm, not 1.5";
  EXPECT_EQ(CalibrationSelection::Preselect(9.0), 9) << "8 mm";
  EXPECT_EQ(CalibrationSelection::Preselect(12), 10);
  EXPECT_EQ(CalibrationSelection::Preselect(0.2), 0);
  EXPECT_EQ(CalibrationSelection::Preselect(0.5), 0);
  EXPECT_EQ(CalibrationSelection::Preselect(2.6), 4) << "3 mm";
  EXPECT_EQ(CalibrationSelection::Preselect(2.5), 3) << "2 mm";
  EXPECT_EQ(CalibrationSelection::Preselect(10), 10);
  EXPECT_DOUBLE_EQ(CalibrationSelection::CentreDiameter({2000, 900}, {500, 1100}, 1), 1.25);
  EXPECT_DOUBLE_EQ(CalibrationSelection::CentreDiameter({1000, 900}, {1500, 1100}, 2), 2.5);
}

TEST(CalibrationSelectionTest, RectanglesInEitherDirectionHoldTheSameParticles) {
  CalibEntry down{1000, 1200, 2000, 800, 1.5f};  // upper left to lower right
  CalibEntry up{2000, 800, 1000, 1200, 1.5f};    // lower right to upper left
  CalibEntry other{1000, 800, 2000, 1200, 1.5f}; // lower left to upper right
  for (PlotPoint p :
       {PlotPoint{1000, 800}, PlotPoint{1999, 1199}, PlotPoint{1500, 1000}, PlotPoint{2000, 1000},
        PlotPoint{1500, 1200}, PlotPoint{999, 1000}, PlotPoint{1500, 799}}) {
    EXPECT_EQ(down.Contains(p), up.Contains(p)) << p.x << "," << p.y;
    EXPECT_EQ(down.Contains(p), other.Contains(p)) << p.x << "," << p.y;
  }
  EXPECT_TRUE(down.Contains({1000, 800})) << "the smaller corner is inside";
  EXPECT_FALSE(down.Contains({2000, 1000})) << "the larger x is outside";
  EXPECT_FALSE(down.Contains({1500, 1200})) << "the larger y is outside";

  CalibrationSelection selection;
  EXPECT_FALSE(selection.Any());
  EXPECT_FALSE(selection.Set(11, {0, 0}, {1, 1}));
  EXPECT_FALSE(selection.Set(-1, {0, 0}, {1, 1}));
  ASSERT_TRUE(selection.Set(4, {3200, 700}, {2800, 1000}));
  ASSERT_TRUE(selection.Set(1, {900, 800}, {1100, 1100}));
  ASSERT_TRUE(selection.Set(1, {950, 1100}, {1050, 800})); // replaces the earlier 1 mm
  EXPECT_EQ(selection.SummaryText(), "Following Data will be processed\n\n"
                                     "Diameter: 1.0\tFrom: (950,1100)\tTo: (1050,800)\n"
                                     "Diameter: 3.0\tFrom: (3200,700)\tTo: (2800,1000)\n"
                                     "\n Write data to CORR_IN.dat?");
}

namespace {
HydRecord Particle(float diameter, float oblateness, float velocity) {
  HydRecord r;
  r.diameter = diameter;
  r.oblateness = oblateness;
  r.velocity = velocity;
  return r;
}
} // namespace

TEST(CalibrationExportTest, FileTextOfAKnownSelection) {
  CalibrationSelection selection;
  selection.Set(1, {900, 1100}, {1100, 800});  // 1 mm
  selection.Set(4, {3200, 700}, {2800, 1000}); // 3 mm, dragged the other way
  selection.Set(10, {9000, 0}, {9500, 500});   // 10 mm: nothing there
  CalibrationExport e(selection.Entries(), 1);
  e.Add(Particle(0.95f, 0.98f, 3.9f));
  e.Add(Particle(1.04f, 0.81f, 4.26f));
  e.Add(Particle(1.10f, 0.90f, 4.0f)); // right edge: outside
  e.Add(Particle(3.05f, 0.83f, 8.14f));
  e.Add(Particle(2.84f, 0.70f, 7.75f)); // bottom edge of the 3 mm box: inside
  e.Add(Particle(2.9f, 1.00f, 7.9f));   // top edge: outside
  EXPECT_EQ(e.RangeOf(1).count, 2);
  EXPECT_EQ(e.RangeOf(4).count, 2);
  EXPECT_EQ(e.Text(), "    Diam      D0      D1      O0      O1      V0      V1      NR\n"
                      "================================================================\n"
                      "     1.0     0.9     1.0     0.8     1.0     3.9     4.3       2\n"
                      "     3.0     2.8     3.0     0.7     0.8     7.8     8.1       2\n"
                      "    10.0    50.0     0.0     2.0     0.0    30.0     0.0       0\n");

  // At scale 2 the same diameters lie at half the units.
  CalibrationSelection half;
  half.Set(4, {1400, 700}, {1600, 1000});
  CalibrationExport e2(half.Entries(), 2);
  e2.Add(Particle(3.05f, 0.85f, 8.14f));
  e2.Add(Particle(3.3f, 0.85f, 8.14f));
  EXPECT_EQ(e2.RangeOf(4).count, 1);

  CalibrationExport none(CalibrationSelection().Entries(), 1);
  EXPECT_EQ(none.Text().size(), 65u + 65u) << "header and rule only";
}

class CalibrationFileTest : public TempDirTest {};

TEST_F(CalibrationFileTest, WritesWholeFilesOrNothing) {
  std::string error;
  const std::string path = Path("CORR_IN.DAT");
  const OutputGuard guard;
  ASSERT_TRUE(CalibrationExport::WriteFile(path, "first\n", guard, error)) << error;
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(CalibrationExport::WriteFile(path, "second\n", guard, error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "second\n");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the replaced file's permissions stay";
  size_t files = 0;
  for ([[maybe_unused]] const auto &f : std::filesystem::directory_iterator(dir))
    ++files;
  EXPECT_EQ(files, 1u) << "no temporary file is left behind";

  // Failures say why.
  EXPECT_FALSE(CalibrationExport::WriteFile(Path("missing/CORR_IN.DAT"), "x\n", guard, error));
  EXPECT_EQ(error, "Create CORR_IN.DAT failed: " + Path("missing/CORR_IN.DAT") +
                       ": No such file or directory");
  std::filesystem::create_directory(Path("folder"));
  error.clear();
  EXPECT_FALSE(CalibrationExport::WriteFile(Path("folder"), "x\n", guard, error));
  EXPECT_EQ(error, "Create CORR_IN.DAT failed: " + Path("folder") + " is a directory");
  EXPECT_TRUE(std::filesystem::is_directory(Path("folder")));
  chmod(path.c_str(), 0444);
  EXPECT_FALSE(CalibrationExport::WriteFile(path, "third\n", guard, error));
  EXPECT_EQ(error, "Create CORR_IN.DAT failed: " + path + " is read-only");
  files = 0;
  for ([[maybe_unused]] const auto &f : std::filesystem::directory_iterator(dir))
    ++files;
  EXPECT_EQ(files, 2u);
}
