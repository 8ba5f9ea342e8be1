#pragma once
// The one main() of the benchmarks: the Qt application the code under test needs (a widget
// application draws on the offscreen platform, so no display is needed), the benchmark library's
// own arguments, and the preparation (making the files or samples) done once before any timing.

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <type_traits>

template <class Application, class Prepare = void (*)()>
int RunBenchmarks(int argc, char** argv, Prepare prepare = nullptr) {
    if constexpr (std::is_base_of_v<QGuiApplication, Application>)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (prepare)
        prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
