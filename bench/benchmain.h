#pragma once
// The one main() of the benchmarks: the Qt application the code under test needs (a widget
// application draws on the offscreen platform, so no display is needed), the benchmark library's
// own arguments, and the preparation (making the files or samples) done once before any timing.
// Also how a benchmark finds the peer program it runs beside.

#include <QGuiApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <string>
#include <type_traits>

// The path of the peer program (sox, cp, flac...); empty, and the benchmark skipped with a
// message, when it is not installed.
inline QString FindPeer(benchmark::State& state, const char* program) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
    if (path.isEmpty())
        state.SkipWithError((std::string(program) + " is not installed").c_str());
    return path;
}

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
