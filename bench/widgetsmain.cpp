// The main() of the benchmarks that need widgets: an offscreen application unless the caller
// names a platform (startup figures under Xvfb, for example). Texts are compared and sorted as
// a trader's locale does, not in the plain code order of the C locale, unless LC_ALL says else.
#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LC_ALL"))
        qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
