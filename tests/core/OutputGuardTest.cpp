// What the guard refuses besides the inputs (those are covered through the command line), and
// the temporary file that the writers write through.
#include "data/OutputGuard.h"
#include "TempDirTest.h"
#include "data/PartialFile.h"

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

class OutputGuardTest : public TempDirTest {
protected:
  void Write(const std::string &name, const std::string &text) {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::string Read(const std::string &name) {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  const OutputGuard guard;
};

TEST_F(OutputGuardTest, InstrumentNamesSpecialAndReadOnlyFilesAreRefused) {
  // The name of an instrument's file, existing or not, in any case, or the file a link leads to.
  Write("e.hd", "index");
  std::filesystem::create_symlink(Path("e.hd"), Path("to-index.png"));
  std::filesystem::create_symlink(Path("nothing.wd"), Path("dangling.png"));
  for (const char *name : {"other.hyd", "NEW.SNO", "x.Wd", "e.hd", "to-index.png", "dangling.png"})
    EXPECT_NE(guard.Check(Path(name)).find(", a name kept for the instrument's own files"),
              std::string::npos)
        << name;

  std::filesystem::create_directory(Path("folder"));
  EXPECT_EQ(guard.Check(Path("folder")), Path("folder") + " is a directory");
  ASSERT_EQ(mkfifo(Path("fifo.txt").c_str(), 0644), 0);
  EXPECT_EQ(guard.Check(Path("fifo.txt")), Path("fifo.txt") + " is not a regular file");
  EXPECT_EQ(guard.Check("/dev/null"), "/dev/null is not a regular file");
  const int fd = open(Path("fifo.txt").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(guard.CheckOpened(fd, "F"), "F is not a regular file");
  close(fd);
  Write("ro.nc", "");
  chmod(Path("ro.nc").c_str(), 0444);
  EXPECT_EQ(guard.Check(Path("ro.nc")), Path("ro.nc") + " is read-only");

  Write("old.nc", "");
  for (const char *name : {"new.nc", "old.nc", "d.txt", "CORR_IN.DAT"})
    EXPECT_EQ(guard.Check(Path(name)), "") << name;
}

TEST_F(OutputGuardTest, APartialFileTakesTheNameOnlyWhenCommitted) {
  Write("out.nc", "earlier");
  std::filesystem::create_symlink(Path("out.nc"), Path("link.nc"));
  std::string error;
  {
    PartialFile file;
    ASSERT_TRUE(file.Create(Path("link.nc"), &error)) << error;
    ASSERT_TRUE(file.Write("new", 3, &error)) << error;
    EXPECT_EQ(Read("out.nc"), "earlier");
    // Dropped without Commit: the temporary file goes, the earlier one stays.
  }
  EXPECT_EQ(Read("out.nc"), "earlier");
  PartialFile file;
  ASSERT_TRUE(file.Create(Path("link.nc"), &error)) << error;
  ASSERT_TRUE(file.Write("new", 3, &error) && file.Commit(&error)) << error;
  // Through a link, the file it leads to is replaced and the link stays.
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.nc")));
  EXPECT_EQ(Read("out.nc"), "new");
  EXPECT_FALSE(file.Create(Path("missing/out.nc"), &error));
  EXPECT_EQ(error, "No such file or directory");
  size_t files = 0;
  for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir))
    ++files;
  EXPECT_EQ(files, 2u) << "no temporary file is left behind";
}
