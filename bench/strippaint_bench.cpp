// Drawing one 1920-column strip of a sample fully zoomed out, in Lines and in Peaks: a 1-hour
// 44.1 kHz 16-bit stereo sample (635 MB) beside a 10-second one in the same run. A strip costs
// O(width), so both lengths must take about the same time. The peak summaries are built before
// the timing; each iteration draws the waveform anew and renders the strip to an image.

#include "benchmain.h"
#include "musicsample.h"

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
    return RunBenchmarks<QApplication>(argc, argv);
}
