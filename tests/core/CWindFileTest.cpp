#include "document/CWindFile.h"
#include "TestFiles.h"

TEST(CWindFileName, BesideTheDataFile) {
  EXPECT_EQ(CWindFile::NameFor("/data/day.hyd"), "/data/day.wd");
  EXPECT_EQ(CWindFile::NameFor("/data/day.x.SNO"), "/data/day.x.wd");
  EXPECT_EQ(CWindFile::NameFor("/data.old/dayhyd"), "/data.old/dayhyd.wd");
}

class CWindFileTest : public TempDirTest {};

TEST_F(CWindFileTest, ReadsRecordsAndTellsTheEndFromErrors) {
  CWindFile wind;
  WindRecord r;
  std::string message;
  EXPECT_EQ(wind.Read(nullptr, &message), -1);
  EXPECT_EQ(message, "CWindFile::Read: windData = NULL");
  EXPECT_EQ(wind.Read(&r, &message), -1);
  EXPECT_EQ(message, "CWindFile::Read: file not opened");
  EXPECT_FALSE(wind.SetPosition(0));

  EXPECT_EQ(wind.Open(Path("none.wd"), &message), 0);
  EXPECT_EQ(message, "Could not open windfile because: No such file or directory");

  // One record and half of another.
  synth::WriteFile(Path("w.wd"), {0x10, 0x27, 90, 0, 5, 0, 0x0C, 0xFE, 1, 2, 3, 4});
  ASSERT_EQ(wind.Open(Path("w.wd"), &message), 1);
  EXPECT_EQ(wind.Open(Path("w.wd"), &message), 0);
  EXPECT_EQ(message, "windfile file already opened!");

  ASSERT_EQ(wind.Read(&r, &message), 1);
  EXPECT_EQ(r.windSpeed, 10000);
  EXPECT_EQ(r.windDirection, 90);
  EXPECT_EQ(r.windExtra, 5);
  EXPECT_EQ(r.temperature, -500);
  EXPECT_EQ(wind.Read(&r, &message), 0) << "a partial record at the end";
  EXPECT_EQ(message, "Windfile: End of file");
  ASSERT_TRUE(wind.SetPosition(800));
  EXPECT_EQ(wind.Read(&r, &message), 0);
  wind.Close();
  EXPECT_FALSE(wind.IsOpen());
}
