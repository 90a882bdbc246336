#include "SlicedLoop.h"

#include "statistics/DiagramCollection.h"

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

bool CollectInSlices(CPluvicamDoc &doc, const std::function<bool()> &running,
                     const std::function<void(const HydRecord &)> &onParticle,
                     const std::function<void()> &onEnd, bool keepInterval) {
  DiagramCollection collection(doc, keepInterval);
  bool failed = false;
  RunInSlices([&] {
    if (!running())
      return false;
    switch (collection.Next()) {
    case DiagramCollection::Particle:
      onParticle(*collection.Record());
      return running();
    case DiagramCollection::Nothing:
      return running();
    case DiagramCollection::Failed:
      failed = true;
      onEnd();
      return false;
    case DiagramCollection::End:
      onEnd();
      return false;
    }
    return false;
  });
  collection.Finish();
  return !failed;
}
