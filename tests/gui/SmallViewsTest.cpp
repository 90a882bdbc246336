// The small views of the main window: frames, and the marks of known particles.
#include "ViewTestSupport.h"
#include "document/CHydDataHandler.h"
#include "particle/CContour.h"
#include "views/CSmallDSDView.h"
#include "views/CSmallFrontView.h"
#include "views/CSmallHVelView.h"
#include "views/CSmallInfoView.h"
#include "views/CSmallOblView.h"
#include "views/CSmallRainIntensityView.h"
#include "views/CSmallSideView.h"
#include "views/CSmallTopView.h"
#include "views/CSmallVVelView.h"
#include "views/SmallViewFactory.h"

#include <memory>

using namespace viewtest;

namespace {

const QColor GREY(192, 192, 192), BLACK(0, 0, 0), RED(255, 0, 0), DARK_RED(192, 0, 0),
    DARK_BLUE(0, 0, 192), YELLOW(255, 255, 0);
const QSize SIZE(400, 300);

// Gives the document one rain-rate interval of 0.1 mm, opened at `start` and, unless `complete`
// is false, completed at `end` (camera lines).
void AddRainInterval(CPluvicamDoc &doc, const MainHeader *header, double start, double end,
                     bool complete = true) {
  HydRecord r;
  r.mainHeader = header;
  r.area = 1;
  r.volume = 0;
  r.tim = start;
  doc.AddRainRate(&r);
  if (!complete)
    return;
  r.volume = 0.1f;
  r.tim = end;
  doc.AddRainRate(&r);
}

template <class View> std::unique_ptr<View> Shown(std::unique_ptr<View> view) {
  view->resize(SIZE);
  view->show();
  return view;
}

// A pane's mapping and where its title and an axis must show.
struct Frame {
  Pane pane;
  QPointF org;
  QSizeF ext;
  QPointF title1, title2; // logical corners
  QPointF axis;           // logical point on an axis line
};

class SmallViewFrames : public ViewTest {};

TEST_F(SmallViewFrames, EveryDiagramDrawsItsTitleAndAxes) {
  const Frame frames[] = {
      {Pane::RainIntensity, {-200, 5500}, {2200, -6000}, {-200, 5500}, {2000, 5000}, {0, 2500}},
      {Pane::Dsd, {-800, 11000}, {9600, -12000}, {-800, 11000}, {8800, 10000}, {0, 3700}},
      {Pane::VVel, {-800, 13200}, {9600, -14400}, {-800, 13200}, {8800, 12000}, {0, 6500}},
      {Pane::HVel, {-3600, 3600}, {7200, -7200}, {-3600, 3600}, {3600, 3000}, {0, 500}},
      {Pane::Obl, {-800, 2200}, {9600, -2400}, {-800, 2200}, {8800, 2000}, {0, 1500}},
      {Pane::Front, {-200, 900}, {1100, -1100}, {-200, 900}, {900, 850}, {-50, 450}},
      {Pane::Side, {-200, 900}, {1100, -1100}, {-200, 900}, {900, 850}, {-50, 450}},
      // Without a file the area is 1024 pixels wide: the filter's maxima plus 1.
      {Pane::Top, {-102.4, 1126.4}, {1228.8, -1228.8}, {1024, 20}, {1126, -80}, {500, -12.8}},
  };
  for (const Frame &f : frames) {
    std::unique_ptr<QWidget> view(CreateSmallView(f.pane, &doc, nullptr));
    ASSERT_NE(view, nullptr);
    view->resize(SIZE);
    const QImage image = view->grab().toImage();
    const QRect title(Device(f.org, f.ext, SIZE, f.title1), Device(f.org, f.ext, SIZE, f.title2));
    EXPECT_GT(CountColour(image, title, RED), 0) << int(f.pane) << ": title in red";
    // A pane whose y labels need more room than the window gives reaches further left.
    const auto *diagram = dynamic_cast<DiagramView *>(view.get());
    ASSERT_NE(diagram, nullptr);
    EXPECT_TRUE(ColourNear(image, diagram->DevicePixel(f.axis), BLACK)) << int(f.pane) << ": axis";
    EXPECT_EQ(QColor(image.pixel(SIZE.width() - 1, SIZE.height() / 2)), GREY)
        << int(f.pane) << ": light grey background";
  }
}

TEST_F(SmallViewFrames, FactoryMakesEachPanesViewAndViewsLeaveTheDocument) {
  const std::pair<Pane, const char *> panes[] = {{Pane::RainIntensity, "CSmallRainIntensityView"},
                                                 {Pane::Dsd, "CSmallDSDView"},
                                                 {Pane::VVel, "CSmallVVelView"},
                                                 {Pane::HVel, "CSmallHVelView"},
                                                 {Pane::Obl, "CSmallOblView"},
                                                 {Pane::Side, "CSmallSideView"},
                                                 {Pane::Top, "CSmallTopView"},
                                                 {Pane::Info, "CSmallInfoView"},
                                                 {Pane::Front, "CSmallFrontView"}};
  const std::size_t before = doc.ListenerCount();
  for (const auto &[pane, name] : panes) {
    QWidget *view = CreateSmallView(pane, &doc, nullptr);
    const bool right =
        (pane == Pane::RainIntensity && dynamic_cast<CSmallRainIntensityView *>(view)) ||
        (pane == Pane::Dsd && dynamic_cast<CSmallDSDView *>(view)) ||
        (pane == Pane::VVel && dynamic_cast<CSmallVVelView *>(view)) ||
        (pane == Pane::HVel && dynamic_cast<CSmallHVelView *>(view)) ||
        (pane == Pane::Obl && dynamic_cast<CSmallOblView *>(view)) ||
        (pane == Pane::Side && dynamic_cast<CSmallSideView *>(view)) ||
        (pane == Pane::Top && dynamic_cast<CSmallTopView *>(view)) ||
        (pane == Pane::Info && dynamic_cast<CSmallInfoView *>(view)) ||
        (pane == Pane::Front && dynamic_cast<CSmallFrontView *>(view));
    EXPECT_TRUE(right) << name;
    delete view;
    EXPECT_EQ(doc.ListenerCount(), before) << name << " stays registered after its deletion";
  }
  // Telling the listeners must reach none of the deleted views.
  doc.NotifyParticle();
  doc.NotifyViews(0);
}

class SmallViewParticles : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    WriteDay({Drop(6 * 3600 + 10, 3.0, 7.5, 2.5, 1.0, 200, 300),
              Drop(6 * 3600 + 20, 1.5, 5.0, -1.0, -3.0, 350, 150)});
    Open();
  }
  const HydRecord &Current() { return *doc.GetHydHeader(); }
};

