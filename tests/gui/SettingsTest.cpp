#include "ShellFixture.h"
#include "document/CPluvicamDoc.h"
#include "document/StoredFilter.h"
#include "shell/CMainCtrlPanel.h"
#include "shell/ShellText.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace shelltest;

TEST(ShellText, FixedPositionTimes) {
  using storedfilter::ParseFixedTime;
  const auto full = ParseFixedTime("07:05:03");
  EXPECT_EQ(full.hour, 7);
  EXPECT_EQ(full.minute, 5);
  EXPECT_EQ(full.second, 3);
  // Cut at positions 0, 3 and 6, two characters each.
  const auto loose = ParseFixedTime("7:5:3");
  EXPECT_EQ(loose.hour, 7);
  EXPECT_EQ(loose.minute, 0);
  EXPECT_EQ(loose.second, 0);
  // Shorter than HH:MM:SS: the missing parts are 0, nothing is read past the end.
  const auto shortText = ParseFixedTime("12:3");
  EXPECT_EQ(shortText.hour, 12);
  EXPECT_EQ(shortText.minute, 3);
  EXPECT_EQ(shortText.second, 0);
  const auto empty = ParseFixedTime("");
  EXPECT_EQ(empty.hour + empty.minute + empty.second, 0);
  const auto seven = ParseFixedTime("23:59:5");
  EXPECT_EQ(seven.second, 5);
  EXPECT_EQ(shelltext::FormatTime(7, 5, 3), "07:05:03");
}

TEST(ShellText, NumbersAsThePlainConversionsReadThem) {
  using storedfilter::TextToDouble;
  using storedfilter::TextToInt;
  EXPECT_DOUBLE_EQ(TextToDouble("0.2"), 0.2);
  EXPECT_DOUBLE_EQ(TextToDouble("  -1.5mm"), -1.5);
  EXPECT_DOUBLE_EQ(TextToDouble("+3"), 3.0);
  EXPECT_EQ(TextToDouble("abc"), 0.0);
  EXPECT_EQ(TextToDouble(""), 0.0);
  EXPECT_EQ(TextToDouble("-"), 0.0);
  EXPECT_EQ(TextToInt("4x"), 4);
  EXPECT_EQ(TextToInt(" -2"), -2);
  EXPECT_EQ(TextToInt("x4"), 0);
  EXPECT_EQ(TextToInt("99999999999"), 0);
  // One decimal survives the store.
  EXPECT_EQ(shelltext::FormatOneDecimal(0.04f), "0.0");
  EXPECT_EQ(shelltext::FormatOneDecimal(0.26f), "0.3");
  EXPECT_EQ(shelltext::FormatOneDecimal(50.0f), "50.0");
  EXPECT_EQ(shelltext::FormatOneDecimal(-1.25f), "-1.2");
}

TEST(ShellText, TitleParts) {
  auto name = [](const char *ident) {
    char field[MainHeader::IDENT_LENGTH] = {};
    for (int i = 0; ident[i] && i < MainHeader::IDENT_LENGTH; ++i)
      field[i] = ident[i];
    return shelltext::FileNameFromIdent(field, MainHeader::IDENT_LENGTH);
  };
  EXPECT_EQ(name("abc.hyd"), "abc");
  EXPECT_EQ(name("a.b.hyd"), "a.b");
  EXPECT_EQ(name("abc"), "");
  // A full field without NUL ends after 14 characters.
  EXPECT_EQ(name("abcdefghij.hydXYZ"), "abcdefghij");

  EXPECT_EQ(shelltext::FormatMainTitle("", 2026, 6, 1, "Fernwald, Ostland"),
            "NIMBAL   PLUVICAM      2026/06/01   Fernwald, Ostland");
  EXPECT_EQ(shelltext::FormatMainTitle("d0601", 987, 12, 31, ""),
            "NIMBAL   PLUVICAM   d0601   0987/12/31   ");
  const auto date = shelltext::UtcDate(DAY + 86399);
  EXPECT_EQ(date.year, 2026);
  EXPECT_EQ(date.month, 6);
  EXPECT_EQ(date.day, 1);
  EXPECT_EQ(shelltext::ReplaceAll("A-AA", "A", "BA"), "BA-BABA");
  EXPECT_EQ(shelltext::ReplaceAll("abc", "", "x"), "abc");
}

