// The drop view: the particle panel's states and stepping, the enlarged particle views, the
// correction switch, the text export and the classification dialog.
#include "ViewTestSupport.h"
#include "document/CHydDataHandler.h"
#include "particle/CContour.h"
#include "statistics/InfoTexts.h"
#include "statistics/ParticleText.h"
#include "synth/DayGenerator.h"
#include "views/CBigInfoView.h"
#include "views/CBigParticleView.h"
#include "views/CParticleCtrlPanel.h"
#include "views/ClassifyDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

using namespace viewtest;

namespace {

const QColor DARK_RED(192, 0, 0), DARK_BLUE(0, 0, 192), GREEN(0, 192, 0), YELLOW(255, 255, 0),
    GREY(128, 128, 128), WHITE(255, 255, 255), RED(255, 0, 0);
const QSize VIEW_SIZE(500, 600);

std::string FileText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The drop view's panes in one window, as the enlarged frame holds them.
struct DropFrame {
  explicit DropFrame(CPluvicamDoc *doc, UserMessages *messages) {
    info = new CBigInfoView(doc, &window);
    info->SetKind(BigKind::DropView);
    panel = new CParticleCtrlPanel(doc, messages, &window);
    front = new CBigParticleView(doc, 0, &window);
    side = new CBigParticleView(doc, 1, &window);
    panel->Attach({front, side}, info);
    front->resize(VIEW_SIZE);
    side->resize(VIEW_SIZE);
    window.show();
  }
  QPushButton *Button(int id) const { return panel->findChild<QPushButton *>(QString::number(id)); }
  // Which of the seven buttons are enabled, as a string of 0 and 1 in id order.
  std::string Enabled() const {
    std::string s;
    for (int id = CParticleCtrlPanel::IDC_STEP_PLUS; id <= CParticleCtrlPanel::IDC_CORRECTION; ++id)
      s += Button(id)->isEnabled() ? '1' : '0';
    return s;
  }

  QWidget window;
  CBigInfoView *info;
  CParticleCtrlPanel *panel;
  CBigParticleView *front;
  CBigParticleView *side;
};

// Hears of new main headers, which the document reports in the middle of a read.
class MidStep : public DocumentListener {
public:
  std::function<void()> onHeader;
  void OnPixelBounds(int) override {
    if (onHeader)
      onHeader();
  }
};

} // namespace

class DropViewTest : public ViewTest {
protected:
  // Big drops pass a 1 mm minimum, small ones do not.
  void OpenWithMinimum() {
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.endTime.hour = 24;
    f.diamMin = 1.0f;
    doc.SetFilterSettings(f);
    std::string message;
    ASSERT_EQ(doc.OpenHydFile(Path("day1.hyd"), &message), 1) << message;
  }
  double Seconds() const {
    const HydRecord *r = doc.GetHydHeader();
    return r ? r->tim / r->mainHeader->lineFrequency : -1;
  }
};

TEST_F(DropViewTest, StepsStopOnTheNextAcceptedParticleInEachDirection) {
  WriteDay({Drop(6 * 3600 + 10, 2.5), Drop(6 * 3600 + 11, 0.5), Drop(6 * 3600 + 12, 0.5),
            Drop(6 * 3600 + 13, 3.0), Drop(6 * 3600 + 14, 0.5)});
  OpenWithMinimum();
  DropFrame f(&doc, &messages);
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);
  EXPECT_EQ(f.Enabled(), "1111111") << "a rain file: everything";

  f.panel->OnStepPlus();
  EXPECT_NEAR(Seconds(), 6 * 3600 + 10, 0.01);
  f.panel->OnStepPlus();
  EXPECT_NEAR(Seconds(), 6 * 3600 + 13, 0.01) << "the two small drops are passed over";
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);
  EXPECT_EQ(f.Enabled(), "1111111");
  EXPECT_EQ(f.Button(1077)->text(), "Step +");
  int valid = 0;
  ASSERT_NE(doc.GetContour(Camera::A, &valid), nullptr);
  EXPECT_EQ(valid, 1) << "contours after an accepted step";
  EXPECT_EQ(f.info->TextAt(565, 95), info::Format("%.2f m/s", double(doc.GetHydHeader()->velocity)))
      << "the record table follows";

  f.panel->OnStepMinus();
  EXPECT_NEAR(Seconds(), 6 * 3600 + 10, 0.01);
  EXPECT_EQ(f.Button(1078)->text(), "Step -");
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);

  // Backwards from the first particle of the file that particle comes again.
  f.panel->OnStepMinus();
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);

  f.panel->OnStepPlus();
  f.panel->OnStepPlus();
  f.panel->OnStepPlus();
  EXPECT_EQ(doc.GetStatus(), CPluvicamDoc::statusEndOfFile);
  EXPECT_TRUE(messages.texts.empty()) << "the end of the file is no error";
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);
}