TEST_F(SmallViewParticles, VelocityAndOblatenessDotsWhereTheParticleLies) {
  auto vvel = Shown(std::make_unique<CSmallVVelView>(&doc));
  auto obl = Shown(std::make_unique<CSmallOblView>(&doc));
  auto hvel = Shown(std::make_unique<CSmallHVelView>(&doc));
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  const HydRecord r = Current();
  ASSERT_GT(r.diameter, 2.5f);
  ASSERT_GT(r.hVelA, 1.0f) << "the drop drifts along camera A";

  // The velocity axis's labels take a wider margin than the window gives at this size.
  const QPoint v =
      vvel->DevicePixel({std::trunc(1000.0 * r.diameter), std::trunc(1000.0 * r.velocity)});
  const QPoint o = Device({-800, 2200}, {9600, -2400}, SIZE,
                          {std::trunc(1000.0 * r.diameter), std::trunc(1000.0 * r.oblateness)});
  const QPoint h = Device({-3600, 3600}, {7200, -7200}, SIZE,
                          {std::trunc(100.0 * r.hVelA), std::trunc(-100.0 * r.hVelB)});
  EXPECT_EQ(QColor(vvel->Image().pixel(v)), BLACK);
  EXPECT_EQ(QColor(obl->Image().pixel(o)), BLACK);
  EXPECT_EQ(QColor(hvel->Image().pixel(h)), YELLOW);
  EXPECT_GT(h.x(), SIZE.width() / 2) << "positive A component: right of the centre";
  EXPECT_EQ(QColor(vvel->grab().toImage().pixel(v)), BLACK) << "the window shows the image";

  // The dots stay through further particles and go with a reset.
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  EXPECT_EQ(QColor(vvel->Image().pixel(v)), BLACK);
  doc.NotifyViews(0);
  EXPECT_EQ(QColor(vvel->Image().pixel(v)), GREY);
  EXPECT_EQ(QColor(obl->Image().pixel(o)), GREY);
  EXPECT_EQ(QColor(hvel->Image().pixel(h)), GREY);
}

