// Loading a 10-minute 44.1 kHz 16-bit stereo FLAC file (about 106 MB of samples) into the editor,
// beside `flac -d` and `sox in.flac out.wav` decoding the same file in the same run. Times are
// wall-clock: the peers run as child processes and write their wave file to memory-backed storage.

#include "benchfolder.h"
#include "benchmain.h"
#include "core/samplebuffer.h"
#include "musicsample.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr quint32 kFrames = 10 * 60 * 44100;

// The FLAC file, written once for the whole run by the editor itself.
struct Input {
    QTemporaryDir dir{BenchTempTemplate()};
    QString flac;
    QString error;

    Input() {
        CSampleBuffer buffer;
        FillMusic(buffer, kFrames);
        flac = dir.filePath(QStringLiteral("in.flac"));
        if (buffer.GetFrameCount() != kFrames || !buffer.SaveFile(flac, FileKind::Flac))
            error = QStringLiteral("cannot write the input file");
    }
};

const Input& TheInput() {
    static const Input input;
    return input;
}

void BM_LoadFlac(benchmark::State& state) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return;
    }
    for (auto _ : state) {
        CSampleBuffer buffer;
        if (!buffer.LoadFile(TheInput().flac, FileKind::Flac) || buffer.GetFrameCount() != kFrames)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(buffer.GetData());
    }
    state.SetBytesProcessed(state.iterations() * qint64(kFrames) * 4);
}

// Runs a peer program that decodes the input file to a wave file.
void RunPeer(benchmark::State& state, const char* program, const QStringList& arguments) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return;
    }
    const QString path = FindPeer(state, program);
    if (path.isEmpty())
        return;
    for (auto _ : state) {
        QProcess process;
        process.start(path, arguments);
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("the peer failed");
    }
    state.SetBytesProcessed(state.iterations() * qint64(kFrames) * 4);
}

void BM_FlacDecode(benchmark::State& state) {
    const QString out = TheInput().dir.filePath(QStringLiteral("flac.wav"));
    RunPeer(state, "flac",
            {QStringLiteral("-d"), QStringLiteral("-f"), QStringLiteral("-s"), QStringLiteral("-o"),
             out, TheInput().flac});
}

void BM_SoxDecode(benchmark::State& state) {
    const QString out = TheInput().dir.filePath(QStringLiteral("sox.wav"));
    RunPeer(state, "sox", {TheInput().flac, out});
}

BENCHMARK(BM_LoadFlac)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FlacDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SoxDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
