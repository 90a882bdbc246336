// The enlarged drop size distribution: its integration dialog, its panel and its view.
#include "ViewTestSupport.h"
#include "shell/BigPaneFactory.h"
#include "views/CBigDSDView.h"
#include "views/CBigInfoView.h"
#include "views/CDSDCtrlPanel.h"
#include "views/CIntegrationDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>

using namespace viewtest;

namespace {
const QColor DARK_BLUE(0, 0, 192), YELLOW(255, 255, 0);
const QPointF ORG(-1000, 11000);
const QSizeF EXT(12000, -12000);
} // namespace

TEST(IntegrationDialog, LimitsModesAndMessages) {
  Messages messages;
  CIntegrationDlg dlg;
  dlg.SetMessages(&messages);
  auto okWith = [&](int check, int edit, const char *text) {
    dlg.SetMode(check == CIntegrationDlg::IDC_RAIN_CHECK      ? IntegrationMode::Rain
                : check == CIntegrationDlg::IDC_TIME_CHECK    ? IntegrationMode::Time
                : check == CIntegrationDlg::IDC_OBJECTS_CHECK ? IntegrationMode::Objects
                                                              : IntegrationMode::FullTimeRange);
    dlg.OnInitDialog();
    dlg.Edit(CIntegrationDlg::IDC_RAIN)->setText("1");
    dlg.Edit(CIntegrationDlg::IDC_TIME)->setText("60");
    dlg.Edit(CIntegrationDlg::IDC_DROPS)->setText("500");
    dlg.Edit(edit)->setText(QString::fromLatin1(text));
    messages.texts.clear();
    return dlg.OnOK();
  };
  using D = CIntegrationDlg;
  EXPECT_TRUE(okWith(D::IDC_RAIN_CHECK, D::IDC_RAIN, "0.05"));
  EXPECT_TRUE(okWith(D::IDC_RAIN_CHECK, D::IDC_RAIN, "5"));
  EXPECT_FALSE(okWith(D::IDC_RAIN_CHECK, D::IDC_RAIN, "0.049"));
  EXPECT_EQ(messages.texts, std::vector<std::string>{D::RAIN_LIMITS});
  EXPECT_FALSE(okWith(D::IDC_RAIN_CHECK, D::IDC_RAIN, "5.01"));
  EXPECT_TRUE(okWith(D::IDC_TIME_CHECK, D::IDC_TIME, "15"));
  EXPECT_TRUE(okWith(D::IDC_TIME_CHECK, D::IDC_TIME, "43200"));
  EXPECT_FALSE(okWith(D::IDC_TIME_CHECK, D::IDC_TIME, "14"));
  EXPECT_FALSE(okWith(D::IDC_TIME_CHECK, D::IDC_TIME, "43201"));
  EXPECT_EQ(messages.texts, std::vector<std::string>{D::TIME_LIMITS});
  EXPECT_TRUE(okWith(D::IDC_OBJECTS_CHECK, D::IDC_DROPS, "1"));
  EXPECT_TRUE(okWith(D::IDC_OBJECTS_CHECK, D::IDC_DROPS, "999999"));
  EXPECT_FALSE(okWith(D::IDC_OBJECTS_CHECK, D::IDC_DROPS, "0"));
  EXPECT_FALSE(okWith(D::IDC_OBJECTS_CHECK, D::IDC_DROPS, "1000000"));
  EXPECT_EQ(messages.texts, std::vector<std::string>{D::DROPS_LIMITS});
  EXPECT_TRUE(okWith(D::IDC_RAIN_CHECK, D::IDC_TIME, "1")) << "only the checked mode is checked";
  EXPECT_FLOAT_EQ(dlg.GetTime(), 1.0f);

  // A click on the checked box leaves none checked; OK then refuses.
  dlg.SetMode(IntegrationMode::Time);
  dlg.Edit(D::IDC_TIME)->setText("60");
  dlg.OnInitDialog();
  dlg.Check(D::IDC_TIME_CHECK)->click();
  EXPECT_FALSE(dlg.Check(D::IDC_TIME_CHECK)->isChecked());
  EXPECT_EQ(dlg.GetMode(), IntegrationMode::Time);
  messages.texts.clear();
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(messages.texts, std::vector<std::string>{D::NO_MODE});
  // A click on another box clears the others and sets its mode.
  dlg.Check(D::IDC_OBJECTS_CHECK)->click();
  EXPECT_EQ(dlg.GetMode(), IntegrationMode::Objects);
  dlg.Check(D::IDC_RAIN_CHECK)->click();
  EXPECT_FALSE(dlg.Check(D::IDC_OBJECTS_CHECK)->isChecked());
  EXPECT_EQ(dlg.GetMode(), IntegrationMode::Rain);

  // Only Rain and Time allowed: Objects and the whole range are disabled, and a mode of
  // Objects keeps the checks of the dialog's previous use.
  dlg.SetAllModesAllowed(false);
  dlg.SetMode(IntegrationMode::Objects);
  dlg.OnInitDialog();
  EXPECT_FALSE(dlg.Check(D::IDC_OBJECTS_CHECK)->isEnabled());
  EXPECT_FALSE(dlg.Check(D::IDC_FULL_CHECK)->isEnabled());
  EXPECT_FALSE(dlg.Edit(D::IDC_DROPS)->isEnabled());
  EXPECT_TRUE(dlg.Check(D::IDC_RAIN_CHECK)->isChecked());
  EXPECT_FALSE(dlg.Check(D::IDC_OBJECTS_CHECK)->isChecked());

  // Not a number: the data-exchange message, the old value stays.
  dlg.Edit(D::IDC_RAIN)->setText("abc");
  messages.texts.clear();
  EXPECT_TRUE(dlg.OnOK()) << "the previous rain still lies within its limits";
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Please enter a number for Rain."});
}