TEST_F(SmallViewParticles, NoDotWithoutAnAcceptedParticle) {
  FilterRecord f = FilterRecord::DocumentDefaults();
  f.endTime.hour = 24;
  f.diamMin = 10; // nothing passes
  doc.SetFilterSettings(f);
  doc.ResetData();
  auto vvel = Shown(std::make_unique<CSmallVVelView>(&doc));
  const QImage before = vvel->Image();
  EXPECT_EQ(Step(), CPluvicamDoc::statusEndOfFile);
  EXPECT_EQ(vvel->Image(), before);
}

TEST_F(SmallViewParticles, FrontAndSideViewsDrawTheOutlinesAndAxes) {
  auto front = Shown(std::make_unique<CSmallFrontView>(&doc));
  auto side = Shown(std::make_unique<CSmallSideView>(&doc));
  EXPECT_EQ(CountColour(front->Image(), front->Image().rect(), DARK_RED), 0);
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  int valid = 0;
  const CContour *a = doc.GetContour(Camera::A, &valid);
  ASSERT_TRUE(a && valid);
  ASSERT_FALSE(a->GetSegments().empty());

  const QPointF org(-200, 900);
  const QSizeF ext(1100, -1100);
  const QRect clip(Device(org, ext, SIZE, {-50, 850}), Device(org, ext, SIZE, {900, -50}));
  const QImage fi = front->Image();
  const int outline = CountColour(fi, fi.rect(), DARK_RED);
  EXPECT_GT(outline, 10);
  EXPECT_EQ(CountColour(fi, clip, DARK_RED), outline) << "all of it inside the clip";
  const CSegment &s = a->GetSegments()[a->GetSegments().size() / 3];
  const QPoint onOutline = Device(org, ext, SIZE, {s.start.x * 100, s.start.y * 100});
  EXPECT_TRUE(ColourNear(fi, onOutline, DARK_RED) || ColourNear(fi, onOutline, YELLOW));
  EXPECT_GT(CountColour(fi, fi.rect(), YELLOW), 0) << "symmetry axis";
  EXPECT_EQ(CountColour(fi, fi.rect(), DARK_BLUE), 0) << "camera B belongs to the side view";
  EXPECT_GT(CountColour(side->Image(), side->Image().rect(), DARK_BLUE), 10);

  // At zoom 2 the same particle is half as large.
  doc.SetViewFactor(2);
  front->OnParticle();
  const int half = CountColour(front->Image(), front->Image().rect(), DARK_RED);
  EXPECT_LT(half, outline * 3 / 4);
  doc.NotifyViews(0);
  EXPECT_EQ(CountColour(front->Image(), front->Image().rect(), DARK_RED), 0);
}

