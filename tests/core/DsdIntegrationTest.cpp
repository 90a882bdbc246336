// One Run of the enlarged drop size distribution: the interval rules of each mode, the
// normalisation, the repositioning and the faults a Run must survive.
#include "statistics/DsdIntegration.h"
#include "TestFiles.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/DsdModels.h"
#include "statistics/DsdMoments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace testdata;

namespace {

class Messages : public UserMessages {
public:
  void Show(const std::string &text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

constexpr double H6 = 6 * 3600;

} // namespace

class DsdIntegrationTest : public TempDirTest {
protected:
  // Tiny drops (all alike) at the given seconds of the day, a main header at 06:00.
  void Open(const std::vector<double> &seconds) {
    synth::HydWriter w(4);
    w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
    for (double s : seconds)
      AddTinyDrop(w, Tim(s));
    w.Write(Path("d.hyd"), Path("d.hd"));
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.endTime.hour = 23;
    f.endTime.minute = 59;
    f.endTime.second = 59;
    doc.SetFilterSettings(f);
    ASSERT_EQ(doc.OpenHydFile(Path("d.hyd")), 1);
    // What one tiny drop brings: its rain and its concentration contribution.
    int status = -1;
    const HydRecord *r =
        doc.ReadHydData(CPluvicamDoc::ReadDirection::Next, &status)->GetHydHeader();
    ASSERT_EQ(status, 0);
    drop = *r;
    dropRain = drop.volume / drop.area;
    perDrop = 1e6 / (drop.area * drop.velocity);
    dropClass = int(std::trunc(drop.diameter / 0.25f));
    DsdIntegration::OpenAtWindowStart(doc);
    DsdIntegration::InitialUpdate(doc);
  }
  // The drops of `w` over the whole day, the interval record at its start.
  void OpenWholeDay(const synth::HydWriter &w) {
    w.Write(Path("d.hyd"), Path("d.hd"));
    doc.SetFilterSettings(WholeDayFilter());
    ASSERT_EQ(doc.OpenHydFile(Path("d.hyd")), 1);
    DsdIntegration::OpenAtWindowStart(doc);
  }
  IntegrationSettings &S() { return doc.GetIntegrationSettings(IntegrationKind::Dsd); }
  IntegrationState &State() { return *doc.GetIntegrationState(); }
  const DsdInterval &Run() { return integration.RunToEnd(); }

