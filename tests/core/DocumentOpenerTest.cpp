// How pluvicam-cli's commands open their data file.
#include "CliCommon.h"
#include "DocumentRecorder.h"
#include "TestFiles.h"

using namespace testdata;

class DocumentOpenerTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    AddTinyDrop(w, Tim(6 * 3600 + 10));
    w.Write(Path("d.hyd"), Path("d.hd"));
  }

  DocumentRecorder messages{DocumentRecorder::Scope::ParticlesAndResets};
};

// Only the class write may change the data file, so only it holds the file open for writing.
TEST_F(DocumentOpenerTest, OnlyTheClassWriteOpensTheFileForWriting) {
  const auto reading = cli::OpenDocument(Path("d.hyd"), cli::DocumentSetup{}, messages);
  ASSERT_NE(reading, nullptr);
  EXPECT_EQ(reading->GetFileState(), CPluvicamDoc::fileReadOnly);

  DocumentOptions options;
  options.from = "06:00";
  options.diameter = "0.1:2";
  const auto filtered = cli::OpenDocument(Path("d.hyd"), options, messages);
  ASSERT_NE(filtered, nullptr);
  EXPECT_EQ(filtered->GetFileState(), CPluvicamDoc::fileReadOnly);
  FilterRecord filter;
  filtered->GetFilterSettings(filter);
  EXPECT_EQ(filter.startTime.hour, 6);
  EXPECT_FLOAT_EQ(filter.diamMax, 2.0f);

  const auto writing = cli::OpenDocument(
      Path("d.hyd"), cli::DocumentSetup{.access = cli::FileAccess::WriteClass}, messages);
  ASSERT_NE(writing, nullptr);
  EXPECT_EQ(writing->GetFileState(), CPluvicamDoc::fileReadWrite);
}

// A failure is told once, through the command's messages, and opens nothing.
TEST_F(DocumentOpenerTest, AFailureIsToldOnce) {
  messages.TakeShown();
  const std::string missing = Path("missing.hyd");
  EXPECT_EQ(cli::OpenDocument(missing, cli::DocumentSetup{}, messages), nullptr);
  const std::vector<std::string> alone = messages.TakeShown();
  ASSERT_EQ(alone.size(), 1u);
  EXPECT_EQ(alone[0].rfind("data file " + missing + ": ", 0), 0u) << alone[0];

  // Among the files of a series the failure names its file first.
  EXPECT_EQ(cli::OpenDocument(missing, cli::DocumentSetup{.nameFileInFailure = true}, messages),
            nullptr);
  EXPECT_EQ(messages.TakeShown(), std::vector<std::string>{missing + ": " + alone[0]});

  DocumentOptions backwards;
  backwards.from = "07:00";
  backwards.to = "06:00";
  EXPECT_EQ(cli::OpenDocument(Path("d.hyd"), backwards, messages), nullptr);
  EXPECT_EQ(messages.TakeShown(), std::vector<std::string>{"--to must be later than --from"});
}