TEST_F(DropViewTest, StatesWhileSteppingAndStop) {
  // Small drops before and after a second main header: the document reports the header in the
  // middle of the step, where the panel's state can be seen and Stop pressed.
  std::vector<synth::RainDrop> drops;
  for (int i = 0; i < 6; ++i)
    drops.push_back(Drop(6 * 3600 + 10 + i, 0.5));
  drops.push_back(Drop(6 * 3600 + 30, 2.5));
  WriteDay(drops, 3);
  OpenWithMinimum();
  DropFrame f(&doc, &messages);
  MidStep listener;
  doc.AddListener(&listener);
  std::vector<std::string> seen;
  listener.onHeader = [&] {
    seen.push_back(std::to_string(f.panel->GetState()) + " " + f.Enabled() + " " +
                   f.Button(1077)->text().toStdString() + " " +
                   f.Button(1078)->text().toStdString());
    f.Button(f.panel->GetState() == 0 ? 1077 : 1078)->click(); // Stop
  };
  f.panel->OnStepPlus();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "0 1000000 Stop Step -");
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);
  EXPECT_EQ(f.Enabled(), "1111111");
  EXPECT_EQ(f.Button(1077)->text(), "Step +");
  // The header is met behind the third drop, whose read is the one that was stopped.
  EXPECT_NEAR(Seconds(), 6 * 3600 + 12, 0.01);
  EXPECT_EQ(doc.GetStatus(), CPluvicamDoc::statusRejected);
  EXPECT_TRUE(f.front->Texts().empty()) << "a passed-over drop is not shown";

  // Backwards across the header again.
  seen.clear();
  f.panel->OnStepPlus();
  EXPECT_NEAR(Seconds(), 6 * 3600 + 30, 0.01);
  f.panel->OnStepMinus();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "1 0100000 Step + Stop");
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);
  doc.RemoveListener(&listener);
}

