// End to end: a generated day read back through the data handler must give back the physics
// that was drawn.
#include "data/LittleEndian.h"
#include "document/CHydDataHandler.h"
#include "particle/CHydData.h"
#include "synth/DayGenerator.h"
#include "synth/DropPhysics.h"
#include "synth/HydWriter.h"
#include "synth/TipGauge.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace {

struct Particle {
  double seconds, diameter, velocity, oblateness, volume, area, hVelA, hVelB;
};

struct ReadBack {
  std::vector<Particle> particles;
  CHydException end; // the status that ended the walk
  size_t mainHeaders = 0;
  int newMainHeaders = 0;
};

ReadBack ReadAll(const std::string &path) {
  ReadBack out;
  CHydDataHandler handler;
  if (!handler.Open(path, CInputFile::modeRead, &out.end))
    return out;
  bool newMain = false;
  while (CHydData *d = handler.GetNextHydData(newMain, &out.end)) {
    const HydRecord &r = *d->GetHydHeader();
    out.newMainHeaders += newMain;
    out.particles.push_back({r.tim / r.mainHeader->lineFrequency, r.diameter, r.velocity,
                             r.oblateness, r.volume, r.area, r.hVelA, r.hVelB});
  }
  out.mainHeaders = handler.GetTimeIndex().size();
  return out;
}

double RainOf(const std::vector<Particle> &particles) {
  double sum = 0;
  for (const auto &p : particles)
    sum += p.volume / p.area;
  return sum;
}

// Splashes and wrongly paired particles are part of the data; the statistics leave them out
// as an analyst's velocity filter would.
bool Plausible(const Particle &p) {
  return std::abs(p.velocity / synth::TerminalVelocity(p.diameter) - 1) < 0.4;
}

std::string Slurp(const std::string &path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SyntheticDayTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir = std::filesystem::temp_directory_path() / ("pluvicam-day-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = "rain";
    o.seed = 7;
    o.hours = 1.5; // the recalibration at 06:45, a repeated header at 07:00
    rain = new synth::DayResult(synth::GenerateDay(o));
    rainRead = new ReadBack(ReadAll(rain->dataPath));
  }
  static void TearDownTestSuite() {
    delete rain;
    delete rainRead;
    std::filesystem::remove_all(dir);
  }

  static std::filesystem::path dir;
  static synth::DayResult *rain;
  static ReadBack *rainRead;
};
std::filesystem::path SyntheticDayTest::dir;
synth::DayResult *SyntheticDayTest::rain = nullptr;
ReadBack *SyntheticDayTest::rainRead = nullptr;

TEST_F(SyntheticDayTest, EveryParticleDecodesAndTheFileUsesTheWholeFormat) {
  EXPECT_EQ(rainRead->end.code, CHydException::endOfFile) << rainRead->end.message;
  ASSERT_EQ(int64_t(rainRead->particles.size()), rain->truth.Particles());
  EXPECT_GT(rain->particles, 10000);
  // The recalibration is a second main header, announced once to the reader.
  EXPECT_EQ(rainRead->mainHeaders, 2u);
  EXPECT_EQ(rainRead->newMainHeaders, 1);

  // Walk the records by their framing: hourly repeats and status records are there too.
  const auto bytes = synth::ReadFile(rain->dataPath);
  std::map<int16_t, int> tags;
  for (size_t pos = 0; pos + 2 <= bytes.size();) {
    const int16_t tag = le::I16(&bytes[pos]);
    ++tags[tag < 0 ? tag : 0];
    pos += size_t(tag < 0 ? -tag : tag & 0x07FF);
  }
  EXPECT_GE(tags[MainHeader::TAG_FORMAT4], 3);
  EXPECT_GE(tags[QuartHeader::TAG], 3);
}

TEST_F(SyntheticDayTest, RainAmountMatchesWhatWasDrawn) {
  const double read = RainOf(rainRead->particles);
  // Same particles, same formula: only float rounding differs.
  EXPECT_NEAR(read, rain->truth.Rain(), 0.005 * read);
  // Against the distribution's own amount (Poisson noise of a day's big drops is ~2 %).
  EXPECT_NEAR(read, rain->truth.ExpectedRain(), 0.05 * rain->truth.ExpectedRain());
}

