// The record tables: the small one beside the particle views, the big one of the enlarged frames.
#include "ViewTestSupport.h"
#include "document/CHydDataHandler.h"
#include "views/CBigInfoView.h"
#include "views/CSmallInfoView.h"

#include <memory>

using namespace viewtest;

namespace {

const QColor BLACK(0, 0, 0), DARK_RED(192, 0, 0);
const QSize SIZE(400, 300);

QRect DeviceRect(QPointF org, QSizeF ext, QRectF logical) {
  return QRect(Device(org, ext, SIZE, logical.topLeft()),
               Device(org, ext, SIZE, logical.bottomRight()));
}

class RecordTables : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    WriteDay({Drop(6 * 3600 + 10, 2.0, 6.5, 0, -1.5), Drop(6 * 3600 + 30, 1.0)});
    Open();
    small = std::make_unique<CSmallInfoView>(&doc);
    small->resize(SIZE);
    small->show();
  }
  int BlackIn(QRectF logical) {
    return CountColour(small->Image(), DeviceRect({0, 0}, {1000, 1100}, logical), BLACK);
  }
  std::unique_ptr<CSmallInfoView> small;
};

TEST_F(RecordTables, SmallTableShowsTheParticle) {
  EXPECT_GT(BlackIn(CSmallInfoView::LabelCell(0)), 0) << "the label \"Time\"";
  EXPECT_EQ(BlackIn(CSmallInfoView::ValueCell(1)), 0) << "no values before a particle";
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  const HydRecord &r = *doc.GetHydHeader();
  ASSERT_TRUE(small->Rows().has_value());
  const auto &v = small->Rows()->values;
  EXPECT_EQ(v[0].substr(0, 6), "06:00:") << v[0];
  EXPECT_EQ(v[1], info::Format("%5.2f mm", double(r.diameter)));
  EXPECT_EQ(v[5], "----------") << "no wind file";
  EXPECT_EQ(v[6], "----------");
  EXPECT_EQ(v[7], "not class.");
  EXPECT_EQ(small->FileLabel(), "day1 (4)");
  EXPECT_EQ(small->FilePosition(),
            std::to_string(r.startPos) + ":" +
                std::to_string(std::filesystem::file_size(Path("day1.hyd"))));
  EXPECT_TRUE(small->StatusLine().empty());
  EXPECT_GT(BlackIn(CSmallInfoView::ValueCell(1)), 0);
  EXPECT_GT(BlackIn(CSmallInfoView::ValueCell(9)), 0) << "file position";

  // A reset empties the value cells until the next particle.
  doc.NotifyViews(0);
  EXPECT_FALSE(small->Rows().has_value());
  EXPECT_EQ(BlackIn(CSmallInfoView::ValueCell(1)), 0);
  EXPECT_GT(BlackIn(CSmallInfoView::LabelCell(1)), 0) << "labels stay";
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  EXPECT_GT(BlackIn(CSmallInfoView::ValueCell(1)), 0);
}

TEST_F(RecordTables, SmallTableAfterTheEndShowsOnlyTheStatus) {
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(CountColour(small->Image(), small->Image().rect(), DARK_RED), 0);
  ASSERT_EQ(Step(), CPluvicamDoc::statusEndOfFile);
  EXPECT_EQ(small->StatusLine(), "End of file");
  EXPECT_FALSE(small->Rows().has_value());
  EXPECT_GT(CountColour(small->Image(),
                        DeviceRect({0, 0}, {1000, 1100}, CSmallInfoView::StatusCell()), DARK_RED),
            0);
  EXPECT_EQ(BlackIn(CSmallInfoView::ValueCell(1)), 0);
}

TEST_F(RecordTables, SmallTableShowsWhereABadRecordLies) {
  WriteDay({Drop(6 * 3600 + 10, 2.0), Drop(6 * 3600 + 20, 1.5), Drop(6 * 3600 + 30, 1.0)});
  // The second particle's time becomes NaN.
  auto bytes = synth::ReadFile(Path("day1.hyd"));
  const size_t second = 74 + (bytes[74] | (bytes[75] & 0x07) << 8);
  const uint8_t nan[8] = {0, 0, 0, 0, 0, 0, 0xF8, 0x7F};
  std::copy(nan, nan + 8, bytes.begin() + long(second) + 4);
  synth::WriteFile(Path("day1.hyd"), bytes);
  doc.CloseHydFile();
  Open();
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  ASSERT_EQ(Step(), CPluvicamDoc::statusBadRecord);
  EXPECT_EQ(small->StatusLine().rfind("position " + std::to_string(second) + ": ", 0), 0u)
      << small->StatusLine();
  EXPECT_NE(small->StatusLine().find("has no time of the day"), std::string::npos);
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted) << "the next step goes on behind the record";
  EXPECT_TRUE(small->StatusLine().empty());
}

