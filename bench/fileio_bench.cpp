// Loading and saving a 10-minute 44.1 kHz 16-bit stereo wave file (106 MB), against sox copying
// the same file (`sox in.wav out.wav`) in the same run. Times are wall-clock: sox runs as a child
// process, and both sides include writing the whole file out.

#include "benchfolder.h"
#include "benchmain.h"
#include "core/samplebuffer.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <sys/resource.h>

namespace {

constexpr quint32 kRate = 44100;
constexpr quint32 kFrames = 10 * 60 * kRate;

// Files live in memory when the system offers it, so both sides are measured, not the disk; on
// CPU seconds used so far by this process, or by its finished children.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The input file, made once for the whole run: two tones, one per channel.
struct Input {
    QTemporaryDir dir{BenchTempTemplate()};
    QString wave;
    QString error;

    Input() {
        CSampleBuffer buffer;
        if (!buffer.InsertFrames(0, kFrames * 4, 0)) {
            error = QStringLiteral("cannot allocate the input sample");
            return;
        }
        buffer.SetFormat(kRate, true, true);
        quint8* p = buffer.GetData();
        for (quint32 f = 0; f < kFrames; ++f, p += 4) {
            const auto left = qint16(12000 * std::sin(f * (2 * M_PI * 440 / kRate)));
            const auto right = qint16(9000 * std::sin(f * (2 * M_PI * 555 / kRate)));
            std::memcpy(p, &left, 2);
            std::memcpy(p + 2, &right, 2);
        }
        wave = dir.filePath(QStringLiteral("in.wav"));
        if (!buffer.SaveFile(wave, FileKind::Wave))
            error = QStringLiteral("cannot write the input file");
    }
};

const Input& TheInput() {
    static const Input input;
    return input;
}

bool Ready(benchmark::State& state) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return false;
    }
    return true;
}

void BM_Load(benchmark::State& state) {
    if (!Ready(state))
        return;
    for (auto _ : state) {
        CSampleBuffer buffer;
        if (!buffer.LoadFile(TheInput().wave, FileKind::Wave))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(buffer.GetData());
    }
    state.SetBytesProcessed(state.iterations() * qint64(kFrames) * 4);
}

void BM_LoadAndSave(benchmark::State& state) {
    if (!Ready(state))
        return;
    const QString out = TheInput().dir.filePath(QStringLiteral("ours.wav"));
    const double cpu = CpuSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        CSampleBuffer buffer;
        if (!buffer.LoadFile(TheInput().wave, FileKind::Wave) ||
            !buffer.SaveFile(out, FileKind::Wave))
            state.SkipWithError("load or save failed");
    }
    // Kernel time included, to compare with the child's time of the sox run.
    state.counters["process_cpu_ms"] =
        benchmark::Counter((CpuSeconds(RUSAGE_SELF) - cpu) * 1e3 / double(state.iterations()));
    state.SetBytesProcessed(state.iterations() * qint64(kFrames) * 4);
}

void BM_SoxCopy(benchmark::State& state) {
    if (!Ready(state))
        return;
    const QString sox = FindPeer(state, "sox");
    if (sox.isEmpty())
        return;
    const QString out = TheInput().dir.filePath(QStringLiteral("sox.wav"));
    const double cpu = CpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        QProcess process;
        process.start(sox, {TheInput().wave, out});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("sox failed");
    }
    state.counters["process_cpu_ms"] =
        benchmark::Counter((CpuSeconds(RUSAGE_CHILDREN) - cpu) * 1e3 / double(state.iterations()));
    state.SetBytesProcessed(state.iterations() * qint64(kFrames) * 4);
}

// The floor under any load and save: the kernel copying the file once (`cp in.wav out.wav`).
void BM_CpCopy(benchmark::State& state) {
    if (!Ready(state))
        return;
    const QString cp = QStandardPaths::findExecutable(QStringLiteral("cp"));
    const QString out = TheInput().dir.filePath(QStringLiteral("cp.wav"));
    for (auto _ : state) {
        QProcess process;
        process.start(cp, {QStringLiteral("--reflink=never"), TheInput().wave, out});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(state.iterations() * qint64(kFrames) * 4);
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_LoadAndSave)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SoxCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CpCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
