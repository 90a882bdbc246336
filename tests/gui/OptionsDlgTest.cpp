#include "ShellFixture.h"
#include "shell/COptionsDlg.h"

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
  QLineEdit *Edit(const char *id) { return dialog.findChild<QLineEdit *>(id); }
  // Presses Save and tells whether the dialog closed with OK.
  bool Save() {
    dialog.setResult(0);
    dialog.findChild<QPushButton *>("1044")->click();
    return dialog.result() == QDialog::Accepted;
  }

  Recorder rec;
  COptionsDlg dialog{&rec};
};

} // namespace

TEST_F(OptionsTest, ShowsAndReturnsTheValues) {
  EXPECT_EQ(dialog.windowTitle(), "Options");
  EXPECT_EQ(Edit("1029")->text(), "0.1");
  EXPECT_EQ(dialog.findChild<QTimeEdit *>("1030")->time(), QTime(6, 30, 0));
  EXPECT_EQ(dialog.findChild<QTimeEdit *>("1031")->time(), QTime(20, 0, 0));
  EXPECT_EQ(dialog.findChild<QComboBox *>("1028")->currentText(), "hail");
  EXPECT_EQ(Edit("1042")->text(), "Fernwald, Ostland");
  EXPECT_TRUE(dialog.findChild<QPushButton *>("1044")->isDefault());

  Edit("1042")->setText("");
  Edit("1046")->setText("12.5");
  dialog.findChild<QComboBox *>("1028")->setCurrentIndex(2);
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
    Edit("1029")->setText(tip);
    EXPECT_FALSE(Save()) << tip;
    EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{"tip size must be greater than 0"}));
    EXPECT_EQ(Edit("1029")->text(), tip) << "no correction";
  }
  Edit("1029")->setText("0.01");
  EXPECT_TRUE(Save());
  EXPECT_FLOAT_EQ(dialog.GetValues().tipSize, 0.01f);
}

TEST_F(OptionsTest, OrderErrorsStayAndRangeErrorsAreCorrected) {
  Edit("1045")->setText("5");
  Edit("1046")->setText("3");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown(), (std::vector<std::string>{
                                 "max. diameter must be greater or equal than min. diameter"}));
  EXPECT_FALSE(Save()) << "the values stay until the user fixes them";
  EXPECT_EQ(Edit("1045")->text(), "5");
  Edit("1046")->setText("6");

  Edit("1048")->setText("40");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown().back(), "max. velocity must be between 0 and 30");
  EXPECT_EQ(Edit("1048")->text(), "30");
  EXPECT_TRUE(Save());

  Edit("1049")->setText("3");
  Edit("1050")->setText("-2");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown().back(), "max. oblateness must be between 0 and 2");
  EXPECT_EQ(Edit("1049")->text(), "0");
  EXPECT_EQ(Edit("1050")->text(), "2");

  Edit("1047")->setText("fast");
  EXPECT_FALSE(Save());
  EXPECT_EQ(rec.TakeShown().back(), "Please enter a number for Velocity, minimum.");
}

TEST_F(OptionsTest, CancelTakesNothing) {
  Edit("1046")->setText("3");
  dialog.findChild<QPushButton *>("2")->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.GetValues().diamMax, 50.0f);
}
