// The editor's whole-sample operations on a 10-minute 44.1 kHz 16-bit stereo sample (106 MB),
// each beside its peer in the same run:
//  - in memory: Amplify, Reverse and ChangeSign beside memcpy of the same bytes (also on the
//    same music at 24 bits and in float), and the undo of a whole-sample edit beside the edit
//    itself;
//  - file to file (load, operate, save): beside sox doing the same to the same file.
// Every figure is wall-clock time; sox runs as its own process.

#include "benchmain.h"
#include "core/samplebuffer.h"
#include "core/sampleeditor.h"

#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr quint32 kRate = 44100;
constexpr quint32 kFrames = kRate * 600;
constexpr quint64 kBytes = quint64(kFrames) * 4;

// Two detuned tones with a little noise: music-like values, nothing a table could shortcut.
void FillMusic(CSampleBuffer& buffer) {
    buffer.SetFormat(kRate, true, true);
    buffer.InsertFrames(0, kFrames, 0);
    quint8* p = buffer.GetData();
    quint32 noise = 12345;
    for (quint32 i = 0; i < kFrames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = double(i) / kRate;
        const int left = int(12000 * std::sin(2 * M_PI * 440 * t)) + int(noise >> 24) - 128;
        const int right =
            int(12000 * std::sin(2 * M_PI * 443 * t)) + int((noise >> 16) & 255) - 128;
        for (int v : {left, right}) {
            *p++ = quint8(v & 0xFF);
            *p++ = quint8((v >> 8) & 0xFF);
        }
    }
    buffer.CommitFormat();
}

CSampleBuffer& Sample() {
    static CSampleBuffer* sample = [] {
        auto* buffer = new CSampleBuffer;
        FillMusic(*buffer);
        return buffer;
    }();
    return *sample;
}

// ----- In memory -----------------------------------------------------------------------------

void BM_Memcpy(benchmark::State& state) {
    std::vector<quint8> target(kBytes, 1);
    const quint8* source = Sample().GetData();
    for (auto _ : state) {
        std::memcpy(target.data(), source, kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(kBytes));
}

void BM_Amplify(benchmark::State& state) {
    for (auto _ : state)
        Sample().Amplify(1.01f, -1, -1, 0);
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(kBytes));
}

void BM_Reverse(benchmark::State& state) {
    for (auto _ : state)
        Sample().Reverse(-1, -1, 0);
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(kBytes));
}

void BM_ChangeSign(benchmark::State& state) {
    for (auto _ : state)
        Sample().ChangeSign(-1, -1);
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(kBytes));
}

// The same music at 24 bits and in float, for the operations at those depths; each beside memcpy
// of its own bytes.
CSampleBuffer& SampleAt(SampleDepth depth) {
    static CSampleBuffer* samples[4] = {};
    CSampleBuffer*& sample = samples[int(depth)];
    if (!sample) {
        sample = new CSampleBuffer;
        sample->CopyFrom(Sample());
        sample->SetFormat(kRate, true, depth);
        sample->ApplyFormat();
    }
    return *sample;
}

void BM_MemcpyAt(benchmark::State& state, SampleDepth depth) {
    const CSampleBuffer& sample = SampleAt(depth);
    std::vector<quint8> target(sample.GetByteLength(), 1);
    for (auto _ : state) {
        std::memcpy(target.data(), sample.GetData(), target.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(target.size()));
}

void BM_AmplifyAt(benchmark::State& state, SampleDepth depth) {
    CSampleBuffer& sample = SampleAt(depth);
    // Up and down again, so that float samples neither grow without end nor all saturate.
    bool up = true;
    for (auto _ : state) {
        sample.Amplify(up ? 1.01f : 1.0f / 1.01f, -1, -1, 0);
        up = !up;
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(sample.GetByteLength()));
}

void BM_ReverseAt(benchmark::State& state, SampleDepth depth) {
    CSampleBuffer& sample = SampleAt(depth);
    for (auto _ : state)
        sample.Reverse(-1, -1, 0);
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(sample.GetByteLength()));
}

void BM_ChangeSignAt(benchmark::State& state, SampleDepth depth) {
    CSampleBuffer& sample = SampleAt(depth);
    for (auto _ : state)
        sample.ChangeSign(-1, -1);
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(sample.GetByteLength()));
}

// A straight envelope and pan run over the whole sample, without the undo copy: what the
// curve windows apply, beside the amplify of the same bytes.
void BM_ScaleRampAt(benchmark::State& state, SampleDepth depth) {
    CSampleBuffer& sample = SampleAt(depth);
    bool up = true;
    for (auto _ : state) {
        sample.ScaleRamp(0, kFrames, 0, up ? 1.0 : 1.01, up ? 0.01 / kFrames : -0.01 / kFrames, 0);
        up = !up;
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(sample.GetByteLength()));
}

void BM_PanRampAt(benchmark::State& state, SampleDepth depth) {
    CSampleBuffer& sample = SampleAt(depth);
    for (auto _ : state)
        sample.PanRamp(0, kFrames, 0.4, 0.2 / kFrames, 0);
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(sample.GetByteLength()));
}

// The edit as the document does it: recording its undo step included.
void BM_AmplifyRecorded(benchmark::State& state) {
    CSampleEditor editor(Sample());
    for (auto _ : state) {
        editor.Amplify(1.01f, -1, -1, 0);
        state.PauseTiming();
        editor.ClearHistory();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(kBytes));
}

