#include <QApplication>

#include <benchmark/benchmark.h>

// The main of the benchmarks that drive screens: an application on the offscreen platform (no
// display needed), then Google Benchmark.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
