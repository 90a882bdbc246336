#include "ShellFixture.h"
#include "shell/COptionsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

using namespace shelltest;

namespace {

class OptionsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FilterRecord fixed;
    fixed.startTime.hour = 6;
    fixed.startTime.minute = 30;
    fixed.endTime.hour = 20;
    fixed.maxPixA = 1023;
    fixed.minPixB = 7;
    fixed.dropType = 5;
    dialog.SetValues(fixed, "Fernwald, Ostland", 0.1f);
  }
  QLineEdit *Edit(const QString &id) { return dialog.findChild<QLineEdit *>(id); }
  // Presses Save and tells whether the dialog closed with OK.
  bool Save() {
    dialog.setResult(0);
    dialog.findChild<QPushButton *>(ControlId(COptionsDlg::IDC_SAVE))->click();
    return dialog.result() == QDialog::Accepted;
  }

  Recorder rec;
  COptionsDlg dialog{&rec};
};

} // namespace

TEST_F(OptionsTest, TheVelocityCheckBoxAndItsFraction) {
  auto *box = dialog.findChild<QCheckBox *>(ControlId(COptionsDlg::IDC_QC_VELOCITY));
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->isChecked()) << "off unless the settings say so";
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_QC_FRACTION))->text(), "0.5");
  ASSERT_TRUE(Save());
  EXPECT_FALSE(dialog.GetValues().velocityQc.On());

  box->setChecked(true);
  Edit(ControlId(COptionsDlg::IDC_QC_FRACTION))->setText("0");
  EXPECT_FALSE(Save()) << "a fraction of 0 removes every drop";
  ASSERT_EQ(rec.shown.size(), 1u);
  EXPECT_EQ(rec.shown[0], "velocity check fraction must be greater than 0");
  Edit(ControlId(COptionsDlg::IDC_QC_FRACTION))->setText("0.3");
  ASSERT_TRUE(Save());
  const VelocityQc qc = dialog.GetValues().velocityQc;
  EXPECT_EQ(qc.mode, VelocityQc::Mode::Fraction);
  EXPECT_FLOAT_EQ(float(qc.fraction), 0.3f);

  FilterRecord stored;
  stored.velocityQc = qc;
  dialog.SetValues(stored, "", 0.1f);
  EXPECT_TRUE(box->isChecked());
}

TEST_F(OptionsTest, ShowsAndReturnsTheValues) {
  EXPECT_EQ(dialog.windowTitle(), "Options");
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_TIP_SIZE))->text(), "0.1");
  EXPECT_EQ(dialog.findChild<QTimeEdit *>(ControlId(COptionsDlg::IDC_TIME_START))->time(),
            QTime(6, 30, 0));
  EXPECT_EQ(dialog.findChild<QTimeEdit *>(ControlId(COptionsDlg::IDC_TIME_END))->time(),
            QTime(20, 0, 0));
  EXPECT_EQ(dialog.findChild<QComboBox *>(ControlId(COptionsDlg::IDC_TYPE))->currentText(), "hail");
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_WINDOW_TITLE))->text(), "Fernwald, Ostland");
  EXPECT_TRUE(dialog.findChild<QPushButton *>(ControlId(COptionsDlg::IDC_SAVE))->isDefault());

  Edit(ControlId(COptionsDlg::IDC_WINDOW_TITLE))->setText("");
  Edit(ControlId(COptionsDlg::IDC_DIAM_MAX))->setText("12.5");
  dialog.findChild<QComboBox *>(ControlId(COptionsDlg::IDC_TYPE))->setCurrentIndex(2);
  ASSERT_TRUE(Save());
  EXPECT_TRUE(rec.shown.empty());
  const FilterSettings v = dialog.GetValues();
  EXPECT_EQ(v.windowTitle, "") << "an empty title is accepted";
  EXPECT_EQ(v.diamMax, 12.5f);
  EXPECT_EQ(v.dropType, 2);
  EXPECT_EQ(v.startTime.Seconds(), 6 * 3600 + 30 * 60);
  EXPECT_EQ(v.startTime.millisecond, 0);
  // Pixel ranges pass through unchanged.
  EXPECT_EQ(v.maxPixA, 1023);
  EXPECT_EQ(v.minPixB, 7);
}

TEST_F(OptionsTest, TipSizeMustBePositive) {
  for (const char *tip : {"0", "-1"}) {
    Edit(ControlId(COptionsDlg::IDC_TIP_SIZE))->setText(tip);
    EXPECT_FALSE(Save()) << tip;
    EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"tip size must be greater than 0"}));
    EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_TIP_SIZE))->text(), tip) << "no correction";
  }
  Edit(ControlId(COptionsDlg::IDC_TIP_SIZE))->setText("0.01");
  EXPECT_TRUE(Save());
  EXPECT_FLOAT_EQ(dialog.GetValues().tipSize, 0.01f);
}

TEST_F(OptionsTest, OrderErrorsStayAndRangeErrorsAreCorrected) {
  Edit(ControlId(COptionsDlg::IDC_DIAM_MIN))->setText("5");
  Edit(ControlId(COptionsDlg::IDC_DIAM_MAX))->setText("3");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{
                                 "max. diameter must be greater or equal than min. diameter"}));
  EXPECT_FALSE(Save()) << "the values stay until the user fixes them";
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_DIAM_MIN))->text(), "5");
  Edit(ControlId(COptionsDlg::IDC_DIAM_MAX))->setText("6");

  Edit(ControlId(COptionsDlg::IDC_VEL_MAX))->setText("40");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown().back(), "max. velocity must be between 0 and 30");
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_VEL_MAX))->text(), "30");
  EXPECT_TRUE(Save());

  Edit(ControlId(COptionsDlg::IDC_OBL_MIN))->setText("3");
  Edit(ControlId(COptionsDlg::IDC_OBL_MAX))->setText("-2");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown().back(), "max. oblateness must be between 0 and 2");
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_OBL_MIN))->text(), "0");
  EXPECT_EQ(Edit(ControlId(COptionsDlg::IDC_OBL_MAX))->text(), "2");

  Edit(ControlId(COptionsDlg::IDC_VEL_MIN))->setText("fast");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown().back(), "Please enter a number for Velocity, minimum.");
}

TEST_F(OptionsTest, CancelTakesNothing) {
  Edit(ControlId(COptionsDlg::IDC_DIAM_MAX))->setText("3");
  dialog.findChild<QPushButton *>(ControlId(COptionsDlg::IDC_CANCEL))->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.GetValues().diamMax, 50.0f);
}