TEST_F(AppTest, FirstStartWithAnEmptyStore) {
  Start();
  const FilterSettings s = app->GetStoredFilter();
  EXPECT_FLOAT_EQ(s.tipSize, 0.2f) << "the store's default, not the record's 0.1";
  EXPECT_EQ(s.startTime.Seconds(), 0);
  EXPECT_EQ(s.endTime.Seconds(), 23 * 3600 + 59 * 60 + 59);
  EXPECT_EQ(s.diamMin, 0.0f);
  EXPECT_EQ(s.diamMax, 50.0f);
  EXPECT_EQ(s.velMax, 30.0f);
  EXPECT_EQ(s.oblMax, 2.0f);
  EXPECT_EQ(s.dropType, 0);
  EXPECT_EQ(s.maxPixA, 511);
  EXPECT_EQ(s.windowTitle, "Fernwald, Ostland");

  // The document works with the stored filter; the panel shows it and knows the pixel bounds.
  FilterRecord docFilter;
  doc->GetFilterSettings(docFilter);
  EXPECT_EQ(docFilter.endTime.Seconds(), 23 * 3600 + 59 * 60 + 59);
  EXPECT_EQ(docFilter.maxPixA, 511);
  CMainCtrlPanel *panel = frame->GetCtrlPanel();
  EXPECT_EQ(panel->PixelBoundHigh(), 511);
  EXPECT_EQ(panel->findChild<QLineEdit *>(ControlId(CMainCtrlPanel::IDC_PIXA_MAX))->text(), "511");

  const QDate today = QDate::currentDate();
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("NIMBAL   PLUVICAM      %1   Fernwald, Ostland")
                                      .arg(today.toString(QStringLiteral("yyyy/MM/dd"))));
  EXPECT_EQ(app->GetTitle(), frame->windowTitle());
  EXPECT_TRUE(rec.shown.empty());
}

TEST_F(AppTest, StoredValuesAndTheirEdgeCases) {
  {
    QSettings store = Store();
    store.beginGroup("Rain");
    store.setValue("Tip_Size", "0.5");
    store.setValue("Time_Start", "7:5:3");
    store.setValue("Time_End", "18:30:15");
    store.setValue("Diameter Min", "0.3");
    store.setValue("Diameter Max", "abc");
    store.setValue("Velocity Min", "1.5");
    store.setValue("Velocity Max", "12.25xyz");
    store.setValue("Oblateness Min", "");
    store.setValue("Oblateness Max", "1.5");
    store.setValue("Window Title", "Station B");
    store.setValue("Hyd-Type", "2");
  }
  Start();
  const FilterSettings s = app->GetStoredFilter();
  EXPECT_FLOAT_EQ(s.tipSize, 0.5f);
  EXPECT_EQ(s.startTime.hour, 7);
  EXPECT_EQ(s.startTime.minute, 0);
  EXPECT_EQ(s.startTime.second, 0);
  EXPECT_EQ(s.endTime.Seconds(), (18 * 60 + 30) * 60 + 15);
  // Text that is not a number, empty text too, falls back to that key's default.
  EXPECT_FLOAT_EQ(s.diamMin, 0.3f);
  EXPECT_EQ(s.diamMax, 50.0f);
  ASSERT_EQ(rec.shown.size(), 1u);
  EXPECT_NE(rec.shown[0].find("(Diameter Max, Oblateness Min)"), std::string::npos) << rec.shown[0];
  EXPECT_FLOAT_EQ(s.velMin, 1.5f);
  EXPECT_FLOAT_EQ(s.velMax, 12.25f);
  EXPECT_EQ(s.oblMin, 0.0f);
  EXPECT_EQ(s.windowTitle, "Station B");
  EXPECT_EQ(s.dropType, 2);
  EXPECT_TRUE(frame->windowTitle().endsWith("   Station B"));
}

