// The peak summary behind the Peaks strip:
//  - building it over a 10-minute 44.1 kHz 16-bit stereo sample beside loading that sample's
//    wave file (106 MB), and beside memcpy of the same bytes, in the same run; and the load that
//    builds it as the data arrives, as the editor opens files, for that file and for the same
//    music at 24 bits and in float; building it over the 24-bit and float music;
//  - one sweep of 1920 columns at full zoom-out (both channels) over samples of 10 seconds to
//    an hour, beside reading every frame of each column, which is what a strip without the
//    summary would do. The summary's sweep must not grow with the length: past the lengths
//    whose columns fit in one block it stays flat.
// Every figure is wall-clock time.

#include "benchfolder.h"
#include "musicsample.h"

#include "core/peaksummary.h"
#include "core/samplebuffer.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr quint32 kRate = 44100;
constexpr quint32 kFileFrames = 10 * 60 * kRate;
constexpr quint32 kColumns = 1920;

// The wave file at 16 bits, and the same music at 24 bits and in float, in memory when the system
// offers it so that the load measures our reader, not the disk; made once for the whole run.
struct Input {
    QTemporaryDir dir{BenchTempTemplate()};
    QString wave;
    std::map<SampleDepth, QString> waves;
    QString error;

    Input() {
        CSampleBuffer buffer;
        FillMusic(buffer, kFileFrames);
        for (SampleDepth depth : {SampleDepth::Int16, SampleDepth::Int24, SampleDepth::Float32}) {
            const QString path = dir.filePath(QStringLiteral("in%1.wav").arg(DepthBits(depth)));
            buffer.SetFormat(kRate, true, depth);
            buffer.ApplyFormat();
            if (buffer.GetFrameCount() != kFileFrames || buffer.GetDepth() != depth ||
                !buffer.SaveFile(path, FileKind::Wave))
                error = QStringLiteral("cannot write the input files");
            waves[depth] = path;
        }
        wave = waves[SampleDepth::Int16];
    }
};

const Input& TheInput() {
    static const Input input;
    return input;
}

// Seconds per load of the file, as BM_LoadFile last measured it; registered first, so BM_Build
// finds it unless a filter left the load out.
double g_loadSeconds = 0;

void BM_LoadFile(benchmark::State& state) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        CSampleBuffer buffer;
        if (!buffer.LoadFile(TheInput().wave, FileKind::Wave))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(buffer.GetData());
    }
    g_loadSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        double(state.iterations());
    state.SetBytesProcessed(state.iterations() * qint64(kFileFrames) * 4);
}

// The load as the editor opens a file: the summary built block by block as the data arrives. Its
// cost is the difference from a plain load, given as a fraction of that load (the median of the
// pairs), for a file of each depth. The two loads alternate within one run, each going first every
// other turn: run one after the other, the second measured slower by up to a tenth with no summary
// at all, as the system's memory state drifts.
void BM_LoadWithSummary(benchmark::State& state, SampleDepth depth) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return;
    }
    auto timedLoad = [&](CPeakSummary* summary) {
        const auto start = std::chrono::steady_clock::now();
        CSampleBuffer buffer;
        if (!buffer.LoadFile(TheInput().waves.at(depth), FileKind::Wave, summary))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(buffer.GetData());
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    // Each pair's own ratio, and their median: a pair disturbed by the system counts once.
    std::vector<double> ratios;
    bool summaryFirst = false;
    for (auto _ : state) {
        CPeakSummary summary;
        double with = 0;
        if (summaryFirst)
            with = timedLoad(&summary);
        const double plain = timedLoad(nullptr);
        if (!summaryFirst)
            with = timedLoad(&summary);
        benchmark::DoNotOptimize(summary.BlockFrames());
        summaryFirst = !summaryFirst;
        ratios.push_back(with / plain - 1.0);
        state.SetIterationTime(with);
    }
    if (!ratios.empty()) {
        std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
        state.counters["summary_per_load"] = ratios[ratios.size() / 2];
    }
    state.SetBytesProcessed(state.iterations() * qint64(kFileFrames) * 2 * DepthBits(depth) / 8);
}

// The loaded file that Build and its memcpy peer read.
const CSampleBuffer* Loaded() {
    static CSampleBuffer loaded;
    if (!loaded.HasData() && TheInput().error.isEmpty())
        loaded.LoadFile(TheInput().wave, FileKind::Wave);
    return loaded.HasData() ? &loaded : nullptr;
}

