// Every input opener refuses at once what is not a regular file under an input's name: a FIFO
// would block it for ever, a device would be read for ever, a folder read as nothing.
#include "TestFiles.h"
#include "document/CHydDataHandler.h"
#include "document/CWindFile.h"
#include "statistics/TipFile.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace testdata;

class NonRegularFilesTest : public TempDirTest {
protected:
  struct Kind {
    const char *name;
    std::function<bool(const std::string &)> make;
  };
  static std::vector<Kind> Kinds() {
    return {
        {"FIFO", [](const std::string &p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
        {"folder", [](const std::string &p) { return std::filesystem::create_directory(p); }},
        {"link to /dev/zero",
         [](const std::string &p) { return ::symlink("/dev/zero", p.c_str()) == 0; }},
    };
  }
  void WriteDay() {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    AddTinyDrop(w, Tim(6 * 3600 + 1));
    w.Write(Path("d.hyd"), Path("d.hd"));
  }
  std::string HandlerFailure(const std::string &path) {
    CHydDataHandler handler;
    CHydException e;
    EXPECT_EQ(handler.Open(path, CInputFile::modeReadWrite, &e), 0);
    return e.message;
  }
};

TEST_F(NonRegularFilesTest, EveryOpenerRefusesThemWithItsMessage) {
  for (const Kind &kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    WriteDay();
    const std::string data = Path("s.hyd");
    ASSERT_TRUE(kind.make(data));
    EXPECT_EQ(HandlerFailure(data), "data file " + data + " is not a regular file");

    std::filesystem::remove(Path("d.hd"));
    ASSERT_TRUE(kind.make(Path("d.hd")));
    EXPECT_EQ(HandlerFailure(Path("d.hyd")),
              "index file " + Path("d.hd") + " is not a regular file");

    const std::string wind = Path("d.wd");
    ASSERT_TRUE(kind.make(wind));
    CWindFile windFile;
    std::string message;
    EXPECT_EQ(windFile.Open(wind, &message), 0);
    EXPECT_EQ(message, "Could not open windfile because: " + wind + " is not a regular file");

    const std::string tip = Path("d.tip");
    ASSERT_TRUE(kind.make(tip));
    TipFileResult tips;
    EXPECT_EQ(ReadTipFile(tip, tips, &message), 0);
    EXPECT_EQ(message, "Could not open tip-file because:" + tip + " is not a regular file");

    for (const char *name : {"s.hyd", "d.hd", "d.wd", "d.tip"})
      std::filesystem::remove(Path(name));
  }
}

TEST_F(NonRegularFilesTest, ATipFileIsReadOnlyUpToItsBound) {
  const std::string tip = Path("d.tip");
  {
    std::ofstream out(tip);
    out << "GAUGE 1.0\nT 10:00:00.00\n";
  }
  // Sparse: no disk is filled, but the size is what a reader would have to hold.
  ASSERT_EQ(::truncate(tip.c_str(), MAX_TIP_FILE_SIZE + 1), 0);
  TipFileResult tips;
  std::string message;
  EXPECT_EQ(ReadTipFile(tip, tips, &message), 0);
  EXPECT_EQ(message, "TIP-file error: the file is larger than 16 MiB !");
  EXPECT_TRUE(tips.tips.empty());
  ASSERT_EQ(::truncate(tip.c_str(), 24), 0);
  EXPECT_EQ(ReadTipFile(tip, tips, &message), 1) << message;
  EXPECT_EQ(tips.tips.size(), 1u);
}