TEST_F(SyntheticDayTest, SizeDistributionMatchesTheDrawnOne) {
  const int classes = synth::MinuteTruth::CLASSES;
  std::vector<double> drawn(classes), read(classes);
  std::vector<int> counts(classes);
  for (const auto &m : rain->truth.minutes)
    for (int c = 0; c < classes; ++c)
      drawn[size_t(c)] += m.nd[size_t(c)] / double(rain->truth.minutes.size());
  const double seconds = 60.0 * double(rain->truth.minutes.size());
  for (const auto &p : rainRead->particles) {
    if (!Plausible(p))
      continue;
    const size_t c = size_t(synth::MinuteTruth::ClassOf(p.diameter));
    // N(D) = sum of 1 / (A v dt dD), in m^-3 mm^-1.
    read[c] += 1 / (p.area * 1e-6 * p.velocity * seconds * synth::MinuteTruth::CLASS_WIDTH);
    ++counts[c];
  }
  int compared = 0;
  // Class 0 is cut at 0.2 mm from below, so rounding only ever moves drops out of it.
  for (int c = 1; c < classes; ++c) {
    const size_t i = size_t(c);
    if (counts[i] < 100)
      continue;
    ++compared;
    // 4 sigma of the Poisson count plus 3 % for what the filter leaves out and the rounding
    // of stored diameters across class edges.
    const double tolerance = 4 / std::sqrt(double(counts[i])) + 0.03;
    EXPECT_NEAR(read[i] / drawn[i], 1, tolerance) << "class " << c;
  }
  EXPECT_GE(compared, 8);
}

TEST_F(SyntheticDayTest, VelocityAndShapeFollowTheLawsPerClass) {
  struct Sums {
    double v = 0, vLaw = 0, obl = 0, oblLaw = 0;
    int n = 0;
  };
  std::map<int, Sums> classes;
  for (const auto &p : rainRead->particles) {
    if (!Plausible(p))
      continue;
    Sums &s = classes[synth::MinuteTruth::ClassOf(p.diameter)];
    s.v += p.velocity;
    s.vLaw += synth::TerminalVelocity(p.diameter);
    s.obl += p.oblateness;
    s.oblLaw += synth::EquilibriumAxisRatio(p.diameter);
    ++s.n;
  }
  int compared = 0;
  for (const auto &[c, s] : classes) {
    if (s.n < 50)
      continue;
    ++compared;
    EXPECT_NEAR(s.v / s.vLaw, 1, 0.03) << "class " << c;
    // Below 1 mm a drop is a few pixels wide and the axis ratio a ratio of small integers.
    if (c >= 4) {
      EXPECT_NEAR(s.obl / s.oblLaw, 1, 0.03) << "class " << c;
    }
  }
  EXPECT_GE(compared, 8);
}

TEST_F(SyntheticDayTest, HorizontalVelocityFollowsTheWindFile) {
  const auto wind = synth::ReadFile((dir / "rain.wd").string());
  ASSERT_EQ(wind.size(), 28800u * 8);
  double dA = 0, dB = 0;
  for (const auto &p : rainRead->particles) {
    const uint8_t *w = &wind[8 * size_t(p.seconds / 3)];
    const double speed = le::U16(w) / 100.0, dir = le::U16(w + 2) * synth::PI / 180;
    // Camera A looks along east, camera B along north; the wind blows from `dir`.
    dA += p.hVelA + 0.9 * speed * std::sin(dir);
    dB += p.hVelB + 0.9 * speed * std::cos(dir);
  }
  const double n = double(rainRead->particles.size());
  EXPECT_NEAR(dA / n, 0, 0.1);
  EXPECT_NEAR(dB / n, 0, 0.1);
}

TEST_F(SyntheticDayTest, GaugeTipsMatchTheRainWithinTheGaugeError) {
  const std::string tip = Slurp((dir / "rain.tip").string());
  ASSERT_EQ(tip.rfind("PLUVIO 1.1\nM ", 0), 0u) << tip.substr(0, 40);
  int tips = 0;
  for (size_t at = tip.find('\n'); at != std::string::npos; at = tip.find('\n', at + 1))
    tips += at + 1 < tip.size() && tip[at + 1] != 'M';
  EXPECT_EQ(tips, rain->truth.tips);
  // A gauge catches within 5 % of the true amount, and the last partly filled bucket is lost.
  const double read = RainOf(rainRead->particles);
  const double tipMm = synth::TipGauge::TIP_MM;
  EXPECT_NEAR(tips * tipMm, read, 0.05 * read + tipMm);
}