// Undo of a whole-sample edit, the edit itself untimed.
void BM_Undo(benchmark::State& state, void (*edit)(CSampleEditor&)) {
    CSampleEditor editor(Sample());
    for (auto _ : state) {
        state.PauseTiming();
        edit(editor);
        state.ResumeTiming();
        if (!editor.Undo())
            state.SkipWithError("nothing to undo");
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(kBytes));
}

void AmplifyWhole(CSampleEditor& editor) {
    editor.Amplify(1.01f, -1, -1, 0);
}
void ReverseWhole(CSampleEditor& editor) {
    editor.Reverse(-1, -1, 0);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Amplify)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChangeSign)->Unit(benchmark::kMillisecond)->UseRealTime();
#define DEPTH_CASES(function)                                                                      \
    BENCHMARK_CAPTURE(function, int24, SampleDepth::Int24)                                         \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(function, float, SampleDepth::Float32)                                       \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()
DEPTH_CASES(BM_MemcpyAt);
DEPTH_CASES(BM_AmplifyAt);
DEPTH_CASES(BM_ReverseAt);
DEPTH_CASES(BM_ChangeSignAt);
DEPTH_CASES(BM_ScaleRampAt);
DEPTH_CASES(BM_PanRampAt);
BENCHMARK(BM_AmplifyRecorded)->Unit(benchmark::kMillisecond)->UseRealTime();
// A fixed count: the untimed edit around each undo would otherwise run for hours.
BENCHMARK_CAPTURE(BM_Undo, amplify, AmplifyWhole)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(8);
BENCHMARK_CAPTURE(BM_Undo, reverse, ReverseWhole)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(8);

// ----- File to file --------------------------------------------------------------------------

struct CFiles {
    QTemporaryDir dir;
    QString in;
    QString out;
};

// A static object, not a leaked one: its folder and two 106 MB files go when the run ends.
const CFiles& Files() {
    static const CFiles files = [] {
        CFiles f;
        f.in = f.dir.filePath(QStringLiteral("long.wav"));
        f.out = f.dir.filePath(QStringLiteral("out.wav"));
        if (!Sample().SaveFile(f.in, FileKind::Wave))
            std::abort();
        return f;
    }();
    return files;
}

enum class Operation { Volume, Reverse, Mono, EightBit, HalfRate };

void Operate(CSampleBuffer& buffer, Operation operation) {
    switch (operation) {
    case Operation::Volume:
        buffer.Amplify(2.0f, -1, -1, 0);
        break;
    case Operation::Reverse:
        buffer.Reverse(-1, -1, 0);
        break;
    case Operation::Mono:
        buffer.SetFormat(kRate, false, true);
        buffer.ApplyFormat();
        break;
    case Operation::EightBit:
        buffer.SetFormat(kRate, true, false);
        buffer.ApplyFormat();
        break;
    case Operation::HalfRate:
        buffer.SetFormat(22050, true, true);
        buffer.ApplyFormat();
        break;
    }
}

bool FileToFile(const CFiles& files, Operation operation) {
    CSampleBuffer buffer;
    if (!buffer.LoadFile(files.in, FileKind::Wave))
        return false;
    Operate(buffer, operation);
    return buffer.SaveFile(files.out, FileKind::Wave);
}

// Each side runs once untimed first, so neither pays for a cold start (the first 100 MB the
// process asks the kernel for, sox's first start) inside its few timed runs.
void BM_FileOurs(benchmark::State& state, Operation operation) {
    const CFiles& files = Files();
    FileToFile(files, operation);
    for (auto _ : state) {
        if (!FileToFile(files, operation))
            state.SkipWithError("load or save failed");
    }
}

void BM_FileSox(benchmark::State& state, QStringList effect) {
    const CFiles& files = Files();
    const QString sox = FindPeer(state, "sox");
    if (sox.isEmpty())
        return;
    // Options before the output name (-b 8) go there; effects after it.
    QStringList arguments{QStringLiteral("-V1"), files.in};
    if (!effect.isEmpty() && effect.first().startsWith(QLatin1Char('-'))) {
        arguments << effect.takeFirst() << effect.takeFirst();
    }
    arguments << files.out << effect;
    QProcess::execute(sox, arguments);
    for (auto _ : state) {
        if (QProcess::execute(sox, arguments) != 0)
            state.SkipWithError("sox failed");
    }
}

// Fixed counts: one run of a 106 MB file takes from a tenth of a second to a second.
#define FILE_PAIR(name, operation, ...)                                                            \
    BENCHMARK_CAPTURE(BM_FileOurs, name, operation)                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->Iterations(5);                                                                           \
    BENCHMARK_CAPTURE(BM_FileSox, name, QStringList{__VA_ARGS__})                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->Iterations(3)

FILE_PAIR(vol_2, Operation::Volume, QStringLiteral("vol"), QStringLiteral("2"));
FILE_PAIR(reverse, Operation::Reverse, QStringLiteral("reverse"));
FILE_PAIR(channels_1, Operation::Mono, QStringLiteral("channels"), QStringLiteral("1"));
FILE_PAIR(bits_8, Operation::EightBit, QStringLiteral("-b"), QStringLiteral("8"));
FILE_PAIR(rate_22050, Operation::HalfRate, QStringLiteral("rate"), QStringLiteral("-q"),
          QStringLiteral("22050"));

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv, Files);
}
