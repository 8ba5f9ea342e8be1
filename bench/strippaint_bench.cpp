// Drawing one 1920-column strip of a sample fully zoomed out, in Lines and in Peaks: a 1-hour
// 44.1 kHz 16-bit stereo sample (635 MB) beside a 10-second one in the same run. A strip costs
// O(width), so both lengths must take about the same time. The peak summaries are built before
// the timing; each iteration draws the waveform anew and renders the strip to an image.

#include "core/peaksummary.h"
#include "core/samplebuffer.h"
#include "ui/wavewnd.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr quint32 kRate = 44100;
constexpr int kWidth = 1920;
constexpr int kHeight = 200;

struct CSample {
    CSampleBuffer buffer;
    CPeakSummary summary;
};

// A tone with a little noise: every column has a different extent.
void FillMusic(CSampleBuffer& buffer, quint32 frames) {
    buffer.SetFormat(kRate, true, true);
    buffer.InsertFrames(0, frames, 0);
    quint8* p = buffer.GetData();
    quint32 noise = 12345;
    for (quint32 i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const int left =
            int(12000 * std::sin(2 * M_PI * 440 * double(i) / kRate)) + int(noise >> 24) - 128;
        const int right = -left;
        for (int v : {left, right}) {
            *p++ = quint8(v & 0xFF);
            *p++ = quint8((v >> 8) & 0xFF);
        }
    }
    buffer.CommitFormat();
}

const CSample& Sample(quint32 seconds) {
    static std::map<quint32, std::unique_ptr<CSample>> samples;
    auto& sample = samples[seconds];
    if (!sample) {
        sample = std::make_unique<CSample>();
        FillMusic(sample->buffer, seconds * kRate);
        sample->summary.Build(sample->buffer);
    }
    return *sample;
}

void BM_Strip(benchmark::State& state, CStripStyle style, quint32 seconds) {
    const CSample& sample = Sample(seconds);
    CWaveWnd strip(0);
    strip.resize(kWidth, kHeight);
    strip.SetStyle(style);
    strip.SetRange(&sample.buffer, &sample.summary, 0, sample.buffer.GetFrameCount() - 1);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        strip.ZoomOut();
        strip.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["frames_per_column"] = strip.Scale();
}

BENCHMARK_CAPTURE(BM_Strip, Lines_10s, CStripStyle::Lines, 10)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Strip, Lines_1h, CStripStyle::Lines, 3600)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Strip, Peaks_10s, CStripStyle::Peaks, 10)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Strip, Peaks_1h, CStripStyle::Peaks, 3600)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
