// 24-bit and float wave files of 10 minutes of 44.1 kHz stereo (159 MB and 212 MB), file to file,
// each beside its peer in the same run:
//  - load, Amplify or Reverse, save: beside sox doing the same to the same file;
//  - load and save unchanged: beside cp copying the file, the floor under any load and save.
// Every figure is wall-clock time; sox and cp run as their own processes. Beside it, process_cpu_ms
// is the CPU time (user and kernel) each side used, ours or the child's, which a busy machine
// disturbs less than the wall clock.

#include "benchfolder.h"
#include "benchmain.h"
#include "core/samplebuffer.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

namespace {

constexpr quint32 kRate = 44100;
constexpr quint32 kFrames = 10 * 60 * kRate;

struct CFiles {
    QTemporaryDir dir{BenchTempTemplate()};
    QString in[2];
    QString out;
};

// Two tones, one per side, written straight in the depth's own form.
bool MakeInput(const QString& path, SampleDepth depth) {
    CSampleBuffer buffer;
    buffer.SetFormat(kRate, true, depth);
    if (!buffer.InsertFrames(0, kFrames, 0))
        return false;
    quint8* p = buffer.GetData();
    for (quint32 f = 0; f < kFrames; ++f) {
        const double sides[2] = {0.4 * std::sin(f * (2 * M_PI * 440 / kRate)),
                                 0.3 * std::sin(f * (2 * M_PI * 555 / kRate))};
        for (double x : sides) {
            if (depth == SampleDepth::Int24) {
                const qint32 v = qint32(std::lround(x * 8388607));
                std::memcpy(p, &v, 3);
                p += 3;
            } else {
                const float v = float(x);
                std::memcpy(p, &v, 4);
                p += 4;
            }
        }
    }
    return buffer.SaveFile(path, FileKind::Wave) == 1;
}

CFiles* g_files = nullptr;

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void CountCpu(benchmark::State& state, int who, double before) {
    state.counters["process_cpu_ms"] =
        benchmark::Counter((CpuSeconds(who) - before) * 1e3 / double(state.iterations()));
}

void Prepare() {
    static CFiles files;
    files.in[0] = files.dir.filePath(QStringLiteral("in24.wav"));
    files.in[1] = files.dir.filePath(QStringLiteral("infloat.wav"));
    files.out = files.dir.filePath(QStringLiteral("out.wav"));
    if (!MakeInput(files.in[0], SampleDepth::Int24) ||
        !MakeInput(files.in[1], SampleDepth::Float32))
        std::abort();
    g_files = &files;
}

enum class Operation { None, Amplify, Reverse };

const QString& Input(SampleDepth depth) {
    return g_files->in[depth == SampleDepth::Int24 ? 0 : 1];
}

bool FileToFile(SampleDepth depth, Operation operation) {
    CSampleBuffer buffer;
    if (!buffer.LoadFile(Input(depth), FileKind::Wave) || buffer.GetDepth() != depth)
        return false;
    if (operation == Operation::Amplify && !buffer.Amplify(0.5f, -1, -1, 0))
        return false;
    if (operation == Operation::Reverse && !buffer.Reverse(-1, -1, 0))
        return false;
    return buffer.SaveFile(g_files->out, FileKind::Wave) == 1;
}

// Each side runs once untimed first, so neither pays for a cold start inside its timed runs.
void BM_Ours(benchmark::State& state, SampleDepth depth, Operation operation) {
    if (!FileToFile(depth, operation)) {
        state.SkipWithError("load, operation or save failed");
        return;
    }
    const double cpu = CpuSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        if (!FileToFile(depth, operation))
            state.SkipWithError("load, operation or save failed");
    }
    CountCpu(state, RUSAGE_SELF, cpu);
}

void BM_Peer(benchmark::State& state, SampleDepth depth, const char* program, QStringList args) {
    const QString path = FindPeer(state, program);
    if (path.isEmpty())
        return;
    const bool sox = qstrcmp(program, "sox") == 0;
    const QStringList arguments = (sox ? QStringList{QStringLiteral("-V1")}
                                       : QStringList{QStringLiteral("--reflink=never")}) +
                                  QStringList{Input(depth), g_files->out} + args;
    QProcess::execute(path, arguments);
    const double cpu = CpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        if (QProcess::execute(path, arguments) != 0)
            state.SkipWithError("the peer failed");
    }
    CountCpu(state, RUSAGE_CHILDREN, cpu);
}

#define WIDE_PAIR(name, depth, operation, program, ...)                                            \
    BENCHMARK_CAPTURE(BM_Ours, name, depth, operation)                                             \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->Iterations(5);                                                                           \
    BENCHMARK_CAPTURE(BM_Peer, name, depth, program, QStringList{__VA_ARGS__})                     \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->Iterations(3)

WIDE_PAIR(int24_vol, SampleDepth::Int24, Operation::Amplify, "sox", QStringLiteral("vol"),
          QStringLiteral("0.5"));
WIDE_PAIR(float_vol, SampleDepth::Float32, Operation::Amplify, "sox", QStringLiteral("vol"),
          QStringLiteral("0.5"));
WIDE_PAIR(int24_reverse, SampleDepth::Int24, Operation::Reverse, "sox", QStringLiteral("reverse"));
WIDE_PAIR(float_reverse, SampleDepth::Float32, Operation::Reverse, "sox",
          QStringLiteral("reverse"));
// Load and save against cp: quick enough for timing over two seconds, as the 16-bit pair.
#define COPY_PAIR(name, depth)                                                                     \
    BENCHMARK_CAPTURE(BM_Ours, name, depth, Operation::None)                                       \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MinTime(2.0);                                                                            \
    BENCHMARK_CAPTURE(BM_Peer, name, depth, "cp", QStringList{})                                   \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MinTime(2.0)

COPY_PAIR(int24_copy, SampleDepth::Int24);
COPY_PAIR(float_copy, SampleDepth::Float32);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv, Prepare);
}
