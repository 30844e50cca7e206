#include "bench/BenchFigures.h"

#include <QApplication>

// The main of the benchmarks that need widgets: a QApplication, offscreen unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runBenchmarksWithFigures(argc, argv, registeredBenchFigures());
}
