#include "startup/programsetup.h"
#include "support/benchchild.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// The shared main of the benchmarks: widgets need an application object; the offscreen
// platform lets them run without a display. A benchmark that measures a first run starts
// the program again to do one piece of work (support/benchchild.h).
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetupApplication(); // the program's own start-up: its faces, time zone, message boxes
    if (int status = 0; RunAsBenchChild(argc, argv, &status))
        return status;
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