class BigDsd : public ViewTest {
protected:
  // The frame's parts under one window, as the enlarged frame holds them.
  void Build() {
    window = std::make_unique<QSplitter>(Qt::Vertical);
    info = static_cast<CBigInfoView *>(
        CreateBigPane(BigPane::Info, BigKind::Dsd, 0, &doc, window.get()));
    panel = static_cast<CDSDCtrlPanel *>(
        CreateBigPane(BigPane::Panel, BigKind::Dsd, 0, &doc, window.get()));
    view = static_cast<CBigDSDView *>(
        CreateBigPane(BigPane::View, BigKind::Dsd, 0, &doc, window.get()));
    panel->Attach({view}, info);
    window->resize(600, 900);
    window->show();
    view->resize(size);
  }
  QPoint At(QPointF logical) const { return Device(ORG, EXT, view->size(), logical); }
  QPushButton *Button(int id) const { return panel->Button(id); }

  QSize size{600, 500};
  std::unique_ptr<QSplitter> window;
  CBigInfoView *info = nullptr;
  CDSDCtrlPanel *panel = nullptr;
  CBigDSDView *view = nullptr;
};

TEST_F(BigDsd, PanelButtonsChangeTheSettings) {
  WriteDay({Drop(6 * 3600 + 10, 1.1)});
  Open();
  Build();
  IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  s.deltaD = 0.05f;
  Button(CDSDCtrlPanel::IDC_DELTA_MINUS)->click();
  EXPECT_EQ(s.deltaD, 0.05f) << "Delta - stays at the smallest width";
  Button(CDSDCtrlPanel::IDC_DELTA_PLUS)->click();
  EXPECT_EQ(s.deltaD, 0.1f);
  s.deltaD = 0.25f;
  Button(CDSDCtrlPanel::IDC_DELTA_PLUS)->click();
  EXPECT_EQ(s.deltaD, 0.25f) << "Delta + stays at the largest width";
  s.deltaD = 0.3f;
  Button(CDSDCtrlPanel::IDC_DELTA_PLUS)->click();
  EXPECT_EQ(s.deltaD, 0.3f) << "a width not in the table is left by Delta +";
  Button(CDSDCtrlPanel::IDC_DELTA_MINUS)->click();
  EXPECT_EQ(s.deltaD, 0.25f) << "and becomes 0.25 with Delta -";

  s.mode = IntegrationMode::Objects;
  s.timeInterval = 5;
  s.deltaD = 0.1f;
  Button(CDSDCtrlPanel::IDC_DEFAULT)->click();
  EXPECT_EQ(s.mode, IntegrationMode::Time);
  EXPECT_EQ(s.timeInterval, 60.0f);
  EXPECT_EQ(s.deltaD, 0.25f);
  EXPECT_EQ(info->TextAt(530, 171), "0.25 mm");

  // Comp needs a rain amount.
  s.rainInterval = 0;
  messages.texts.clear();
  Button(CDSDCtrlPanel::IDC_COMP)->click();
  EXPECT_EQ(messages.texts, std::vector<std::string>{CBigDSDView::NO_RAIN_RATE});
  EXPECT_FALSE(view->IsCompOn());

  // Reset Time: the interval ends at the window start again, or where the recording starts when
  // that is later.
  doc.GetIntegrationState()->endTim = 12345;
  s.result = 7;
  Button(CDSDCtrlPanel::IDC_RESET_TIME)->click();
  ASSERT_GT(doc.RecordingStartTim(), 12345);
  EXPECT_EQ(doc.GetIntegrationState()->endTim, doc.RecordingStartTim())
      << "a window from midnight, a recording from 06:00";
  EXPECT_EQ(s.result, 0);
}