TEST_F(SmallViewParticles, TopViewMarksPositionAndSize) {
  auto top = Shown(std::make_unique<CSmallTopView>(&doc));
  EXPECT_EQ(top->AreaSize(), 512) << "2 x halfPixels of the file's main header";
  const QPointF org(-51.2, 563.2);
  const QSizeF ext(614.4, -614.4);
  auto centre = [&](const HydRecord &r) {
    return Device(org, ext, SIZE,
                  {(r.minPosA + r.maxPosA) / 2.0, 511 - (r.minPosB + r.maxPosB) / 2.0});
  };
  // The usable area in grey, the filter's ranges in blue.
  EXPECT_TRUE(ColourNear(top->Image(), Device(org, ext, SIZE, {4, 300}), QColor(128, 128, 128)));
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  const QPoint first = centre(Current());
  EXPECT_EQ(QColor(top->Image().pixel(first)), YELLOW) << "the newest particle";
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  const QPoint second = centre(Current());
  ASSERT_GT((second - first).manhattanLength(), 10);
  EXPECT_EQ(QColor(top->Image().pixel(first)), DARK_RED) << "the one before";
  EXPECT_EQ(QColor(top->Image().pixel(second)), YELLOW);
}

TEST_F(SmallViewParticles, TopViewCountsCentrePixels) {
  auto top = Shown(std::make_unique<CSmallTopView>(&doc));
  top->SetAreaMode(CSmallTopView::Distribution);
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  const HydRecord r = Current();
  const int cx = r.minPosA + (r.maxPosA - r.minPosA) / 2;
  const int cy = r.minPosB + (r.maxPosB - r.minPosB) / 2;
  EXPECT_EQ(top->Grid().Count(cx, cy), 1);
  const QPoint p = Device({-51.2, 563.2}, {614.4, -614.4}, SIZE, {double(cx), 511.0 - cy});
  EXPECT_EQ(QColor(top->Image().pixel(p)), BLACK) << "one particle: black";
  // Telling the same particle again counts it again.
  top->OnParticle();
  EXPECT_EQ(QColor(top->Image().pixel(p)), DARK_RED) << "two: dark red";
  top->OnParticle();
  top->OnParticle();
  top->OnParticle();
  top->OnParticle();
  EXPECT_EQ(top->Grid().Count(cx, cy), 5);
  EXPECT_EQ(QColor(top->Image().pixel(p)), QColor(192, 0, 192)) << "five and more";
  doc.NotifyViews(1);
  EXPECT_EQ(top->Grid().Count(cx, cy), 5) << "a completed rain interval keeps the counts";
  top->SetAreaMode(CSmallTopView::Distribution);
  EXPECT_EQ(top->Grid().Count(cx, cy), 0) << "set up anew";
  EXPECT_EQ(QColor(top->Image().pixel(p)), GREY);
}

TEST_F(SmallViewParticles, RainRateStepCurveOfTheLastHalfHour) {
  auto rain = Shown(std::make_unique<CSmallRainIntensityView>(&doc));
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  const MainHeader *header = Current().mainHeader;
  const double lf = header->lineFrequency;
  const std::deque<RateEntry> &list = doc.GetRateList();
  doc.TrimRateList(0);
  auto interval = [&](double endSeconds, float duration) {
    AddRainInterval(doc, header, (endSeconds - duration) * lf, endSeconds * lf);
  };
  interval(6 * 3600 - 16 * 60, 300); // older than half an hour
  interval(6 * 3600 + 12 * 60, 1700);
  interval(6 * 3600 + 13 * 60, 60);  // 6 mm/h
  interval(6 * 3600 + 15 * 60, 120); // 3 mm/h
  ASSERT_EQ(list.size(), 4u);
  rain->OnParticle();

  EXPECT_EQ(list.size(), 3u) << "entries beyond 30 minutes are dropped";
  EXPECT_EQ(rain->Curve().endLabel, "06:15");
  EXPECT_EQ(rain->Curve().startLabel, "05:45");
  const QPointF org(-200, 5500);
  const QSizeF ext(2200, -6000);
  const QImage image = rain->Image();
  EXPECT_TRUE(ColourNear(image, Device(org, ext, SIZE, {1740, 300}), YELLOW));
  EXPECT_TRUE(ColourNear(image, Device(org, ext, SIZE, {1650, 600}), YELLOW));
  EXPECT_FALSE(ColourNear(image, Device(org, ext, SIZE, {1740, 600}), YELLOW, 0));
  EXPECT_GT(
      CountColour(image,
                  QRect(Device(org, ext, SIZE, {1000, -100}), Device(org, ext, SIZE, {2000, -400})),
                  BLACK),
      0)
      << "end time label";

  doc.NotifyViews(0);
  EXPECT_TRUE(rain->ResetPending());
  EXPECT_EQ(CountColour(rain->Image(), rain->Image().rect(), YELLOW), 0);
  // An open head interval: the curve comes back from the newest complete one.
  AddRainInterval(doc, header, (6 * 3600 + 16 * 60) * lf, 0, false);
  ASSERT_FALSE(list.front().complete);
  rain->OnParticle();
  EXPECT_FALSE(rain->ResetPending());
  EXPECT_TRUE(ColourNear(rain->Image(), Device(org, ext, SIZE, {1740, 300}), YELLOW));
}