TEST_F(RecordTables, BigTableFixedPartAndKindBlocks) {
  FilterRecord f = FilterRecord::DocumentDefaults();
  f.startTime.hour = 6, f.startTime.minute = 5;
  f.endTime.hour = 7, f.endTime.minute = 30;
  f.diamMax = 8.5f;
  f.minPixB = 12;
  doc.SetFilterSettings(f);
  CBigInfoView big(&doc);
  big.resize(SIZE);
  big.show();
  EXPECT_EQ(big.TextAt(20, 19), "File");
  EXPECT_EQ(big.TextAt(135, 0), "day1.hyd");
  EXPECT_EQ(big.TextAt(530, 0), "06:05 - 07:30");
  EXPECT_EQ(big.TextAt(510, 38), "1/6/2026") << "date of the main header, UTC";
  EXPECT_EQ(big.TextAt(1190, 0), "8.50 mm");
  EXPECT_EQ(big.TextAt(1010, 152), "12");
  EXPECT_EQ(big.TextAt(740, 0), "F");

  // Rain rate: the mode, the particles' total and the gauge's.
  IntegrationSettings &rain = doc.GetIntegrationSettings(IntegrationKind::RainRate);
  rain.result = 1.234f;
  big.Refresh();
  EXPECT_EQ(big.TextAt(210, 133), "Rain (0.05 mm)");
  EXPECT_EQ(big.TextAt(200, 171), "Nimbal: 1.23 mm");
  EXPECT_EQ(big.TextAt(550, 171), "") << "no tip total";
  rain.mode = IntegrationMode::Time;
  rain.gaugeTotal = 0.5f;
  big.Refresh();
  EXPECT_EQ(big.TextAt(210, 133), "Time (15 sec)");
  EXPECT_EQ(big.TextAt(550, 171), "Tip: 0.5 mm");

  // Drop size distribution figures and the interval.
  big.SetKind(BigKind::Dsd);
  EXPECT_EQ(big.TextAt(185, 92), "0.05 mm");
  EXPECT_EQ(big.TextAt(185, 171), "500");
  EXPECT_EQ(big.TextAt(530, 171), "0.25 mm");
  EXPECT_EQ(big.TextAt(120, 38), "") << "no interval yet";
  IntegrationState *state = doc.GetIntegrationState();
  const double lf = doc.GetHandler()->CurrentMainHeader().lineFrequency;
  state->valid = 1;
  state->startTim = (6 * 3600 + 60) * lf + 1;
  state->endTim = (6 * 3600 + 61 * 60 + 5) * lf + 1;
  state->count = 42;
  big.Refresh();
  EXPECT_EQ(big.TextAt(120, 38), "06:01:00-07:01:05");

  big.SetKind(BigKind::Obl);
  EXPECT_EQ(big.TextAt(195, 95), "42");

  // The drop view shows the particle, and the document's message in red after the end.
  big.SetKind(BigKind::DropView);
  FilterRecord all = FilterRecord::DocumentDefaults();
  all.endTime.hour = 24;
  doc.SetFilterSettings(all);
  doc.ResetData();
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(big.TextAt(565, 133), "not class.");
  EXPECT_EQ(big.TextAt(195, 95), info::Format("%.2f mm", double(doc.GetHydHeader()->diameter)));
  Step();
  ASSERT_EQ(Step(), CPluvicamDoc::statusEndOfFile);
  EXPECT_EQ(big.TextAt(20, 170), "End of file");
  EXPECT_GT(
      CountColour(big.Image(),
                  DeviceRect({0, 0}, {1350, 190}, QRectF(QPointF(20, 155), QPointF(400, 185))),
                  DARK_RED),
      0);
}

} // namespace
