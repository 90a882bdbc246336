// Where writers may put their files, and the temporary file they write through.
#include "data/OutputGuard.h"
#include "TempDirTest.h"
#include "data/PartialFile.h"

#include <climits>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Touch(const std::string &path, const std::string &text = "x") {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t FilesIn(const std::filesystem::path &dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir))
    ++n;
  return n;
}

} // namespace

class OutputGuardTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    for (const char *name : {"d.hyd", "d.hd", "d.wd", "d.tip", "d.pix"})
      Touch(Path(name), name);
    guard.AddDataFile(Path("d.hyd"));
  }
  OutputGuard guard;
};

TEST_F(OutputGuardTest, AnInputOrItsCompanionIsRefusedWhateverLinksLeadThere) {
  EXPECT_EQ(guard.Check(Path("d.hyd")),
            Path("d.hyd") + " is the data file " + Path("d.hyd") + " that this run reads");
  EXPECT_EQ(guard.Check(Path("d.hd")), Path("d.hd") + " is the index file " + Path("d.hd") +
                                           " of " + Path("d.hyd") + " that this run reads");
  for (const char *companion : {"d.wd", "d.tip", "d.pix"})
    EXPECT_NE(guard.Check(Path(companion)).find(" of " + Path("d.hyd")), std::string::npos)
        << companion;

  // Another name for the same file: a link, a hard link, a detour through "..".
  std::filesystem::create_symlink(Path("d.hd"), Path("soft.nc"));
  ASSERT_EQ(link(Path("d.wd").c_str(), Path("hard.nc").c_str()), 0);
  std::filesystem::create_directory(Path("sub"));
  EXPECT_NE(guard.Check(Path("soft.nc")).find("the index file"), std::string::npos);
  EXPECT_NE(guard.Check(Path("hard.nc")).find("the wind file"), std::string::npos);
  EXPECT_NE(guard.Check(Path("sub/../d.tip")).find("the tip file"), std::string::npos);

  // Once open, the same holds for the descriptor.
  const int fd = open(Path("soft.nc").c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  EXPECT_NE(guard.CheckOpened(fd, Path("soft.nc")).find("the index file"), std::string::npos);
  close(fd);
}

TEST_F(OutputGuardTest, InstrumentNamesSpecialAndReadOnlyFilesAreRefused) {
  const OutputGuard none;
  // Not an input, but the name of an instrument file, existing or not, in any case.
  for (const char *name : {"other.hyd", "NEW.SNO", "x.shd", "x.Wd", "d.txt.tip"})
    EXPECT_NE(none.Check(Path(name)).find("a name kept for the instrument's own files"),
              std::string::npos)
        << name;
  Touch(Path("e.hd"));
  std::filesystem::create_symlink(Path("e.hd"), Path("to-index.png"));
  std::filesystem::create_symlink(Path("nothing.wd"), Path("dangling.png"));
  EXPECT_NE(none.Check(Path("to-index.png")).find(" leads to "), std::string::npos);
  EXPECT_NE(none.Check(Path("dangling.png")).find(" leads to "), std::string::npos);

  std::filesystem::create_directory(Path("folder"));
  EXPECT_EQ(none.Check(Path("folder")), Path("folder") + " is a directory");
  ASSERT_EQ(mkfifo(Path("fifo.txt").c_str(), 0644), 0);
  EXPECT_EQ(none.Check(Path("fifo.txt")), Path("fifo.txt") + " is not a regular file");
  EXPECT_EQ(none.Check("/dev/null"), "/dev/null is not a regular file");
  const int fd = open(Path("fifo.txt").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(none.CheckOpened(fd, "F"), "F is not a regular file");
  close(fd);

  Touch(Path("ro.nc"));
  chmod(Path("ro.nc").c_str(), 0444);
  EXPECT_EQ(none.Check(Path("ro.nc")), Path("ro.nc") + " is read-only");

  // What may be written: a new name, an earlier product, a link to one.
  Touch(Path("old.nc"));
  std::filesystem::create_symlink(Path("old.nc"), Path("link.nc"));
  for (const char *name : {"new.nc", "old.nc", "link.nc", "d.txt", "CORR_IN.DAT"})
    EXPECT_EQ(guard.Check(Path(name)), "") << name;
}

TEST_F(OutputGuardTest, APartialFileTakesTheNameOnlyWhenCommitted) {
  const std::string target = Path("out.nc");
  Touch(target, "earlier");
  chmod(target.c_str(), 0640);
  std::string error;
  {
    PartialFile file;
    ASSERT_TRUE(file.Create(target, &error)) << error;
    ASSERT_TRUE(file.Write("new", 3, &error)) << error;
    EXPECT_EQ(Read(target), "earlier");
    // Dropped without Commit: the temporary file goes, the earlier one stays.
  }
  EXPECT_EQ(Read(target), "earlier");
  EXPECT_EQ(FilesIn(dir), 6u);

  PartialFile file;
  ASSERT_TRUE(file.Create(target, &error)) << error;
  ASSERT_TRUE(file.Write("new", 3, &error)) << error;
  ASSERT_TRUE(file.Commit(&error)) << error;
  EXPECT_EQ(Read(target), "new");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u) << "the replaced file's permission bits stay";

  // Through a link, the file it leads to is replaced and the link stays.
  std::filesystem::create_symlink(target, Path("link.nc"));
  ASSERT_TRUE(file.Create(Path("link.nc"), &error)) << error;
  ASSERT_TRUE(file.Write("third", 5, &error) && file.Commit(&error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.nc")));
  EXPECT_EQ(Read(target), "third");

  // A name at the file system's limit still finds room for its temporary name.
  const long limit = pathconf(dir.c_str(), _PC_NAME_MAX);
  const std::string longName =
      Path(std::string(size_t(limit > 0 ? limit : NAME_MAX) - 3, 'n') + ".nc");
  ASSERT_TRUE(file.Create(longName, &error)) << error;
  ASSERT_TRUE(file.Write("long", 4, &error) && file.Commit(&error)) << error;
  EXPECT_EQ(Read(longName), "long");

  EXPECT_FALSE(file.Create(Path("missing/out.nc"), &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_EQ(FilesIn(dir), 8u) << "no temporary file is left behind";
}
