#include "forms/errorboxes.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// The shared main of the benchmarks: widgets need an application object; the offscreen
// platform lets them run without a display.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallBoxPresenter();
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