TEST_F(SmallViewParticles, DropSizeDistributionRedrawsPerRainStep) {
  ASSERT_EQ(Step(), CPluvicamDoc::statusAccepted);
  auto dsdView = Shown(std::make_unique<CSmallDSDView>(&doc));
  const HydRecord &r = Current();
  doc.TrimRateList(0);
  AddRainInterval(doc, r.mainHeader, r.tim, 0, false);
  dsdView->OnParticle();
  EXPECT_TRUE(dsdView->Bars().empty()) << "no bars before 0.1 mm are complete";
  EXPECT_TRUE(dsdView->Distribution().IntervalOpen());

  AddRainInterval(doc, r.mainHeader, r.tim, r.tim);
  ASSERT_TRUE(doc.GetRateList().front().complete);
  dsdView->OnParticle();
  const int k = int(4 * r.diameter);
  ASSERT_EQ(dsdView->Bars().size(), 1u);
  EXPECT_EQ(dsdView->Bars()[0].x, 250 * k);
  EXPECT_EQ(dsdView->Bars()[0].height, 10000) << "the only class is 100 %";
  EXPECT_FALSE(dsdView->Distribution().IntervalOpen());
  const QPointF org(-800, 11000);
  const QSizeF ext(9600, -12000);
  EXPECT_EQ(QColor(dsdView->Image().pixel(Device(org, ext, SIZE, {250 * k + 125.0, 5000}))),
            DARK_BLUE);
  EXPECT_EQ(QColor(dsdView->Image().pixel(Device(org, ext, SIZE, {250 * k + 625.0, 5000}))), GREY);
  doc.NotifyViews(1);
  EXPECT_EQ(QColor(dsdView->Image().pixel(Device(org, ext, SIZE, {250 * k + 125.0, 5000}))), GREY);
}

} // namespace

TEST_F(SmallViewFrames, LabelsStayLegibleInSmallPanesAndOffTheTicks) {
  // The rain-rate pane of a 1000 x 700 window.
  const QSize small(193, 160);
  std::unique_ptr<QWidget> widget(CreateSmallView(Pane::RainIntensity, &doc, nullptr));
  auto *view = dynamic_cast<DiagramView *>(widget.get());
  ASSERT_NE(view, nullptr);
  view->resize(small);
  const QImage image = view->grab().toImage();
  // The "50" at the top of the rate axis: black ink left of the axis around the top tick.
  const QPoint axisTop = view->DevicePixel({0, 5000});
  const QPoint tickEnd = view->DevicePixel({-40, 5000});
  int top = image.height(), bottom = -1, right = -1;
  for (int y = std::max(0, axisTop.y() - 12); y <= axisTop.y() + 12; ++y)
    for (int x = 0; x < tickEnd.x() - 1; ++x)
      if (QColor(image.pixel(x, y)) == BLACK) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        right = std::max(right, x);
      }
  ASSERT_GE(bottom, 0) << "no label";
  // Digits of a 9-pixel font are at least 6 pixels high.
  EXPECT_GE(bottom - top + 1, 6);
  EXPECT_LT(right, tickEnd.x() - 1) << "a gap between label and tick";
}

