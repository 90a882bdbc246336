#pragma once
// A small rain day written at test time, a document opened on it, and looks into the images
// that the views render.
#include "ControlId.h"
#include "TempDirTest.h"
#include "TinyDay.h"
#include "document/CPluvicamDoc.h"
#include "document/DocumentRun.h"
#include "particle/CHydData.h"
#include "synth/CameraGeometry.h"
#include "synth/HydWriter.h"
#include "synth/RainDropScanner.h"
#include "views/LogicalMapping.h"

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace viewtest {

using testday::DAY;

class Messages : public UserMessages {
public:
  void Show(const std::string &text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

class ViewTest : public TempDirTest {
protected:
  // Writes "day1.hyd" with the instrument's usual main header at 06:00 and the drops; with
  // `secondHeaderBefore`, another main header a second before that drop.
  void WriteDay(const std::vector<synth::RainDrop> &drops, int secondHeaderBefore = -1) {
    const MainHeader header = synth::TypicalMainHeader(DAY + 6 * 3600);
    const synth::CameraGeometry g(header);
    const synth::RainDropScanner scanner(g);
    synth::HydWriter w(4);
    w.AddMainHeader(header);
    const double lf = header.lineFrequency;
    for (const synth::RainDrop &drop : drops) {
      if (secondHeaderBefore == int(&drop - drops.data()))
        w.AddMainHeader(synth::TypicalMainHeader(DAY + int32_t(drop.arrival) - 1));
      synth::RainImage image;
      const double firstLine = scanner.Scan(drop, image);
      const synth::EncodedRain enc = synth::EncodeRain(image);
      auto lo = [](const std::vector<int16_t> &v) { return *std::min_element(v.begin(), v.end()); };
      auto hi = [](const std::vector<int16_t> &v) { return *std::max_element(v.begin(), v.end()); };
      const float pd = g.PlaneDistance(float(lo(image.leftA) + hi(image.rightA)) / 2.0f,
                                       float(lo(image.leftB) + hi(image.rightB)) / 2.0f);
      const long absv = std::clamp(std::lround(2 * pd * lf / (1000 * drop.fallSpeed)), 1L, 32767L);
      PixHeader h;
      h.tim = firstLine;
      h.eqDiam = uint16_t(std::lround(drop.diameter * 100));
      h.lineCountA = int16_t(image.leftA.size());
      h.lineDiffB = int16_t(int(image.leftB.size()) - int(image.leftA.size()));
      h.absv = int16_t(absv);
      h.offsetA = enc.offsetA;
      h.offsetB = enc.offsetB;
      h.pixScaleH = uint16_t(std::lround(10000 * pd / (absv * 0.5)));
      h.pixScaleA = uint16_t(std::lround(g.ScaleA(drop.pixelB) * 10000));
      h.pixScaleB = uint16_t(std::lround(g.ScaleB(drop.pixelA) * 10000));
      w.AddPixRecord(h, enc.data, enc.bits, 0);
    }
    w.Write(Path("day1.hyd"), Path("day1.hd"));
  }

  // A drop of `diameter` mm at `seconds` of day, falling and drifting as given.
  static synth::RainDrop Drop(double seconds, double diameter, double fall = 6.5, double speedA = 0,
                              double speedB = 0, double pixelA = 200, double pixelB = 300) {
    synth::RainDrop d;
    d.arrival = seconds;
    d.diameter = diameter;
    d.axisRatio = 0.9;
    d.fallSpeed = fall;
    d.speedA = speedA;
    d.speedB = speedB;
    d.pixelA = pixelA;
    d.pixelB = pixelB;
    return d;
  }

  // Opens the day with the whole day as time window.
  void Open() {
    FilterRecord f = FilterRecord::DocumentDefaults();
    f.endTime.hour = 24;
    doc.SetFilterSettings(f);
    std::string message;
    ASSERT_EQ(doc.OpenHydFile(Path("day1.hyd"), &message), 1) << message;
  }
  // One step of the main run; the views hear of it.
  int Step() { return StepDocument(doc).status; }

  Messages messages;
  CPluvicamDoc doc{&messages};
};

// Device pixel of a logical point under window origin/extent over a client of `size`.
inline QPoint Device(QPointF windowOrg, QSizeF windowExt, QSize size, QPointF logical) {
  const QPointF d =
      LogicalMapping::Anisotropic(windowOrg, windowExt, {}, QSizeF(size)).ToDevice(logical);
  return {int(std::floor(d.x())), int(std::floor(d.y()))};
}

// Pixels of `colour` in the device rectangle (clipped to the image).
inline int CountColour(const QImage &image, QRect r, QColor colour) {
  r = r.normalized().intersected(image.rect());
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      n += QColor(image.pixel(x, y)) == colour;
  return n;
}

// Whether `colour` lies within `radius` pixels of `p`.
inline bool ColourNear(const QImage &image, QPoint p, QColor colour, int radius = 1) {
  return CountColour(image, QRect(p - QPoint(radius, radius), p + QPoint(radius, radius)), colour) >
         0;
}

} // namespace viewtest
