#include "ShellFixture.h"
#include "particle/CHydData.h"
#include "shell/CMainCtrlPanel.h"
#include "views/CSmallTopView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

using namespace shelltest;

namespace {

class PanelTest : public AppTest {
protected:
  void StartWithPanes() {
    app = std::make_unique<CPluvicamApp>(
        [this](Pane pane, CPluvicamDoc *document, QWidget *parent) -> QWidget * {
          if (pane != Pane::Top)
            return new QWidget(parent);
          top = new CSmallTopView(document, parent);
          return top;
        },
        &rec, false);
    ASSERT_TRUE(app->InitInstance());
    frame = app->GetMainFrame();
    doc = app->GetDocument();
    doc->AddListener(&rec);
    panel = frame->GetCtrlPanel();
  }
  void OpenTinyDay() {
    const std::string data = Path("t.hyd");
    WriteTinyDay(data, {6 * 3600 + 1, 6 * 3600 + 2, 6 * 3600 + 3, 6 * 3600 + 4});
    ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
    rec.TakeEvents();
    rec.TakeShown();
  }
  QLineEdit *Edit(const QString &id) const { return panel->findChild<QLineEdit *>(id); }
  template <class T> T *Control(const QString &id) const { return panel->findChild<T *>(id); }
  FilterRecord DocFilter() const {
    FilterRecord f;
    doc->GetFilterSettings(f);
    return f;
  }
  void Click(const QString &id) { Control<QPushButton>(id)->click(); }

  CMainCtrlPanel *panel = nullptr;
  CSmallTopView *top = nullptr;
};

} // namespace

TEST_F(PanelTest, InvalidDiameterIsCorrectedAndTheNextRunKeepsTheOldFilter) {
  StartWithPanes();
  OpenTinyDay();
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))->setText("60");
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MAX))->setText("10");
  EXPECT_TRUE(panel->FilterChanged());
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  // The order finding is overwritten by the range finding of min.
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"min. diameter must be between 0 and 50"}));
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))->text(), "0");
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MAX))->text(), "10");
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_FALSE(frame->Runner().IsTimerOn());
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"reset 0"})) << "views start over";
  EXPECT_FALSE(panel->FilterChanged());
  EXPECT_EQ(DocFilter().diamMax, 50.0f);

  // Run again: no message, the run starts with the document's previous filter.
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  EXPECT_TRUE(rec.TakeShown().empty());
  EXPECT_FALSE(panel->IsStopped());
  EXPECT_EQ(DocFilter().diamMax, 50.0f);
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  EXPECT_TRUE(panel->IsStopped());
}

TEST_F(PanelTest, EachCheckOverwritesTheMessage) {
  StartWithPanes();
  QString message;
  Edit(ControlId(CMainCtrlPanel::IDC_VEL_MIN))->setText("5");
  Edit(ControlId(CMainCtrlPanel::IDC_VEL_MAX))->setText("3");
  EXPECT_FALSE(panel->Validate(message));
  EXPECT_EQ(message, "max. velocity must be greater or equal than min. velocity");
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_VEL_MIN))->text(), "5")
      << "an order error corrects nothing";
  Edit(ControlId(CMainCtrlPanel::IDC_OBL_MIN))->setText("-1");
  Edit(ControlId(CMainCtrlPanel::IDC_OBL_MAX))->setText("3");
  EXPECT_FALSE(panel->Validate(message));
  EXPECT_EQ(message, "max. oblateness must be between 0 and 2");
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_OBL_MIN))->text(), "0");
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_OBL_MAX))->text(), "2");
  Edit(ControlId(CMainCtrlPanel::IDC_VEL_MAX))->setText("6");
  Edit(ControlId(CMainCtrlPanel::IDC_PIXA_MIN))->setText("600");
  EXPECT_FALSE(panel->Validate(message));
  EXPECT_EQ(message, "min. PixelA must be between 0 and 511");
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_PIXA_MIN))->text(), "0");
  EXPECT_TRUE(panel->Validate(message));
  EXPECT_TRUE(message.isEmpty());

  // Entries that are no numbers are refused before any check, and stay for correction.
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))->setText("abc");
  EXPECT_FALSE(panel->Validate(message));
  EXPECT_EQ(message, "Please enter a number for Filter Diameter, minimum.");
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))->text(), "abc");
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))->setText("0");
  Edit(ControlId(CMainCtrlPanel::IDC_VEL_MAX))->setText("40");
  EXPECT_FALSE(panel->Validate(message));
  EXPECT_EQ(message, "Please enter a number between 0 and 30 for Filter Velocity, maximum.");
  Edit(ControlId(CMainCtrlPanel::IDC_VEL_MAX))->setText("30");
  Edit(ControlId(CMainCtrlPanel::IDC_PIXA_MAX))->setText("1.5");
  EXPECT_FALSE(panel->Validate(message));
  EXPECT_EQ(message, "Please enter an integer for Filter - Pixel System A, maximum.");
}