TEST_F(DropViewTest, ParticleViewsDrawOutlinesTextsAndTheCorrection) {
  // A drop drifting sideways: its silhouettes are sheared.
  WriteDay({Drop(6 * 3600 + 10, 3.0, 7.0, 2.0, -1.5)});
  OpenWithMinimum();
  DropFrame f(&doc, &messages);
  f.panel->OnStepPlus();
  ASSERT_EQ(doc.GetStatus(), CPluvicamDoc::statusAccepted);
  const HydRecord &r = *doc.GetHydHeader();

  QImage a = f.front->Image(), b = f.side->Image();
  EXPECT_GT(CountColour(a, a.rect(), DARK_RED), 20);
  EXPECT_EQ(CountColour(a, a.rect(), DARK_BLUE), 0);
  EXPECT_GT(CountColour(b, b.rect(), DARK_BLUE), 20);
  EXPECT_GT(CountColour(a, a.rect(), RED), 0) << "title";
  EXPECT_GT(CountColour(a, a.rect(), YELLOW), 0) << "axis";
  EXPECT_GT(CountColour(a, a.rect(), GREY), 0) << "chord halves";
  EXPECT_GT(CountColour(a, a.rect(), WHITE), 0);
  EXPECT_EQ(CountColour(a, a.rect(), GREEN), 0) << "no width line while the display is off";
  EXPECT_EQ(f.front->TextAt(10, 1400),
            QString::asprintf("height           %.2f mm   ", double(r.heightA)));
  EXPECT_EQ(f.side->TextAt(10, 1340),
            QString::asprintf("width            %.2f mm   ", double(r.widthB)));
  EXPECT_TRUE(f.front->TextAt(10, 1220).startsWith("horiz. velocity  "));
  EXPECT_TRUE(f.front->TextAt(800, 1500).isEmpty());
  const auto chordsOff = f.front->CorrectionLines();

  // Corr - ON: the shear is applied, the second column and the width line appear.
  f.panel->OnCorrection();
  EXPECT_EQ(f.Button(1083)->text(), "Corr - OFF");
  EXPECT_TRUE(f.panel->IsCorrectionOn());
  EXPECT_TRUE(f.front->CorrectionDisplay());
  EXPECT_EQ(f.panel->GetState(), CParticleCtrlPanel::IDLE);
  ASSERT_EQ(r.corrFlagsA, 0);
  a = f.front->Image();
  EXPECT_GT(CountColour(a, a.rect(), GREEN), 0);
  EXPECT_EQ(f.front->TextAt(800, 1500), "SYMM. CORR.");
  EXPECT_EQ(f.front->TextAt(800, 1460), QString::asprintf("(rms = %hd um)  ", r.rmsA));
  EXPECT_EQ(f.front->TextAt(800, 1400), QString::asprintf("%5.2f mm   ", double(r.corrHeightA)));
  EXPECT_EQ(f.side->TextAt(800, 1340), QString::asprintf("%5.2f mm   ", double(r.corrWidthB)));
  EXPECT_EQ(f.front->TextAt(10, 1160), "canting                      ");
  EXPECT_EQ(f.front->TextAt(800, 1160), QString::asprintf("%5.2f deg  ", double(r.cantingA)));
  EXPECT_NE(doc.GetContour(Camera::A)->GetShear(), 0.0f);
  EXPECT_NE(f.front->CorrectionLines().size(), 0u);
  bool moved = false;
  for (size_t i = 0; i < std::min(chordsOff.size(), f.front->CorrectionLines().size()); ++i)
    moved |= chordsOff[i].line != f.front->CorrectionLines()[i].line;
  EXPECT_TRUE(moved) << "the sheared contour gives other chords";

  // A correction that failed names its reasons in their fixed order, one a row, and draws no
  // chords.
  doc.GetHydHeader()->corrFlagsA = 0xF0;
  f.front->OnNewParticle();
  EXPECT_EQ(f.front->TextAt(800, 1460), "non poss.");
  EXPECT_EQ(f.front->TextAt(800, 1400), "buffer overflow");
  EXPECT_EQ(f.front->TextAt(800, 1340), "no minimum found");
  EXPECT_EQ(f.front->TextAt(800, 1280), "no solution found");
  EXPECT_EQ(f.front->TextAt(800, 1220), "orthogon. error");
  EXPECT_TRUE(f.front->CorrectionLines().empty());
  EXPECT_TRUE(f.front->TextAt(800, 1160).isEmpty());
  doc.GetHydHeader()->corrFlagsA = 0x20;
  f.front->OnNewParticle();
  EXPECT_EQ(f.front->TextAt(800, 1460), "non poss.");
  EXPECT_EQ(f.front->TextAt(800, 1400), "no solution found");
  // In the pane of a 1000 x 700 frame the reason stays whole: nothing of it at the right edge.
  f.front->resize(497, 556);
  const QImage failed = f.front->Image();
  const QPoint rowTop = f.front->DevicePixel({800, 1410}),
               rowBottom = f.front->DevicePixel({800, 1350});
  EXPECT_GT(CountColour(failed, QRect(rowTop, QPoint(failed.width() - 1, rowBottom.y())), DARK_RED),
            20);
  EXPECT_EQ(CountColour(failed,
                        QRect(QPoint(failed.width() - 3, rowTop.y()),
                              QPoint(failed.width() - 1, rowBottom.y())),
                        DARK_RED),
            0);
  f.front->resize(VIEW_SIZE);

  // Corr - OFF: rebuilt unsheared, the column goes.
  f.panel->OnCorrection();
  EXPECT_EQ(f.Button(1083)->text(), "Corr - ON");
  EXPECT_FALSE(f.front->CorrectionDisplay());
  EXPECT_EQ(doc.GetContour(Camera::A)->GetShear(), 0.0f);
  EXPECT_TRUE(f.front->TextAt(800, 1500).isEmpty());
  a = f.front->Image();
  EXPECT_EQ(CountColour(a, a.rect(), GREEN), 0);
  ASSERT_EQ(f.front->CorrectionLines().size(), chordsOff.size());
  EXPECT_EQ(f.front->CorrectionLines().front().line, chordsOff.front().line);

  // The correction stays on for the following steps.
  f.panel->OnCorrection();
  EXPECT_TRUE(f.front->CorrectionDisplay());
  EXPECT_TRUE(messages.texts.empty());

  // 100 logical units per mm at zoom 1, 20 at zoom 5.
  const QRectF one = f.side->Outline().boundingRect();
  EXPECT_NEAR(one.width(), 100 * (r.maxPosB - r.minPosB + 1) * r.scaleSysB, 60);
  doc.SetViewFactor(5);
  f.side->OnNewParticle();
  EXPECT_NEAR(f.side->Outline().boundingRect().width(), one.width() / 5, 2);
  doc.SetViewFactor(1);
}