TEST_F(SmallViewFrames, AxisLabelsOfA1000x700WindowAreWholeAndOffTheAxis) {
  // A small pane of a 1000 x 700 window; each y label beside its axis, and its tick's length.
  const QSize pane(193, 160);
  struct Label {
    Pane pane;
    double y;
    double tick;
    const char *text;
  } labels[] = {{Pane::RainIntensity, 5000, 40, "50"},
                {Pane::Dsd, 10000, 250, "100"},
                {Pane::Dsd, 0, 250, ".01"},
                {Pane::VVel, 12000, 250, "12"},
                {Pane::VVel, 11000, 250, "m/s"}};
  for (const Label &l : labels) {
    std::unique_ptr<QWidget> widget(CreateSmallView(l.pane, &doc, nullptr));
    auto *view = dynamic_cast<DiagramView *>(widget.get());
    ASSERT_NE(view, nullptr);
    view->resize(pane);
    const QImage image = view->grab().toImage();
    const QPoint tick = view->DevicePixel({-l.tick, l.y}), axis = view->DevicePixel({0, l.y});
    const QRect rows(0, std::max(0, tick.y() - 6), 1, 13);
    EXPECT_GT(CountColour(image, QRect(1, rows.top(), tick.x() - 2, rows.height()), BLACK), 6)
        << l.text << ": the label left of its tick";
    EXPECT_EQ(CountColour(image, rows, BLACK), 0) << l.text << ": cut at the pane's edge";
    // Between the tick's end and the axis only the tick itself is black.
    int over = 0;
    for (int y = rows.top(); y <= rows.bottom(); ++y)
      if (std::abs(y - tick.y()) > 1)
        over += CountColour(image, QRect(tick.x() + 1, y, axis.x() - tick.x() - 1, 1), BLACK);
    EXPECT_EQ(over, 0) << l.text << ": over the ticks or the axis";
  }

  // The camera letter "A" (red, as its arrow) stands right of the arrow's head, whole, and off
  // the outer ring.
  std::unique_ptr<QWidget> widget(CreateSmallView(Pane::HVel, &doc, nullptr));
  auto *hvel = dynamic_cast<DiagramView *>(widget.get());
  ASSERT_NE(hvel, nullptr);
  hvel->resize(pane);
  const QImage image = hvel->grab().toImage();
  const QRect arrow = QRect(hvel->DevicePixel({-100, -3100}), hvel->DevicePixel({100, -3300}))
                          .normalized()
                          .adjusted(-1, -1, 1, 1);
  const int ring = hvel->DevicePixel({0, -3000}).y();
  int letter = 0, left = image.width(), bottom = 0, onInk = 0;
  for (int y = ring - 3; y < image.height(); ++y)
    for (int x = arrow.center().x() + 1; x < std::min(image.width(), arrow.right() + 16); ++x) {
      if (QColor(image.pixel(x, y)) != RED || arrow.contains(x, y))
        continue;
      ++letter;
      left = std::min(left, x);
      bottom = std::max(bottom, y);
      for (const QPoint n :
           {QPoint(x, y - 1), QPoint(x, y + 1), QPoint(x - 1, y), QPoint(x + 1, y)})
        onInk += image.rect().contains(n) && QColor(image.pixel(n)) == BLACK;
    }
  EXPECT_GT(letter, 6);
  EXPECT_GT(left, arrow.right()) << "a gap between arrow and letter";
  EXPECT_LT(bottom, image.height() - 1) << "cut at the pane's edge";
  EXPECT_EQ(onInk, 0) << "over the ring";
}