void BM_Build(benchmark::State& state) {
    if (!Loaded()) {
        state.SkipWithError("load failed");
        return;
    }
    const CSampleBuffer& loaded = *Loaded();
    CPeakSummary summary;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        summary.Build(loaded);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        double(state.iterations());
    if (g_loadSeconds > 0)
        state.counters["build_per_load"] = seconds / g_loadSeconds;
    state.counters["memory_pct"] = 100.0 * double(summary.MemoryBytes()) / loaded.GetByteLength();
    state.SetBytesProcessed(state.iterations() * qint64(loaded.GetByteLength()));
}

// Building over the same music at 24 bits and in float, by bytes per second beside BM_Build.
void BM_BuildAt(benchmark::State& state, SampleDepth depth) {
    static std::map<SampleDepth, std::unique_ptr<CSampleBuffer>> samples;
    std::unique_ptr<CSampleBuffer>& sample = samples[depth];
    if (!sample && Loaded()) {
        sample = std::make_unique<CSampleBuffer>();
        sample->CopyFrom(*Loaded());
        sample->SetFormat(kRate, true, depth);
        sample->ApplyFormat();
    }
    if (!sample || !sample->HasData()) {
        state.SkipWithError("load failed");
        return;
    }
    CPeakSummary summary;
    for (auto _ : state)
        summary.Build(*sample);
    state.SetBytesProcessed(state.iterations() * qint64(sample->GetByteLength()));
}

// The floor under any pass over the data: copying its bytes once.
void BM_Memcpy(benchmark::State& state) {
    if (!Loaded()) {
        state.SkipWithError("load failed");
        return;
    }
    const quint32 bytes = Loaded()->GetByteLength();
    std::vector<quint8> copy(bytes);
    for (auto _ : state) {
        std::memcpy(copy.data(), Loaded()->GetData(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * qint64(bytes));
}

// A sample of `seconds` and its summary, made once per length.
struct Swept {
    CSampleBuffer buffer;
    CPeakSummary summary;
};

const Swept& SampleOf(quint32 seconds) {
    static std::map<quint32, std::unique_ptr<Swept>> samples;
    std::unique_ptr<Swept>& sample = samples[seconds];
    if (!sample) {
        sample = std::make_unique<Swept>();
        FillMusic(sample->buffer, seconds * kRate);
        sample->summary.Build(sample->buffer);
    }
    return *sample;
}

// First frame of a column at full zoom-out.
quint32 ColumnStart(quint32 column, quint32 frames) {
    return quint32(quint64(column) * frames / kColumns);
}

void BM_SweepSummary(benchmark::State& state) {
    const Swept& sample = SampleOf(quint32(state.range(0)));
    const quint32 frames = sample.buffer.GetFrameCount();
    for (auto _ : state) {
        for (quint32 c = 0; c < kColumns; ++c) {
            const quint32 first = ColumnStart(c, frames);
            for (int channel : {0, 1}) {
                qint16 min = 0;
                qint16 max = 0;
                sample.summary.Range(sample.buffer, first, ColumnStart(c + 1, frames) - first,
                                     channel, min, max);
                benchmark::DoNotOptimize(min);
                benchmark::DoNotOptimize(max);
            }
        }
    }
    state.counters["frames_per_column"] = double(frames) / kColumns;
}

// Without the summary: every frame of every column through ReadFrame.
void BM_SweepEveryFrame(benchmark::State& state) {
    const Swept& sample = SampleOf(quint32(state.range(0)));
    const quint32 frames = sample.buffer.GetFrameCount();
    for (auto _ : state) {
        for (quint32 c = 0; c < kColumns; ++c) {
            qint16 min[2] = {32767, 32767};
            qint16 max[2] = {-32768, -32768};
            for (quint32 f = ColumnStart(c, frames); f < ColumnStart(c + 1, frames); ++f) {
                qint16 slot[2];
                sample.buffer.ReadFrame(f, SampleLayout::Stereo16, slot);
                for (int channel : {0, 1}) {
                    min[channel] = std::min(min[channel], slot[channel]);
                    max[channel] = std::max(max[channel], slot[channel]);
                }
            }
            benchmark::DoNotOptimize(min);
            benchmark::DoNotOptimize(max);
        }
    }
    state.counters["frames_per_column"] = double(frames) / kColumns;
}

BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadWithSummary, int16, SampleDepth::Int16)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadWithSummary, int24, SampleDepth::Int24)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadWithSummary, float, SampleDepth::Float32)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);
BENCHMARK(BM_Build)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(BM_BuildAt, int24, SampleDepth::Int24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_BuildAt, float, SampleDepth::Float32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SweepSummary)
    ->Arg(10)
    ->Arg(60)
    ->Arg(600)
    ->Arg(3600)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_SweepEveryFrame)->Arg(10)->Arg(3600)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
