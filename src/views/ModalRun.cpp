#include "ModalRun.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr qint64 SLICE_MS = 15;
constexpr int STEPS_PER_CLOCK_LOOK = 64;
} // namespace

void RunModal(const std::function<bool()> &step) {
  QEventLoop loop;
  QTimer slices;
  slices.setInterval(0);
  bool done = false;
  bool inside = false;
  QObject::connect(&slices, &QTimer::timeout, &loop, [&] {
    // A step that opens a window of its own (a message box) must not be entered again from it.
    if (inside || done)
      return;
    inside = true;
    QElapsedTimer clock;
    clock.start();
    do {
      for (int i = 0; i < STEPS_PER_CLOCK_LOOK; ++i) {
        if (!step()) {
          done = true;
          slices.stop();
          loop.quit();
          inside = false;
          return;
        }
      }
    } while (clock.elapsed() < SLICE_MS);
    inside = false;
  });
  slices.start();
  if (!done)
    loop.exec();
}