TEST_F(BigDsd, RunDrawsBarsTheLabelAndTheModels) {
  WriteDay({Drop(6 * 3600 + 10, 1.1), Drop(6 * 3600 + 20, 1.15), Drop(6 * 3600 + 30, 2.6),
            Drop(6 * 3600 + 70, 1.2)});
  Open();
  Build();
  IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  doc.ResetIntegration(IntegrationKind::Dsd);

  // While the view computes, only Run/Stop is enabled; afterwards everything is back.
  bool disabledDuring = false, stopShown = false;
  QTimer::singleShot(0, [&] {
    disabledDuring = !Button(CDSDCtrlPanel::IDC_COMP)->isEnabled() &&
                     Button(CDSDCtrlPanel::IDC_RUN)->isEnabled();
    stopShown = Button(CDSDCtrlPanel::IDC_RUN)->text() == "Stop";
  });
  Button(CDSDCtrlPanel::IDC_RUN)->click();
  EXPECT_TRUE(disabledDuring) << "events are handled while the view computes";
  EXPECT_TRUE(stopShown);
  EXPECT_TRUE(Button(CDSDCtrlPanel::IDC_COMP)->isEnabled()) << "enabled again after the Run";
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_EQ(Button(CDSDCtrlPanel::IDC_RUN)->text(), "Run");
  EXPECT_FALSE(view->IsComputing());

  const DsdInterval &r = view->LastInterval();
  ASSERT_EQ(r.end, DsdInterval::Complete);
  EXPECT_EQ(r.count, 3);
  EXPECT_GT(s.result, 0);
  EXPECT_NE(view->NdMaxText().find("1/m\u00B3mm"), std::string::npos);
  // The largest class reaches 100 % (y 10000); a bar's middle is blue.
  ASSERT_FALSE(view->Bars().empty());
  const dsd::Bar top =
      *std::max_element(view->Bars().begin(), view->Bars().end(),
                        [](const dsd::Bar &a, const dsd::Bar &b) { return a.height < b.height; });
  EXPECT_EQ(top.height, 10000);
  EXPECT_TRUE(ColourNear(view->Image(), At({top.x + top.width / 2.0, 5000}), DARK_BLUE));
  EXPECT_EQ(info->TextAt(185, 171), "3") << "the record table shows the interval's count";
  EXPECT_NE(info->TextAt(20, 209).find("Nt "), std::string::npos) << "and its moments";

  // Comp: the Marshall and Palmer line in yellow on the window, gone after Default.
  Button(CDSDCtrlPanel::IDC_COMP)->click();
  EXPECT_TRUE(view->IsCompOn());
  const QImage shown = view->grab().toImage();
  int yellow = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      yellow += QColor(shown.pixel(x, y)) == YELLOW;
  EXPECT_GT(yellow, 50);
  Button(CDSDCtrlPanel::IDC_DEFAULT)->click();
  EXPECT_FALSE(view->IsCompOn());
  EXPECT_TRUE(view->Bars().empty()) << "axes only after a reset";

  // The next Run starts with the particle that closed the first interval.
  Button(CDSDCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(view->LastInterval().count, 1);
  EXPECT_EQ(view->LastInterval().end, DsdInterval::DataEnded);
  EXPECT_TRUE(view->IsIdle());
}

TEST_F(BigDsd, TheModelLegendStaysInsideANarrowWindow) {
  WriteDay({Drop(6 * 3600 + 10, 1.1), Drop(6 * 3600 + 20, 1.15), Drop(6 * 3600 + 30, 2.6),
            Drop(6 * 3600 + 70, 1.2)});
  Open();
  Build();
  window->resize(400, 900);
  QApplication::processEvents();
  doc.ResetIntegration(IntegrationKind::Dsd);
  Button(CDSDCtrlPanel::IDC_RUN)->click();
  Button(CDSDCtrlPanel::IDC_COMP)->click();
  ASSERT_TRUE(view->IsCompOn());
  ASSERT_EQ(view->width(), 400);
  // The model lines end at the plot's right edge; anything in a model colour further right is
  // legend text, and none of it may reach the window's last columns.
  const QImage shown = view->grab().toImage();
  int legend = 0, cut = 0;
  for (const dsd::ModelCurve &model : view->Models()) {
    const QColor colour(model.red, model.green, model.blue);
    for (int y = 0; y < shown.height(); ++y)
      for (int x = At({10100, 0}).x(); x < shown.width(); ++x)
        if (QColor(shown.pixel(x, y)) == colour)
          ++(x >= shown.width() - 2 ? cut : legend);
  }
  EXPECT_GT(legend, 50);
  EXPECT_EQ(cut, 0);
}

TEST_F(BigDsd, FineClassesAtTheLargestScaleStopAtTheTable) {
  std::vector<synth::RainDrop> drops;
  for (int i = 0; i < 20; ++i)
    drops.push_back(Drop(6 * 3600 + 10 + i, 0.6 + 0.2 * i));
  WriteDay(drops);
  Open();
  Build();
  IntegrationSettings &s = doc.GetIntegrationSettings(IntegrationKind::Dsd);
  s.mode = IntegrationMode::FullTimeRange;
  s.deltaD = 0.05f;
  doc.SetViewFactor(5); // 1000 classes of 10 units would overrun the table
  view->Start();
  const DsdInterval &r = view->LastInterval();
  EXPECT_EQ(r.geometry.count, 400);
  EXPECT_EQ(r.count, 20);
  ASSERT_FALSE(view->Bars().empty());
  for (const dsd::Bar &b : view->Bars())
    EXPECT_LT(b.x, 4000) << "no bar beyond the 400th class";
}

TEST_F(BigDsd, StopEndsTheRunFromInsideIt) {
  WriteDay({Drop(6 * 3600 + 10, 1.1), Drop(6 * 3600 + 20, 1.3)});
  Open();
  Build();
  doc.GetIntegrationSettings(IntegrationKind::Dsd).mode = IntegrationMode::FullTimeRange;
  // Pressed while the view computes: the second press of Run is Stop.
  QTimer::singleShot(0, [&] { Button(CDSDCtrlPanel::IDC_RUN)->click(); });
  Button(CDSDCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(view->LastInterval().end, DsdInterval::Stopped);
  EXPECT_TRUE(view->Bars().empty()) << "a stopped Run draws nothing";
  EXPECT_TRUE(panel->IsStopped());
  EXPECT_EQ(doc.GetIntegrationState()->valid, 1);
}

// The velocity check removes the drop falling far too slowly for its size; the record table
// counts it in a cell of its own, which stays away while the check is off.
TEST_F(BigDsd, TheRecordTableCountsWhatTheVelocityCheckRemoved) {
  WriteDay({Drop(6 * 3600 + 10, 1.1, 4.4), Drop(6 * 3600 + 20, 1.15, 1.0),
            Drop(6 * 3600 + 30, 1.2, 4.6), Drop(6 * 3600 + 70, 1.2, 4.6)});
  Open();
  Build();
  doc.ResetIntegration(IntegrationKind::Dsd);
  Button(CDSDCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(view->LastInterval().count, 3);
  EXPECT_EQ(info->TextAt(360, 95), "");

  FilterRecord filter;
  doc.GetFilterSettings(filter);
  filter.velocityQc.mode = VelocityQc::Mode::Fraction;
  doc.SetFilterSettings(filter);
  Button(CDSDCtrlPanel::IDC_RESET_TIME)->click();
  Button(CDSDCtrlPanel::IDC_RUN)->click();
  EXPECT_EQ(view->LastInterval().count, 2);
  EXPECT_EQ(view->LastInterval().removed, 1);
  EXPECT_EQ(info->TextAt(360, 95), "Removed");
  EXPECT_EQ(info->TextAt(530, 95), "1");
  EXPECT_EQ(info->TextAt(185, 171), "2");
}