TEST_F(PanelTest, PixelMaximaFollowTheBound) {
  StartWithPanes();
  EXPECT_EQ(panel->PixelBoundHigh(), 511);
  Edit(ControlId(CMainCtrlPanel::IDC_PIXB_MAX))->setText("300");
  panel->UpdatePixelBounds(0, 1023);
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_PIXA_MAX))->text(),
            ControlId(CMainCtrlPanel::IDC_RESET));
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_PIXB_MAX))->text(), "300");
  EXPECT_EQ(DocFilter().maxPixA, 1023) << "applied";
  EXPECT_EQ(DocFilter().maxPixB, 300);

  Edit(ControlId(CMainCtrlPanel::IDC_PIXB_MAX))->setText("700");
  rec.TakeShown();
  panel->UpdatePixelBounds(0, 511);
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_PIXA_MAX))->text(), "511");
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"max. PixelB must be between 0 and 511"}));
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_PIXB_MAX))->text(), "511");
  EXPECT_EQ(panel->PixelBoundHigh(), 511);
}

TEST_F(PanelTest, ScaleCyclesOneTwoFive) {
  StartWithPanes();
  std::vector<int> factors;
  for (int i = 0; i < 3; ++i) {
    Click(ControlId(CMainCtrlPanel::IDC_SCALE));
    factors.push_back(doc->GetViewFactor());
  }
  EXPECT_EQ(factors, (std::vector<int>{2, 5, 1}));
  doc->SetViewFactor(3);
  Click(ControlId(CMainCtrlPanel::IDC_SCALE));
  EXPECT_EQ(doc->GetViewFactor(), 3);
}

TEST_F(PanelTest, RunWithoutFileAppliesTheFilterAndSaysSo) {
  StartWithPanes();
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MAX))->setText("8");
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"Note: no file is open"}));
  EXPECT_EQ(DocFilter().diamMax, 8.0f);
  EXPECT_TRUE(panel->IsStopped());
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"Note: no file is open"}));
}

TEST_F(PanelTest, ResetDuringARunKeepsRunningFromTheStart) {
  StartWithPanes();
  OpenTinyDay();
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  ASSERT_NE(doc->GetHydHeader(), nullptr);
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  ASSERT_TRUE(frame->Runner().IsTimerOn());
  rec.TakeEvents();
  Click(ControlId(CMainCtrlPanel::IDC_RESET));
  EXPECT_FALSE(panel->IsStopped());
  EXPECT_TRUE(frame->Runner().IsTimerOn());
  EXPECT_EQ(doc->GetStatus(), CPluvicamDoc::statusRejected);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"reset 0"}));
  // Step + stops the run and shows the first particle of the window again.
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_FALSE(frame->Runner().IsTimerOn());
  EXPECT_NEAR(doc->GetHydHeader()->tim / LINES_PER_SECOND, 6 * 3600 + 1, 1e-6);
}

TEST_F(PanelTest, ChangesAreReportedOnlyWhenTheTextChanges) {
  StartWithPanes();
  OpenTinyDay();
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS)); // applies the start-up changes
  ASSERT_FALSE(panel->FilterChanged());
  ASSERT_FALSE(panel->TimeChanged());

  // The program writing the same values reports nothing.
  panel->SetFilterFields(DocFilter());
  EXPECT_FALSE(panel->FilterChanged());
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))
      ->setText(Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MIN))->text());
  EXPECT_FALSE(panel->FilterChanged());

  // A program write that changes a text reacts like the user: the run stops.
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  ASSERT_FALSE(panel->IsStopped());
  FilterRecord f = DocFilter();
  f.velMin = 1.5f;
  f.startTime.hour = 5; // times set by the program report nothing
  panel->SetFilterFields(f);
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_TRUE(panel->FilterChanged());
  EXPECT_FALSE(panel->TimeChanged());
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_VEL_MIN))->text(), "1.5");
  EXPECT_EQ(Control<QTimeEdit>(ControlId(CMainCtrlPanel::IDC_TIME_START))->time(), QTime(5, 0, 0));

  // A program selection in the type list reports nothing; the user's does.
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  f.dropType = 2;
  panel->SetFilterFields(f);
  EXPECT_FALSE(panel->FilterChanged());
  EXPECT_EQ(Control<QComboBox>(ControlId(CMainCtrlPanel::IDC_TYPE))->currentText(), "rain");
  Control<QComboBox>(ControlId(CMainCtrlPanel::IDC_TYPE))->setCurrentIndex(4);
  EXPECT_TRUE(panel->FilterChanged());

  // The user's time change marks the time and resets the document on the next step.
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  Control<QTimeEdit>(ControlId(CMainCtrlPanel::IDC_TIME_END))->setTime(QTime(6, 0, 3));
  EXPECT_TRUE(panel->TimeChanged());
  rec.TakeEvents();
  Control<QComboBox>(ControlId(CMainCtrlPanel::IDC_TYPE))->setCurrentIndex(0);
  Control<QTimeEdit>(ControlId(CMainCtrlPanel::IDC_TIME_START))->setTime(QTime(6, 0, 2));
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  EXPECT_FALSE(panel->TimeChanged());
  EXPECT_NEAR(doc->GetHydHeader()->tim / LINES_PER_SECOND, 6 * 3600 + 2, 1e-6)
      << "back to the window's start";
  EXPECT_EQ(DocFilter().endTime.Seconds(), 6 * 3600 + 3);
}