  Messages messages;
  CPluvicamDoc doc{&messages};
  DsdIntegration integration{doc};
  HydRecord drop;
  float dropRain = 0;
  double perDrop = 0;
  int dropClass = 0;
};

TEST_F(DsdIntegrationTest, TimeIntervalsAreAlignedToTheWindowAndSkipEmptyOnes) {
  Open({H6 + 10, H6 + 20, H6 + 65, H6 + 210});
  doc.ResetIntegration(IntegrationKind::Dsd); // Time, 60 s, 0.25 mm
  ASSERT_GT(dropClass, 0);

  const DsdInterval &first = Run();
  EXPECT_EQ(first.end, DsdInterval::Complete);
  EXPECT_EQ(first.count, 2) << "the particle of the next minute closes the interval, untaken";
  EXPECT_DOUBLE_EQ(State().startTim, Tim(H6) + 2);
  EXPECT_DOUBLE_EQ(State().endTim, Tim(H6 + 60) + 2);
  EXPECT_FLOAT_EQ(S().rainInterval, 2 * dropRain);
  EXPECT_FLOAT_EQ(S().result, 60 * 2 * dropRain);
  EXPECT_EQ(S().dropCount, 2);
  EXPECT_EQ(S().timeInterval, 60.0f);
  EXPECT_NEAR(first.classes[size_t(dropClass)], 2 * perDrop / (60 * 0.25), 1e-6 * perDrop);
  EXPECT_DOUBLE_EQ(first.ndMax, first.classes[size_t(dropClass)]) << "one class: 100 %";
  EXPECT_EQ(first.seconds, 60);
  EXPECT_DOUBLE_EQ(first.nominalStartTim, Tim(H6)) << "the products' stamps: whole minutes";
  EXPECT_DOUBLE_EQ(first.nominalEndTim, Tim(H6 + 60));

  const DsdInterval &second = Run();
  EXPECT_EQ(second.count, 1) << "the next Run starts with the particle that closed the first";
  EXPECT_DOUBLE_EQ(State().startTim, Tim(H6 + 60) + 2);

  // Minute 06:02 holds nothing: the third Run shows 06:03, which the data end leaves partial.
  const DsdInterval &third = Run();
  EXPECT_EQ(third.end, DsdInterval::DataEnded);
  EXPECT_EQ(third.count, 1);
  EXPECT_TRUE(third.success);
  // Its duration runs from its aligned start, not from the end of the interval before the empty
  // minute, to its last particle.
  EXPECT_NEAR(third.seconds, 30, 1e-9) << "a partial interval has its own duration";
  EXPECT_NEAR(third.classes[size_t(dropClass)], perDrop / (30 * 0.25), 1e-4);
  EXPECT_DOUBLE_EQ(third.nominalStartTim, Tim(H6 + 180));
  EXPECT_EQ(S().result, 0) << "a partial interval leaves no rate";

  const DsdInterval &fourth = Run();
  EXPECT_EQ(fourth.count, 0);
  EXPECT_FALSE(fourth.normalised);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DsdIntegrationTest, APartialIntervalWithoutDurationHasNoConcentration) {
  // The second minute holds one particle, a line after its start: the interval before ends two
  // lines after that start, so the partial one has no duration.
  Open({H6 + 10, H6 + 60 + 1 / LINES_PER_SECOND});
  doc.ResetIntegration(IntegrationKind::Dsd);
  ASSERT_EQ(Run().end, DsdInterval::Complete);
  const DsdInterval &alone = Run();
  EXPECT_EQ(alone.end, DsdInterval::DataEnded);
  EXPECT_EQ(alone.count, 1);
  EXPECT_FLOAT_EQ(alone.rain, dropRain) << "count and rain stay";
  EXPECT_FALSE(alone.normalised) << "no N(D) from no time";
  EXPECT_EQ(alone.ndMax, 0);
}

TEST_F(DsdIntegrationTest, DropsOnAClassEdgeOpenTheClassAbove) {
  // Diameters are whole hundredths: 1.30 mm is the lower edge of [1.3, 1.4) at 0.1 mm classes.
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddImageDrop(w, Tim(H6 + 10), RoundDropImage(1.3), 130);
  AddImageDrop(w, Tim(H6 + 20), RoundDropImage(1.3), 130);
  OpenWholeDay(w);
  S().mode = IntegrationMode::FullTimeRange;
  S().deltaD = 0.1f;
  const DsdInterval &r = Run();
  ASSERT_TRUE(r.normalised);
  EXPECT_GT(r.classes[13], 0);
  EXPECT_EQ(r.classes[12], 0);
}

TEST(DsdClassGeometry, EveryHundredthLandsInTheClassItsLowerEdgeOpens) {
  for (int width : {5, 10, 15, 20, 25}) { // hundredths of a millimetre
    const float deltaD = float(width / 100.0);
    for (int hundredths = 10; hundredths <= 1000; ++hundredths) {
      // As the particle record holds it.
      const float diameter = float(hundredths / 100.0);
      EXPECT_EQ(dsd::ClassOf(diameter, deltaD), hundredths / width)
          << diameter << " mm at " << deltaD << " mm";
    }
  }
  EXPECT_EQ(dsd::ClassOf(-0.01, 0.1), -1);
  EXPECT_EQ(dsd::ClassOf(std::nan(""), 0.1), -1);
}

TEST_F(DsdIntegrationTest, RainIntervalsUseTheNominalAmount) {
  Open({H6 + 10, H6 + 20, H6 + 30, H6 + 40, H6 + 50});
  S().mode = IntegrationMode::Rain;
  S().rainInterval = 2.5f * dropRain;

  const DsdInterval &r = Run();
  EXPECT_EQ(r.end, DsdInterval::Complete);
  EXPECT_EQ(r.count, 3) << "the particle that finds the amount reached is not taken";
  EXPECT_FLOAT_EQ(r.rain, 3 * dropRain);
  const float elapsed = float((Tim(H6 + 30) - (std::floor(Tim(H6)) + 2)) / LINES_PER_SECOND);
  EXPECT_FLOAT_EQ(S().timeInterval, elapsed) << "from the recording's start to the last particle";
  EXPECT_FLOAT_EQ(S().result, 2.5f * dropRain * 3600.0f / elapsed) << "nominal, not collected";
  EXPECT_EQ(S().dropCount, 3);
  // The window starts at midnight, the recording at 06:00: the hours before it hold no data.
  EXPECT_DOUBLE_EQ(State().startTim, std::floor(Tim(H6)) + 2)
      << "the first interval starts with the recording";
  EXPECT_DOUBLE_EQ(State().endTim, Tim(H6 + 40)) << "the closing particle's time";

  const DsdInterval &next = Run();
  EXPECT_EQ(next.count, 2) << "the closing particle is read again; the data end leaves it partial";
  EXPECT_EQ(next.end, DsdInterval::DataEnded);
}

TEST_F(DsdIntegrationTest, ObjectIntervalsAndOnesWithoutDuration) {
  Open({H6 + 10, H6 + 20, H6 + 30, H6 + 40, H6 + 50});
  S().mode = IntegrationMode::Objects;
  S().dropCount = 2;
  const DsdInterval &r = Run();
  EXPECT_EQ(r.count, 2);
  EXPECT_TRUE(r.normalised);
  const float elapsed = float((Tim(H6 + 20) - (std::floor(Tim(H6)) + 2)) / LINES_PER_SECOND);
  EXPECT_FLOAT_EQ(S().timeInterval, elapsed) << "from the recording's start";
  EXPECT_FLOAT_EQ(S().rainInterval, 2 * dropRain);
  EXPECT_FLOAT_EQ(S().result, 2 * dropRain * 3600.0f / elapsed);

  // With one particle per interval, an interval after the first starts and ends with the
  // particle that closed the one before: it has no duration. It closes without N(D) instead of
  // reading that particle again for ever.
  S().dropCount = 1;
  int runs = 0;
  for (; runs < 10; ++runs) {
    const DsdInterval &o = Run();
    if (o.count == 0)
      break;
    EXPECT_FALSE(o.normalised) << "run " << runs;
    EXPECT_EQ(o.ndMax, 0);
  }
  EXPECT_EQ(runs, 3) << "the last three particles, one Run each, then the end";
}

TEST_F(DsdIntegrationTest, FullTimeRangeRestartsAndNeedsTwoParticles) {
  Open({H6 + 10, H6 + 20, H6 + 70});
  S().mode = IntegrationMode::FullTimeRange;
  Run();
  const DsdInterval &r = Run(); // restarts at the window start each time
  EXPECT_EQ(r.end, DsdInterval::Complete);
  EXPECT_EQ(r.count, 3);
  EXPECT_DOUBLE_EQ(State().startTim, Tim(H6 + 10));
  EXPECT_DOUBLE_EQ(State().endTim, Tim(H6 + 70));
  EXPECT_FLOAT_EQ(S().timeInterval, 60.0f);
  EXPECT_FLOAT_EQ(S().rainInterval, 3 * dropRain);
  EXPECT_EQ(S().dropCount, 3);
  EXPECT_NEAR(r.classes[size_t(dropClass)], 3 * perDrop / (60 * 0.25), 1e-5);

  Open({H6 + 10});
  S().mode = IntegrationMode::FullTimeRange;
  const DsdInterval &one = Run();
  EXPECT_EQ(one.end, DsdInterval::Complete);
  EXPECT_EQ(one.count, 1);
  EXPECT_FALSE(one.normalised) << "a single particle has no duration";
  EXPECT_EQ(S().result, 0);
  EXPECT_DOUBLE_EQ(State().endTim, State().startTim);
}

TEST_F(DsdIntegrationTest, ADropBeyondTheLastClassCountsForRainAndCountOnly) {
  synth::HydWriter w(4);
  w.AddMainHeader(synth::TypicalMainHeader(DAY + 6 * 3600));
  AddTinyDrop(w, Tim(H6 + 10));
  // 10.5 mm across at 0.18 mm per pixel and 0.2 mm per line.
  AddImageDrop(w, Tim(H6 + 20), RoundDropImage(10.5), 1050);
  OpenWholeDay(w);
  S().mode = IntegrationMode::FullTimeRange;
  S().deltaD = 0.15f; // 66 classes up to 9.9 mm at scale 1

  const DsdInterval &r = Run();
  EXPECT_EQ(r.geometry.count, 66);
  EXPECT_EQ(r.count, 2) << "both particles count";
  EXPECT_GT(r.rain, 0);
  int filled = 0;
  for (int k = 0; k < r.geometry.count; ++k)
    filled += r.classes[size_t(k)] != 0;
  EXPECT_EQ(filled, 1) << "only the tiny drop has a class";
  EXPECT_DOUBLE_EQ(r.ndMax, *std::max_element(r.classes.begin(), r.classes.begin() + 66));
}

TEST_F(DsdIntegrationTest, StopEndsWithoutResultButTheFullRangeKeepsItsFigures) {
  Open({H6 + 10, H6 + 20, H6 + 30});
  S().mode = IntegrationMode::FullTimeRange;
  ASSERT_TRUE(integration.Begin());
  EXPECT_TRUE(integration.Next());
  EXPECT_TRUE(integration.Next());
  integration.Stop();
  EXPECT_FALSE(integration.Next());
  integration.Finish();
  EXPECT_EQ(integration.Result().end, DsdInterval::Stopped);
  EXPECT_FALSE(integration.Result().success);
  EXPECT_EQ(S().dropCount, 2);
  EXPECT_EQ(State().valid, 1);

  CPluvicamDoc empty;
  DsdIntegration none(empty);
  EXPECT_FALSE(none.Begin()) << "no data file, nothing to compute";
  EXPECT_EQ(none.RunToEnd().end, DsdInterval::NotStarted);
}

TEST(DsdMoments, ExponentialAndGammaDistributionsComeBack) {
  // N(D) = N0·D^mu·exp(-Lambda·D) in 400 classes of 0.05 mm.
  auto binned = [](double n0, double mu, double lambda) {
    std::vector<double> c(400);
    for (size_t k = 0; k < c.size(); ++k) {
      const double d = (double(k) + 0.5) * 0.05;
      c[k] = n0 * std::pow(d, mu) * std::exp(-lambda * d);
    }
    return c;
  };
  const std::vector<double> mp = binned(8000, 0, 4.1);
  const DsdMoments e = DsdMoments::Of(mp.data(), 400, 0.05);
  EXPECT_NEAR(*e.nt, 8000 / 4.1, 0.01 * 8000 / 4.1);
  EXPECT_NEAR(*e.nw, 8000, 80) << "an exponential N(D) gives back its N0";
  EXPECT_NEAR(*e.dm, 4 / 4.1, 0.01);
  EXPECT_NEAR(*e.d0, 3.67 / 4.1, 0.01);
  EXPECT_NEAR(*e.w, std::numbers::pi * 1e-3 * 8000 / std::pow(4.1, 4), 1e-3);
  EXPECT_NEAR(*e.z, 10 * std::log10(720 * 8000 / std::pow(4.1, 7)), 0.05);
  EXPECT_NEAR(*e.mu, 0, 0.05);
  EXPECT_NEAR(*e.lambda, 4.1, 0.05);

  const std::vector<double> g = binned(5e4, 3, 6);
  const DsdMoments m = DsdMoments::Of(g.data(), 400, 0.05);
  EXPECT_NEAR(*m.mu, 3, 0.05);
  EXPECT_NEAR(*m.lambda, 6, 0.05);
  EXPECT_NEAR(*m.dm, 7.0 / 6, 0.01);

  std::vector<double> one(40, 0.0);
  one[4] = 100; // 1.00-1.25 mm
  const DsdMoments single = DsdMoments::Of(one.data(), 40, 0.25);
  EXPECT_FALSE(single.mu) << "one class: no gamma fit";
  EXPECT_FALSE(single.lambda);
  EXPECT_DOUBLE_EQ(*single.dm, 1.125);
  EXPECT_DOUBLE_EQ(*single.d0, 1.125) << "half the volume halfway through the class";

  const std::vector<double> none(40, 0.0);
  const DsdMoments zero = DsdMoments::Of(none.data(), 40, 0.25);
  EXPECT_EQ(*zero.nt, 0);
  EXPECT_FALSE(zero.z);
  EXPECT_FALSE(zero.dm);
  EXPECT_FALSE(zero.d0);
  EXPECT_FALSE(zero.nw);
}

TEST(DsdModels, LabelsAndCurvesAtOneMillimetrePerHour) {
  const auto models = dsd::ModelCurves(1.0, 100.0, 1);
  EXPECT_STREQ(models[0].label, "Marshall and Palmer:");
  EXPECT_EQ(models[0].N0Text(), "N0: 8000.000 1/m\u00B3mm");
  EXPECT_EQ(models[0].D0Text(), "D0: 0.895 mm");
  EXPECT_EQ(models[1].D0Text(), "D0: 1.220 mm");
  EXPECT_EQ(models[2].N0Text(), "N0: 30000.000 1/m\u00B3mm");
  ASSERT_FALSE(models[0].points.empty());
  // At D = 0.01 mm: 8000·exp(-3.67·0.01/0.895) in percent of 100.
  const double y = std::log10(8000 * std::exp(-3.67 * 0.01 / models[0].d0));
  EXPECT_EQ(models[0].points.front(), std::make_pair(0, int(std::trunc((y + 2) * 2500))));
  const auto halved = dsd::ModelCurves(1.0, 100.0, 2);
  EXPECT_EQ(halved[0].points[10].first, models[0].points[10].first / 2) << "D is 0-10 mm";
  EXPECT_TRUE(dsd::ModelCurves(1.0, 0.0, 1)[0].points.empty()) << "no maximum, no curve";
}