TEST_F(AppTest, SaveWritesElevenKeysWithOneDecimal) {
  Start();
  FilterSettings values = app->GetStoredFilter();
  values.tipSize = 0.04f;
  values.diamMax = 7.26f;
  values.velMin = 0.26f;
  values.startTime.hour = 5;
  values.startTime.minute = 7;
  values.startTime.second = 9;
  values.dropType = 3;
  values.windowTitle = "";
  values.maxPixA = 300; // pixel ranges are not stored
  app->TakeOptions(values);

  QSettings store = Store();
  store.beginGroup("Rain");
  EXPECT_EQ(store.childKeys().size(), 11);
  EXPECT_EQ(store.value("Tip_Size").toString(), "0.0");
  EXPECT_EQ(store.value("Diameter Max").toString(), "7.3");
  EXPECT_EQ(store.value("Velocity Min").toString(), "0.3");
  EXPECT_EQ(store.value("Time_Start").toString(), "05:07:09");
  EXPECT_EQ(store.value("Time_End").toString(), "23:59:59");
  EXPECT_EQ(store.value("Hyd-Type").toString(), "3");
  EXPECT_EQ(store.value("Window Title").toString(), "");
  EXPECT_FALSE(store.contains("Max PixelA"));

  // The document works with the new filter at once.
  FilterRecord docFilter;
  doc->GetFilterSettings(docFilter);
  EXPECT_EQ(docFilter.startTime.Seconds(), (5 * 60 + 7) * 60 + 9);
  EXPECT_EQ(docFilter.dropType, 3);

  // A second start loads what was saved: 0.04 became 0.
  app.reset();
  Start();
  const FilterSettings loaded = app->GetStoredFilter();
  EXPECT_EQ(loaded.tipSize, 0.0f);
  EXPECT_FLOAT_EQ(loaded.diamMax, 7.3f);
  EXPECT_EQ(loaded.windowTitle, "");
  EXPECT_EQ(loaded.maxPixA, 511);
  EXPECT_EQ(loaded.dropType, 3);
}

TEST_F(AppTest, TheVelocityCheckIsStoredInItsOwnSection) {
  Start();
  FilterSettings values = app->GetStoredFilter();
  EXPECT_FALSE(values.velocityQc.On()) << "off on a first start";
  app->TakeOptions(values);
  EXPECT_FALSE(Store().childGroups().contains("Velocity QC")) << "the store as it always was";

  values.velocityQc.mode = VelocityQc::Mode::Fraction;
  values.velocityQc.fraction = 0.35;
  app->TakeOptions(values);
  {
    QSettings store = Store();
    EXPECT_EQ(store.value("Velocity QC/Enabled").toString(), "1");
    EXPECT_EQ(store.value("Velocity QC/Fraction").toString(), "0.35");
    store.beginGroup("Rain");
    EXPECT_EQ(store.childKeys().size(), 11);
  }
  FilterRecord docFilter;
  doc->GetFilterSettings(docFilter);
  EXPECT_EQ(docFilter.velocityQc, values.velocityQc) << "the document checks at once";

  app.reset();
  Start();
  EXPECT_EQ(app->GetStoredFilter().velocityQc, values.velocityQc);

  // Switched off it stays off, at its fraction; a fraction that is no number is not taken.
  values.velocityQc.mode = VelocityQc::Mode::Off;
  app->TakeOptions(values);
  EXPECT_EQ(Store().value("Velocity QC/Enabled").toString(), "0");
  {
    QSettings store = Store();
    store.setValue("Velocity QC/Enabled", "1");
    store.setValue("Velocity QC/Fraction", "x");
  }
  app.reset();
  Start();
  EXPECT_FALSE(app->GetStoredFilter().velocityQc.On());
  EXPECT_EQ(app->GetStoredFilter().velocityQc.fraction, VelocityQc::DEFAULT_FRACTION);
}