TEST_F(SyntheticDayTest, SameSeedSameBytes) {
  synth::DayOptions o;
  o.outDir = dir.string();
  o.seed = 3;
  o.hours = 0.1;
  o.name = "a";
  synth::GenerateDay(o);
  o.name = "b";
  synth::GenerateDay(o);
  o.name = "c";
  o.seed = 4;
  synth::GenerateDay(o);
  for (const char *ext : {".hyd", ".hd", ".wd", ".tip"})
    EXPECT_EQ(synth::ReadFile((dir / "a").string() + ext),
              synth::ReadFile((dir / "b").string() + ext))
        << ext;
  EXPECT_NE(synth::ReadFile((dir / "a.hyd").string()), synth::ReadFile((dir / "c.hyd").string()));
}

TEST_F(SyntheticDayTest, OlderFormatsAndSnowDecode) {
  for (int format = 1; format <= 3; ++format) {
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = std::string(1, char('0' + format));
    o.format = format;
    o.hours = 0.15;
    const auto result = synth::GenerateDay(o);
    const ReadBack back = ReadAll(result.dataPath);
    EXPECT_EQ(back.end.code, CHydException::endOfFile) << format << ": " << back.end.message;
    EXPECT_EQ(int64_t(back.particles.size()), result.particles) << format;
    // Format 1 integrates its diameter from the slices: a few percent off the drawn volume.
    EXPECT_NEAR(RainOf(back.particles), result.truth.Rain(), 0.1 * result.truth.Rain());
  }
  synth::DayOptions o;
  o.outDir = dir.string();
  o.name = "snow";
  o.snow = true;
  o.hours = 0.2;
  const auto snow = synth::GenerateDay(o);
  const ReadBack back = ReadAll(snow.dataPath);
  EXPECT_EQ(back.end.code, CHydException::endOfFile) << back.end.message;
  ASSERT_EQ(int64_t(back.particles.size()), snow.particles);
  EXPECT_GT(snow.particles, 500);
  EXPECT_NEAR(RainOf(back.particles), snow.truth.Rain(), 0.005 * snow.truth.Rain());
  int slow = 0;
  for (const auto &p : back.particles)
    slow += p.velocity >= 0.4 && p.velocity <= 2.2;
  EXPECT_GT(slow, 0.99 * double(back.particles.size()));
}

} // namespace

TEST(DemoDay, StratiformMorningConvectiveShowerDrizzleTail) {
  synth::DayOptions o = synth::DemoRainDay(".", "demo");
  o.writeFiles = false;
  const synth::DayResult day = synth::GenerateDay(o);
  // Enough to watch, few enough for a quick run.
  EXPECT_GT(day.particles, 90000);
  EXPECT_LT(day.particles, 160000);
  double morning = 0, peak = 0, tailMax = 0;
  int peakMinute = 0, morningMinutes = 0, wetTail = 0, tailMinutes = 0;
  int64_t largeDrops = 0;
  for (const synth::MinuteTruth &m : day.truth.minutes) {
    const double rate = m.rain * 60; // mm/h over the minute
    if (m.minute >= 6 * 60 + 20 && m.minute < 8 * 60 + 20) {
      morning += rate;
      ++morningMinutes;
    }
    if (rate > peak) {
      peak = rate;
      peakMinute = m.minute;
    }
    if (m.minute >= 8 * 60 + 30 && m.minute < 9 * 60 + 10)
      for (int k = int(5.0 / synth::MinuteTruth::CLASS_WIDTH); k < synth::MinuteTruth::CLASSES; ++k)
        largeDrops += m.counts[size_t(k)];
    if (m.minute >= 9 * 60 + 30) {
      tailMax = std::max(tailMax, rate);
      wetTail += m.particles > 0;
      ++tailMinutes;
    }
  }
  ASSERT_GT(morningMinutes, 0);
  EXPECT_GT(morning / morningMinutes, 1.0) << "stratiform morning";
  EXPECT_LT(morning / morningMinutes, 5.0);
  EXPECT_GT(peak, 30.0) << "the shower";
  EXPECT_GE(peakMinute, 8 * 60 + 30);
  EXPECT_LT(peakMinute, 9 * 60 + 10);
  EXPECT_GT(largeDrops, 20) << "the shower brings drops of 5 mm and more";
  EXPECT_LT(tailMax, 1.5) << "drizzle";
  EXPECT_GT(wetTail, tailMinutes * 9 / 10) << "the drizzle goes on";
}
