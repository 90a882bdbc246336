#include "DayGenerator.h"

#include "CameraGeometry.h"
#include "DropPhysics.h"
#include "HydWriter.h"
#include "PrecipitationPath.h"
#include "RainDropScanner.h"
#include "RandomStream.h"
#include "SnowFlakeScanner.h"
#include "TipGauge.h"
#include "WindSeries.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace synth {

namespace {

// The vertical pixel scale: one line stands for the fall in a line time at the measured speed.
uint16_t HeightScale(float planeDistance, long absv) {
  return uint16_t(std::lround(10000 * planeDistance / (double(absv) * 0.5)));
}

// The distribution is re-evaluated every few seconds; within a step arrivals are a Poisson
// process of constant rate.
constexpr double STEP_SECONDS = 5;
constexpr double BIN_MM = 0.01;
constexpr double RAIN_MIN = 0.2, RAIN_MAX = 8.0;
constexpr double SNOW_MIN = 0.5, SNOW_MAX = 12.0;
// Splash fragments and particles paired wrongly between the two planes, as real data has them.
constexpr double SPLASH_SHARE = 0.004;
constexpr double MISMATCH_SHARE = 0.008;
constexpr int MAX_RECORD = 0x07FF;

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Concentration per diameter bin of the step and the arrival rate it makes.
struct Spectrum {
  std::vector<double> diameter, logDiameter, velocity, volume; // per bin: mm, -, m/s, mm^3
  std::vector<double> concentration;                           // m^-3 (N(D) dD)
  std::vector<double> cumulativeRate; // arrivals per second, summed over bins
  double expectedRain = 0;            // mm per second

  Spectrum(double lo, double hi, bool snow) {
    const int bins = int(std::lround((hi - lo) / BIN_MM));
    for (int j = 0; j < bins; ++j) {
      const double d = lo + (j + 0.5) * BIN_MM;
      diameter.push_back(d);
      logDiameter.push_back(std::log(d));
      velocity.push_back(snow ? SnowFallVelocity(d) : TerminalVelocity(d));
      volume.push_back(PI / 6 * d * d * d);
    }
    concentration.resize(diameter.size());
    cumulativeRate.resize(diameter.size());
  }

  // Flux through the area: N(D) v(D) A per bin, area in mm^2. Returns the rain rate in mm/h.
  double Fill(const GammaDsd &dsd, double areaMm2) {
    double rate = 0;
    expectedRain = 0;
    for (size_t j = 0; j < diameter.size(); ++j) {
      // N0 D^mu exp(-lambda D) with one exponential per bin.
      concentration[j] =
          dsd.n0 * std::exp(dsd.mu * logDiameter[j] - dsd.lambda * diameter[j]) * BIN_MM;
      const double flux = concentration[j] * velocity[j]; // m^-2 s^-1
      rate += flux * areaMm2 * 1e-6;
      cumulativeRate[j] = rate;
      expectedRain += flux * volume[j] * 1e-6; // mm^3 m^-2 = 1e-6 mm
    }
    return expectedRain * 3600;
  }
  void Scale(double factor) {
    for (size_t j = 0; j < diameter.size(); ++j) {
      concentration[j] *= factor;
      cumulativeRate[j] *= factor;
    }
    expectedRain *= factor;
  }
  double Rate() const { return cumulativeRate.back(); }
  size_t Draw(double u) const {
    const double target = u * Rate();
    return size_t(std::upper_bound(cumulativeRate.begin(), cumulativeRate.end(), target) -
                  cumulativeRate.begin());
  }
};

struct Extents {
  int minA, maxA, minB, maxB;
};

class DayGenerator {
public:
  explicit DayGenerator(const DayOptions &options);
  DayResult Run();

private:
  enum class EventKind { Repeat, Change, Quart };
  struct HeaderEvent {
    double time;
    EventKind kind;
  };