TEST_F(DropViewTest, AsciiAppendsTheBlockBesideTheDataFile) {
  WriteDay({Drop(6 * 3600 + 10, 2.5, 6.5, 1.0)});
  OpenWithMinimum();
  DropFrame f(&doc, &messages);
  f.panel->OnAscii();
  EXPECT_EQ(messages.texts, std::vector<std::string>{"no valid hyd-data available"});
  messages.texts.clear();

  f.panel->OnStepPlus();
  f.panel->OnAscii();
  f.panel->OnAscii();
  EXPECT_EQ(messages.texts,
            std::vector<std::string>(2, "Particle data appended to " + Path("day1.txt")));
  messages.texts.clear();
  std::string block;
  ASSERT_EQ(BuildParticleText(doc, &block), 1);
  EXPECT_EQ(block.rfind("time           = 06:00:10.", 0), 0u) << block;
  EXPECT_NE(block.find("\nSystem A (front view)     Corr.: 0.00 mm\nLine  1: "), std::string::npos);
  EXPECT_EQ(FileText(Path("day1.txt")), block + block);

  // A text file that cannot be opened: the reason, with the file.
  std::filesystem::remove(Path("day1.txt"));
  std::filesystem::create_directory(Path("day1.txt"));
  f.panel->OnAscii();
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Could not open textfile because: " +
                                                     Path("day1.txt") + " is a directory"});
}

TEST_F(DropViewTest, WithoutDocumentEveryButtonSaysSo) {
  CParticleCtrlPanel panel(nullptr, &messages);
  panel.OnAscii();
  panel.OnClassify();
  panel.OnStepPlus();
  panel.OnCorrection();
  EXPECT_EQ(messages.texts,
            (std::vector<std::string>{"CParticleCtrlPanel::OnPartAscii: pDoc = NULL",
                                      "CParticleCtrlPanel::OnPartClassify: document = NULL"}));
  EXPECT_EQ(panel.GetState(), CParticleCtrlPanel::IDLE);
}

