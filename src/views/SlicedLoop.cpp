#include "SlicedLoop.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void RunInSlices(const std::function<bool()> &step, int sliceMs) {
  QEventLoop loop;
  QTimer timer;
  timer.setInterval(0);
  bool more = true;
  bool inside = false;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    // A step that opens a window of its own (a message box) must not be entered again from the
    // events that window lets through.
    if (inside || !more)
      return;
    inside = true;
    QElapsedTimer clock;
    clock.start();
    // Asking the clock costs more than a step: ask it every few dozen steps.
    do {
      for (int i = 0; i < 64 && more; ++i)
        more = step();
    } while (more && clock.elapsed() < sliceMs);
    inside = false;
    if (!more) {
      timer.stop();
      loop.quit();
    }
  });
  timer.start();
  loop.exec();
}