TEST_F(AppTest, NewWindowTitleReplacesEveryOccurrence) {
  {
    QSettings store = Store();
    store.setValue("Rain/Window Title", "A");
  }
  Start();
  const std::string data = Path("Alpha.hyd");
  WriteTinyDay(data, {6 * 3600 + 1}, "BAD.hyd");
  ASSERT_TRUE(app->OpenFile(QString::fromStdString(data)));
  EXPECT_EQ(frame->windowTitle(), "NIMBAL   PLUVICAM   BAD   2026/06/01   A");

  FilterSettings values = app->GetStoredFilter();
  values.windowTitle = "B";
  app->TakeOptions(values);
  // Every "A" goes, also those of the fixed words and the file name.
  EXPECT_EQ(frame->windowTitle(), "NIMBBL   PLUVICBM   BBD   2026/06/01   B");
  EXPECT_EQ(app->GetTitle(), frame->windowTitle());

  // The same title again changes nothing; from an empty one the new one is appended.
  app->TakeOptions(values);
  EXPECT_EQ(frame->windowTitle(), "NIMBBL   PLUVICBM   BBD   2026/06/01   B");
  values.windowTitle = "";
  app->TakeOptions(values);
  EXPECT_EQ(frame->windowTitle(), "NIML   PLUVICM   D   2026/06/01   ");
  values.windowTitle = "North";
  app->TakeOptions(values);
  EXPECT_EQ(frame->windowTitle(), "NIML   PLUVICM   D   2026/06/01   North");
}

TEST_F(AppTest, UnusableStoredValuesFallBackAndTheFileIsKept) {
  QString fileName;
  {
    QSettings store = Store();
    fileName = store.fileName();
    store.beginGroup("Rain");
    store.setValue("Tip_Size", "inf");
    store.setValue("Time_Start", "99:99:99");
    store.setValue("Time_End", "12:00:00");
    store.setValue("Velocity Min", "nan");
    store.setValue("Velocity Max", "12");
    store.setValue("Oblateness Max", "7");
    store.setValue("Hyd-Type", "9");
    store.setValue("Diameter Min", "1.5");
  }
  Start();
  const FilterSettings s = app->GetStoredFilter();
  EXPECT_EQ(s.startTime.Seconds(), 0);
  EXPECT_EQ(s.endTime.Seconds(), 12 * 3600) << "usable values stay";
  EXPECT_EQ(s.velMin, 0.0f);
  EXPECT_EQ(s.velMax, 12.0f) << "only the key that is bad falls back";
  EXPECT_EQ(s.oblMax, 2.0f);
  EXPECT_EQ(s.dropType, 0);
  EXPECT_FLOAT_EQ(s.tipSize, 0.2f);
  EXPECT_FLOAT_EQ(s.diamMin, 1.5f);
  ASSERT_EQ(rec.shown.size(), 1u) << "one message for all";
  EXPECT_NE(rec.shown[0].find("(Tip_Size, Time_Start, Oblateness Max, Velocity Min, Hyd-Type)"),
            std::string::npos)
      << rec.shown[0];
  QFile bad(fileName + ".bad");
  ASSERT_TRUE(bad.open(QIODevice::ReadOnly)) << "the old file is kept";
  EXPECT_TRUE(bad.readAll().contains("99:99:99"));
}