TEST_F(DropViewTest, ClassifyWritesOnlyTheClassWord) {
  WriteDay({Drop(6 * 3600 + 10, 2.5), Drop(6 * 3600 + 12, 3.0)});
  OpenWithMinimum();
  DropFrame f(&doc, &messages);
  f.panel->OnClassify();
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Error: no valid hyd-data available"});
  messages.texts.clear();
  f.panel->OnStepPlus();
  f.panel->OnStepPlus();
  const int32_t start = doc.GetHydHeader()->startPos;
  const std::string before = FileText(Path("day1.hyd"));

  // Answers the dialog once it is open: checks the selection, picks `pick`, presses `button`.
  auto answer = [](int expectSelected, int pick, int button) {
    QTimer::singleShot(0, [=] {
      auto *dialog = qobject_cast<ClassifyDialog *>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), "Classify Particle");
      EXPECT_EQ(dialog->GetClass(), expectSelected);
      dialog->findChild<QRadioButton *>(QString::number(1083 + pick))->click();
      dialog->findChild<QPushButton *>(QString::number(button))->click();
    });
  };
  answer(0, 4, ClassifyDialog::IDCANCEL);
  f.panel->OnClassify();
  EXPECT_EQ(FileText(Path("day1.hyd")), before) << "Cancel changes nothing";

  answer(0, 6, ClassifyDialog::IDOK);
  f.panel->OnClassify();
  EXPECT_TRUE(messages.texts.empty());
  const std::string after = FileText(Path("day1.hyd"));
  ASSERT_EQ(after.size(), before.size());
  std::vector<size_t> changed;
  for (size_t i = 0; i < after.size(); ++i)
    if (after[i] != before[i])
      changed.push_back(i);
  ASSERT_FALSE(changed.empty());
  EXPECT_GE(changed.front(), size_t(start + 2));
  EXPECT_LE(changed.back(), size_t(start + 3)) << "only the class word";
  EXPECT_EQ(f.info->TextAt(565, 133), "invalid") << "the record table shows the new class";

  // Read back from the file: the dialog opens with Invalid selected.
  f.panel->OnStepMinus();
  f.panel->OnStepPlus();
  EXPECT_EQ(doc.GetHydHeader()->dropType, 6);
  answer(6, 1, ClassifyDialog::IDOK);
  f.panel->OnClassify();
  EXPECT_EQ(doc.GetHydHeader()->dropType, 1);
}

TEST_F(DropViewTest, SnowFilesHaveNoAsciiAndNoCorrection) {
  synth::DayOptions options;
  options.outDir = dir.string();
  options.name = "snow";
  options.snow = true;
  options.hours = 0.05;
  options.particles = 40;
  synth::GenerateDay(options);
  FilterRecord filter = FilterRecord::DocumentDefaults();
  filter.endTime.hour = 24;
  doc.SetFilterSettings(filter);
  std::string message;
  ASSERT_EQ(doc.OpenHydFile(Path("snow.sno"), &message), 1) << message;
  DropFrame f(&doc, &messages);
  EXPECT_EQ(f.Enabled(), "1111100");
  f.panel->OnCorrection();
  f.panel->OnAscii();
  EXPECT_EQ(messages.texts, std::vector<std::string>(2, "This function is not available for "
                                                        "sno-data."));
  EXPECT_EQ(f.Button(1083)->text(), "Corr - ON");
  f.panel->OnStepPlus();
  ASSERT_EQ(doc.GetStatus(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(f.Enabled(), "1111100");
  const QImage a = f.front->Image();
  EXPECT_GT(CountColour(a, a.rect(), DARK_RED), 5) << "segment strokes";
  EXPECT_FALSE(f.front->TextAt(10, 1400).isEmpty());
  EXPECT_TRUE(f.front->TextAt(10, 1280).isEmpty()) << "height/width is for rain only";
  EXPECT_FALSE(std::filesystem::exists(Path("snow.txt")));
}
