// The main of the window benchmarks: an application without a display unless one is asked for.
#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty())
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