TEST_F(AppTest, CorruptStoreIsKeptBeforeItIsRewritten) {
  QString fileName = Store().fileName();
  QDir().mkpath(QFileInfo(fileName).path());
  {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Rain\nTime_Start=07:00:00\n\x01\x02=\xff\xfe[[[\n");
  }
  Start();
  QFile bad(fileName + ".bad");
  EXPECT_TRUE(bad.exists());
  EXPECT_EQ(rec.shown.size(), 1u);
}

TEST_F(AppTest, EveryKeyWithABadValueIsNamedAndFallsBack) {
  struct Case {
    const char *key;
    const char *value;
    std::function<bool(const FilterSettings &)> isDefault;
  };
  const Case cases[] = {
      {"Tip_Size", "1e400", [](const FilterSettings &s) { return s.tipSize == 0.2f; }},
      {"Tip_Size", "nan", [](const FilterSettings &s) { return s.tipSize == 0.2f; }},
      {"Time_Start", "zz", [](const FilterSettings &s) { return s.startTime.Seconds() == 0; }},
      {"Time_End", "zz", [](const FilterSettings &s) { return s.endTime.Seconds() == 86399; }},
      {"Time_End", "25:00:00",
       [](const FilterSettings &s) { return s.endTime.Seconds() == 86399; }},
      {"Diameter Min", "-1", [](const FilterSettings &s) { return s.diamMin == 0.0f; }},
      {"Diameter Max", "1e400", [](const FilterSettings &s) { return s.diamMax == 50.0f; }},
      {"Oblateness Min", "abc", [](const FilterSettings &s) { return s.oblMin == 0.0f; }},
      {"Oblateness Max", "inf", [](const FilterSettings &s) { return s.oblMax == 2.0f; }},
      {"Velocity Min", "-nan", [](const FilterSettings &s) { return s.velMin == 0.0f; }},
      {"Velocity Max", "1e400", [](const FilterSettings &s) { return s.velMax == 30.0f; }},
      {"Hyd-Type", "65536", [](const FilterSettings &s) { return s.dropType == 0; }},
      {"Hyd-Type", "x", [](const FilterSettings &s) { return s.dropType == 0; }},
  };
  const QString fileName = Store().fileName();
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    app.reset();
    rec.shown.clear();
    QFile::remove(fileName);
    {
      QSettings store = Store();
      store.setValue(QStringLiteral("Rain/") + c.key, QString::fromLatin1(c.value));
    }
    Start();
    EXPECT_TRUE(c.isDefault(app->GetStoredFilter()));
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_NE(rec.shown[0].find(std::string("(") + c.key + ")"), std::string::npos) << rec.shown[0];
    QFile bad(fileName + ".bad");
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_TRUE(bad.readAll().contains(c.value));
  }
}

TEST_F(AppTest, AStoreThatIsNoSettingsFileIsSetAsideAtOnce) {
  const QString fileName = Store().fileName(); // while there is none: nothing is read
  const std::string name = fileName.toStdString();
  QDir().mkpath(QFileInfo(fileName).path());
  const std::vector<std::pair<const char *, std::function<bool()>>> kinds = {
      {"is not a regular file", [&] { return ::mkfifo(name.c_str(), 0600) == 0; }},
      {"is not a regular file", [&] { return ::symlink("/dev/zero", name.c_str()) == 0; }},
      {"more than settings ever take",
       [&] {
         QFile big(fileName);
         return big.open(QIODevice::WriteOnly) && big.write("[Rain]\nTip_Size=0.5\n") > 0 &&
                big.resize(CPluvicamApp::MAX_STORE_SIZE + 1);
       }},
  };
  for (const auto &[said, make] : kinds) {
    SCOPED_TRACE(said);
    app.reset();
    rec.shown.clear();
    QFile::remove(fileName);
    QFile::remove(fileName + ".bad");
    ASSERT_TRUE(make());
    Start();
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_NE(rec.shown[0].find(said), std::string::npos) << rec.shown[0];
    EXPECT_NE(rec.shown[0].find("kept as " + name + ".bad"), std::string::npos) << rec.shown[0];
    EXPECT_FLOAT_EQ(app->GetStoredFilter().tipSize, 0.2f);
    // The next save writes a settings file of its own.
    app->TakeOptions(app->GetStoredFilter());
    EXPECT_TRUE(QFileInfo(fileName).isFile());
    EXPECT_FALSE(QFileInfo(fileName).isSymLink());
  }
}