TEST_F(PanelTest, AreaDisplayMode) {
  StartWithPanes();
  OpenTinyDay();
  Click(ControlId(CMainCtrlPanel::IDC_STEP_PLUS));
  ASSERT_FALSE(panel->FilterChanged());
  auto *position = Control<QRadioButton>(ControlId(CMainCtrlPanel::IDC_AREA_POSITION));
  auto *distribution = Control<QRadioButton>(ControlId(CMainCtrlPanel::IDC_AREA_DISTRIBUTION));

  // The same mode again: not a filter change, but the run stops.
  Click(ControlId(CMainCtrlPanel::IDC_RUN));
  position->click();
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_FALSE(panel->FilterChanged());
  distribution->click();
  EXPECT_TRUE(panel->FilterChanged());
  EXPECT_EQ(panel->AreaDisplayMode(), 1);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->AreaModeValue(), CSmallTopView::Distribution);
  position->click();
  EXPECT_EQ(top->AreaModeValue(), CSmallTopView::PositionSize);
}

TEST_F(PanelTest, DefaultFilterShowsTheStoredSettings) {
  StartWithPanes();
  FilterSettings values = app->GetStoredFilter();
  values.diamMax = 9.0f;
  app->TakeOptions(values);
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MAX))->setText("20");
  rec.TakeEvents();
  Click(ControlId(CMainCtrlPanel::IDC_DEFAULT_FILTER));
  EXPECT_EQ(Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MAX))->text(), "9");
  EXPECT_EQ(DocFilter().diamMax, 9.0f);
  EXPECT_EQ(rec.TakeEvents(), (std::vector<std::string>{"reset 0"}));
}

TEST_F(PanelTest, LegendShowsTheColoursTheTopViewPaints) {
  StartWithPanes();
  for (int count = 1; count <= 5; ++count) {
    auto *icon = panel->findChild<QLabel *>(QStringLiteral("legend%1").arg(count));
    ASSERT_NE(icon, nullptr) << count;
    const QImage image = icon->pixmap().toImage();
    EXPECT_EQ(QColor(image.pixel(16, 16)), CSmallTopView::CountColour(count)) << count;
  }
  // The top view paints four drops blue and five or more magenta.
  const QColor four = panel->findChild<QLabel *>("legend4")->pixmap().toImage().pixel(16, 16);
  const QColor five = panel->findChild<QLabel *>("legend5")->pixmap().toImage().pixel(16, 16);
  EXPECT_GT(four.blue(), 0);
  EXPECT_EQ(four.red(), 0);
  EXPECT_GT(five.red(), 0);
  EXPECT_GT(five.blue(), 0);
}

// The panel's filter fields do not hold the velocity check: applying them keeps it as it is.
TEST_F(PanelTest, ApplyingTheFilterKeepsTheVelocityCheck) {
  StartWithPanes();
  OpenTinyDay();
  FilterRecord filter = DocFilter();
  filter.velocityQc.mode = VelocityQc::Mode::Tolerance;
  filter.velocityQc.tolerance = 1.5;
  doc->SetFilterSettings(filter);
  Edit(ControlId(CMainCtrlPanel::IDC_DIAM_MAX))->setText("10");
  ASSERT_TRUE(panel->ApplyFilter());
  EXPECT_EQ(DocFilter().diamMax, 10.0f);
  EXPECT_EQ(DocFilter().velocityQc, filter.velocityQc);
}