  void SetUpHeaders();
  // Writes the minute marks and header records due up to `seconds`.
  void FlushUntil(double seconds);
  // The weather of a step; returns false when nothing falls.
  bool FillStep(double t);
  double ExpectedParticles();
  void DrawStep(double t);
  void EmitRain(double arrival, double diameter, bool splash);
  void EmitSnow(double arrival, double diameter);
  void Horizontal(double t, double follow, double &speedA, double &speedB);
  const CameraGeometry &GeometryAt(double seconds) const {
    return seconds >= changeTime ? *changed : *first;
  }
  MinuteTruth &Minute(double seconds);
  void Record(double seconds, const CameraGeometry &g, const Extents &e, uint16_t eqDiam);

  DayOptions options;
  double start, end;
  RandomStream weatherRandom, windRandom, gaugeRandom, random;
  PrecipitationPath path;
  WindSeries wind;
  TipGauge gauge;
  HydWriter writer;
  int year = 2026;
  int64_t dayEpoch = 0;
  MainHeader firstHeader, changedHeader;
  std::unique_ptr<CameraGeometry> first, changed;
  double changeTime = 1e30;
  std::vector<HeaderEvent> events;
  size_t nextEvent = 0;
  int nextMinute = 0;
  int quartCount = 0;
  Spectrum spectrum;
  double intensity = 1;
  RainImage image;
  std::vector<SnowLine> snowA, snowB;
  DayResult result;
};

DayGenerator::DayGenerator(const DayOptions &o)
    : options(o), start(o.startMinute * 60.0),
      end(std::min(86400.0, start + std::max(0.0, o.hours) * 3600)), weatherRandom(o.seed * 4 + 1),
      windRandom(o.seed * 4 + 2), gaugeRandom(o.seed * 4 + 3), random(o.seed * 4 + 4),
      path(weatherRandom, start, end, o.snow, o.showerDay), wind(windRandom, path, o.snow),
      // The format-1 layout can only be told apart from format 2 by a date before 1996.
      gauge(gaugeRandom, 1, 6, o.format == 1 && !o.snow ? 1995 : 2026),
      writer(o.snow ? 4 : std::clamp(o.format, 1, 4)),
      spectrum(o.snow ? SNOW_MIN : RAIN_MIN, o.snow ? SNOW_MAX : RAIN_MAX, o.snow) {
  if (o.startMinute < 0 || o.startMinute >= 1440)
    throw std::invalid_argument("start must lie within the day");
  year = writer.Format() == 1 ? 1995 : 2026;
  dayEpoch = DaysFromCivil(year, 6, 1) * 86400;
  SetUpHeaders();
}

void DayGenerator::SetUpHeaders() {
  const int format = writer.Format();
  firstHeader = TypicalMainHeader(int32_t(dayEpoch + int64_t(start)));
  if (!options.ident.empty()) {
    std::fill(std::begin(firstHeader.ident), std::end(firstHeader.ident), ' ');
    std::copy_n(options.ident.begin(),
                std::min(options.ident.size(), size_t(MainHeader::IDENT_LENGTH)),
                firstHeader.ident);
  }
  if (format <= 2) // no tilt can be stored: one plane distance for all corners
    firstHeader.planeDistance2 = firstHeader.planeDistance3 = firstHeader.planeDistance1;
  if (format == 1)
    firstHeader.corrModel = 4; // our edges carry no threshold bias to correct
  // A recalibration in the middle of the day: slightly different planes and scales.
  const double middle = (start + end) / 2;
  const double hourMark = std::floor(middle / 3600) * 3600;
  changeTime = hourMark > start + 60 ? hourMark : std::floor(middle / 60) * 60;
  if (changeTime <= start || changeTime >= end)
    changeTime = 1e30;
  changedHeader = firstHeader;
  changedHeader.time = int32_t(dayEpoch + int64_t(std::min(changeTime, 86399.0)));
  changedHeader.planeDistance1 += 0.08f;
  if (format >= 3) {
    changedHeader.planeDistance2 += 0.05f;
    changedHeader.planeDistance3 += 0.11f;
  } else {
    changedHeader.planeDistance2 = changedHeader.planeDistance3 = changedHeader.planeDistance1;
  }
  changedHeader.scaleA = 0.182f;
  changedHeader.scaleB = 0.179f;
  first = std::make_unique<CameraGeometry>(firstHeader);
  changed = std::make_unique<CameraGeometry>(changedHeader);

  // The acquisition repeats the valid main header every full hour and writes a status record
  // every ten minutes.
  for (double h = std::floor(start / 3600 + 1) * 3600; h < end; h += 3600)
    if (h != changeTime)
      events.push_back({h, EventKind::Repeat});
  if (changeTime < end)
    events.push_back({changeTime, EventKind::Change});
  for (double q = start + 630; q < end; q += 600)
    events.push_back({q, EventKind::Quart});
  std::stable_sort(events.begin(), events.end(),
                   [](const HeaderEvent &a, const HeaderEvent &b) { return a.time < b.time; });

  for (int m = 1; m <= options.startMinute; ++m)
    writer.SetMinutePosition(m, 0);
  nextMinute = options.startMinute + 1;
  writer.AddMainHeader(firstHeader);
}

void DayGenerator::FlushUntil(double seconds) {
  for (;;) {
    const double markTime = nextMinute <= 1440 ? nextMinute * 60.0 : 1e30;
    const double eventTime = nextEvent < events.size() ? events[nextEvent].time : 1e30;
    if (std::min(markTime, eventTime) > seconds)
      return;
    if (markTime <= eventTime) {
      writer.MarkMinute(nextMinute++);
      continue;
    }
    const HeaderEvent &e = events[nextEvent++];
    if (e.kind == EventKind::Quart) {
      QuartHeader q;
      q.quart1 = uint32_t(++quartCount);
      q.quart2 = uint32_t(result.particles);
      q.quart7 = uint32_t(e.time);
      writer.AddQuartHeader(q);
    } else {
      writer.AddMainHeader(e.time >= changeTime ? changedHeader : firstHeader);
    }
  }
}

MinuteTruth &DayGenerator::Minute(double seconds) {
  const size_t i = size_t(
      std::clamp(int(seconds / 60) - options.startMinute, 0, int(result.truth.minutes.size()) - 1));
  return result.truth.minutes[i];
}

void DayGenerator::Horizontal(double t, double follow, double &speedA, double &speedB) {
  // The wind comes from `direction`; camera A's pixel axis points east, camera B's north.
  // Particles follow the wind with some lag plus turbulence.
  double east, north;
  wind.Velocity(t, east, north);
  const double turbulence = 0.2 + 0.08 * wind.Speed(t);
  speedA = follow * east + random.Normal(0, turbulence);
  speedB = follow * north + random.Normal(0, turbulence);
}

bool DayGenerator::FillStep(double t) {
  const PathState s = path.At(t + STEP_SECONDS / 2);
  if (s.rate <= 0)
    return false;
  const CameraGeometry &g = GeometryAt(t);
  const double span = g.Header().lastPixel - g.Header().firstPixel;
  const double mid = (g.Header().lastPixel + g.Header().firstPixel) / 2.0;
  // Both scales vary linearly across the area, so the mean scales are those at the middle.
  const double area = span * g.ScaleA(mid) * span * g.ScaleB(mid);
  if (options.snow) {
    // Exponential spectrum of Gunn and Marshall (1958) in melted diameters for the melted rate
    // R: N0 = 3.8e3 R^-0.87 m^-3 mm^-1, lambda = 2.55 R^-0.48 mm^-1. Aggregates of density
    // about 0.1 g/cm^3 are (1/0.1)^(1/3) = 2.15 times as large as their melted drops.
    const double grow = 2.15;
    const GammaDsd dsd{3.8e3 * std::pow(s.rate, -0.87) / grow, 0,
                       2.55 * std::pow(s.rate, -0.48) / grow};
    spectrum.Fill(dsd, area);
    spectrum.Scale(intensity);
  } else {
    // Nw follows from the rate that the path asks for.
    const double unitRate = spectrum.Fill(GammaDsd::FromNormalised(1, s.dm, s.mu), area);
    spectrum.Scale(s.rate / unitRate * intensity);
  }
  return true;
}

double DayGenerator::ExpectedParticles() {
  double sum = 0;
  for (double t = start; t < end; t += STEP_SECONDS)
    if (FillStep(t))
      sum += spectrum.Rate() * std::min(STEP_SECONDS, end - t);
  // A few percent fall partly outside the usable pixels.
  return sum * 0.97;
}

void DayGenerator::Record(double seconds, const CameraGeometry &g, const Extents &e,
                          uint16_t eqDiam) {
  MinuteTruth &m = Minute(seconds);
  const double d = eqDiam / 100.0;
  const double rain = PI / 6 * d * d * d / g.MeasuringArea(e.minA, e.maxA, e.minB, e.maxB);
  m.rain += rain;
  ++m.counts[size_t(MinuteTruth::ClassOf(d))];
  ++m.particles;
  ++result.particles;
}

void DayGenerator::EmitRain(double arrival, double diameter, bool splash) {
  const CameraGeometry &g = GeometryAt(arrival);
  const double lf = g.LineFrequency();
  RainDrop drop;
  drop.arrival = arrival;
  drop.diameter = diameter;
  // Oscillations scatter the shape around equilibrium, more for big drops.
  drop.axisRatio = std::clamp(
      EquilibriumAxisRatio(diameter) * (1 + random.Normal(0, 0.015 + 0.005 * diameter)), 0.35, 1.0);
  drop.cantA = random.Normal(0, 4) * PI / 180;
  drop.cantB = random.Normal(0, 4) * PI / 180;
  drop.fallSpeed = TerminalVelocity(diameter) * (1 + random.Normal(0, 0.03));
  if (splash)
    drop.fallSpeed = TerminalVelocity(diameter) * random.Uniform(0.15, 0.5);
  drop.fallSpeed = std::max(0.1, drop.fallSpeed);
  double measured = drop.fallSpeed;
  if (!splash && random.Uniform() < MISMATCH_SHARE)
    measured *= random.Uniform() < 0.5 ? random.Uniform(0.4, 0.75) : random.Uniform(1.3, 1.8);
  Horizontal(arrival, 0.9, drop.speedA, drop.speedB);
  // Centres uniform over the physical area: pixels there are larger where the perspective
  // makes them so, which rejection from the bounding box accounts for.
  const double lo = g.Header().firstPixel, hi = g.Header().lastPixel;
  const double wMax = g.ScaleA(lo) * g.ScaleB(hi);
  do {
    drop.pixelA = random.Uniform(lo, hi);
    drop.pixelB = random.Uniform(lo, hi);
  } while (random.Uniform() * wMax > g.ScaleA(drop.pixelB) * g.ScaleB(drop.pixelA));

  const double firstLine = RainDropScanner(g).Scan(drop, image);
  const size_t linesA = image.leftA.size(), linesB = image.leftB.size();
  Extents e{*std::min_element(image.leftA.begin(), image.leftA.end()),
            *std::max_element(image.rightA.begin(), image.rightA.end()),
            *std::min_element(image.leftB.begin(), image.leftB.end()),
            *std::max_element(image.rightB.begin(), image.rightB.end())};
  const int lineDiff = int(linesB) - int(linesA);
  // A drop that shades no pixel by half in some line of a camera is not seen at all.
  auto seen = [](const std::vector<int16_t> &left, const std::vector<int16_t> &right) {
    for (size_t i = 0; i < left.size(); ++i)
      if (right[i] > left[i])
        return true;
    return false;
  };
  if (!seen(image.leftA, image.rightA) || !seen(image.leftB, image.rightB))
    return;
  if (e.minA < g.FirstUsable() || e.maxA > g.LastUsable() || e.minB < g.FirstUsable() ||
      e.maxB > g.LastUsable() || linesA >= 1200 || linesB >= 1200 ||
      (writer.Format() == 1 && (lineDiff < -128 || lineDiff > 127))) {
    ++result.outside;
    return;
  }
  // A drop seen just before a recalibration whose first line lies behind the new header's
  // line would be read with the new geometry; such a drop is dropped.
  if (arrival < changeTime && firstLine > std::floor(std::fmod(changeTime, 86400) * lf))
    return;

  const EncodedRain encoded = EncodeRain(image);
  if (PixHeader::FileSize(writer.Format()) + encoded.data.size() > MAX_RECORD) {
    ++result.outside;
    return;
  }
  // The velocity comes back from the delay between the planes, measured in half lines.
  const float pd = g.PlaneDistance(float(e.minA + e.maxA) / 2.0f, float(e.minB + e.maxB) / 2.0f);
  const long absv = std::clamp(std::lround(2 * pd * lf / (1000 * measured)), 1L, 32767L);
  PixHeader h;
  h.tim = firstLine;
  const uint16_t eqDiam = uint16_t(std::lround(diameter * 100));
  h.eqDiam = eqDiam;
  h.lineCountA = int16_t(writer.Format() == 1 ? linesA - 1 : linesA);
  h.lineDiffB = int16_t(lineDiff);
  h.absv = int16_t(absv);
  h.offsetA = encoded.offsetA;
  h.offsetB = encoded.offsetB;
  h.pixScaleH = HeightScale(pd, absv);
  const double unit = writer.Format() == 1 ? 1000 : 10000;
  h.pixScaleA = uint16_t(std::lround(g.ScaleA(drop.pixelB) * unit));
  h.pixScaleB = uint16_t(std::lround(g.ScaleB(drop.pixelA) * unit));
  FlushUntil(arrival);
  writer.AddPixRecord(h, encoded.data, encoded.bits, 0);
  Record(arrival, g, e, eqDiam);
  if (!splash) {
    const double d = eqDiam / 100.0;
    gauge.AddRain(arrival, PI / 6 * d * d * d / g.MeasuringArea(e.minA, e.maxA, e.minB, e.maxB));
  }
}

void DayGenerator::EmitSnow(double arrival, double diameter) {
  const CameraGeometry &g = GeometryAt(arrival);
  const double lf = g.LineFrequency();
  SnowFlake flake;
  flake.arrival = arrival;
  flake.blobs = SnowFlakeScanner::Aggregate(random, diameter);
  flake.fallSpeed = std::clamp(SnowFallVelocity(diameter) * (1 + random.Normal(0, 0.12)), 0.5, 2.0);
  Horizontal(arrival, 0.8, flake.speedA, flake.speedB);
  const double lo = g.Header().firstPixel, hi = g.Header().lastPixel;
  const double wMax = g.ScaleA(lo) * g.ScaleB(hi);
  do {
    flake.pixelA = random.Uniform(lo, hi);
    flake.pixelB = random.Uniform(lo, hi);
  } while (random.Uniform() * wMax > g.ScaleA(flake.pixelB) * g.ScaleB(flake.pixelA));

  const auto firstLines = SnowFlakeScanner(g).Scan(flake, snowA, snowB);
  if (snowA.empty() || snowB.empty() || snowA.size() > 1200 || snowB.size() > 1200) {
    ++result.outside;
    return;
  }
  auto extents = [](const std::vector<SnowLine> &lines, int &lo, int &hi) {
    lo = 1 << 15;
    hi = 0;
    for (const auto &line : lines)
      for (const auto &s : line) {
        lo = std::min<int>(lo, s.start);
        hi = std::max<int>(hi, s.end);
      }
  };
  Extents e;
  extents(snowA, e.minA, e.maxA);
  extents(snowB, e.minB, e.maxB);
  if (e.minA < g.FirstUsable() || e.maxA > g.LastUsable() || e.minB < g.FirstUsable() ||
      e.maxB > g.LastUsable()) {
    ++result.outside;
    return;
  }
  if (arrival < changeTime && firstLines.a > std::floor(std::fmod(changeTime, 86400) * lf))
    return;
  std::vector<uint8_t> data;
  try {
    data = EncodeSnow(snowA, snowB, firstLines.a, firstLines.b);
  } catch (const std::invalid_argument &) {
    ++result.outside;
    return;
  }
  if (PixHeader::FileSize(4) + data.size() > MAX_RECORD) {
    ++result.outside; // the acquisition cannot store it either
    return;
  }
  const float pd = g.PlaneDistance(float(e.minA + e.maxA) / 2.0f, float(e.minB + e.maxB) / 2.0f);
  const long absv = std::clamp(std::lround(2 * pd * lf / (1000 * flake.fallSpeed)), 1L, 32767L);
  PixHeader h;
  h.tim = firstLines.a;
  const uint16_t eqDiam = uint16_t(std::lround(diameter * 100));
  h.eqDiam = eqDiam;
  h.lineCountA = int16_t(snowA.size());
  h.lineDiffB = int16_t(int(snowB.size()) - int(snowA.size()));
  h.absv = int16_t(absv);
  h.offsetA = int16_t(e.minA);
  h.offsetB = int16_t(e.minB);
  h.pixScaleH = HeightScale(pd, absv);
  h.pixScaleA = uint16_t(std::lround(g.ScaleA(flake.pixelB) * 10000));
  h.pixScaleB = uint16_t(std::lround(g.ScaleB(flake.pixelA) * 10000));
  FlushUntil(arrival);
  writer.AddPixRecord(h, data, 0, 0);
  Record(arrival, g, e, eqDiam);
}

void DayGenerator::DrawStep(double t) {
  const double stepEnd = std::min(end, t + STEP_SECONDS);
  MinuteTruth &m = Minute(t);
  if (!FillStep(t))
    return;
  const double length = stepEnd - t;
  m.expectedRain += spectrum.expectedRain * length;
  for (size_t j = 0; j < spectrum.diameter.size(); ++j)
    m.nd[size_t(MinuteTruth::ClassOf(spectrum.diameter[j]))] +=
        spectrum.concentration[j] / MinuteTruth::CLASS_WIDTH * length / 60;
  if (options.snow)
    gauge.AddRain(t, path.At(t + length / 2).rate * length / 3600);

  const double rate = spectrum.Rate();
  for (double arrival = t + random.Exponential() / rate; arrival < stepEnd;
       arrival += random.Exponential() / rate) {
    const size_t j = spectrum.Draw(random.Uniform());
    const double d = spectrum.diameter[std::min(j, spectrum.diameter.size() - 1)] +
                     (random.Uniform() - 0.5) * BIN_MM;
    if (options.snow) {
      EmitSnow(arrival, d);
      continue;
    }
    EmitRain(arrival, d, false);
    if (random.Uniform() < SPLASH_SHARE)
      EmitRain(arrival + random.Uniform(0.0002, 0.001), random.Uniform(0.2, 0.8), true);
  }
}

DayResult DayGenerator::Run() {
  result.truth.snow = options.snow;
  for (int m = options.startMinute; m * 60.0 < end; ++m) {
    MinuteTruth minute;
    minute.minute = m;
    result.truth.minutes.push_back(minute);
  }
  if (options.particles > 0) {
    const double expected = ExpectedParticles();
    if (expected > 0)
      intensity = double(options.particles) / expected;
  }
  // About 45 bytes per rain particle.
  writer.Reserve(size_t(std::max<int64_t>(options.particles, 0)) * 48);
  for (double t = start; t < end; t += STEP_SECONDS)
    DrawStep(t);
  FlushUntil(end);

  result.truth.catchFactor = gauge.CatchFactor();
  result.truth.tips = int64_t(gauge.TipTimes().size());
  const std::string base = options.outDir + "/" + options.name;
  result.dataPath = base + (options.snow ? ".sno" : ".hyd");
  if (options.writeFiles) {
    writer.Write(result.dataPath, base + (options.snow ? ".shd" : ".hd"));
    WriteFile(base + ".wd", wind.Bytes());
    const std::string tip = gauge.Text(start);
    WriteFile(base + ".tip", std::vector<uint8_t>(tip.begin(), tip.end()));
  }
  return result;
}

} // namespace

DayResult GenerateDay(const DayOptions &options) { return DayGenerator(options).Run(); }

DayOptions DemoRainDay(const std::string &outDir, const std::string &name) {
  DayOptions rain;
  rain.outDir = outDir;
  rain.name = name;
  rain.startMinute = 6 * 60;
  rain.hours = 4.5;
  rain.showerDay = true;
  rain.ident = name + ".hyd";
  return rain;
}

} // namespace synth
