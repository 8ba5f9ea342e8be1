// The Spectrum style of a 1920-column strip over a 1-hour 44.1 kHz 16-bit stereo sample (635 MB):
// - Repaint: the whole strip drawn again from a full column cache and rendered to an image, the
//   cost of every repaint once the columns are in (budget 16 ms, one frame at 60 Hz);
// - FirstPicture: from choosing the style on a new view (both channels' strips, empty caches)
//   to the moment every column of both is computed and drawn (budget 1 s), in wall time since
//   the work runs on the worker threads. A 10-second sample beside it shows that the cost
//   follows the width, not the length.

#include "benchmain.h"
#include "musicsample.h"

#include "core/samplebuffer.h"
#include "core/spectrumcache.h"
#include "ui/wavewnd.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

constexpr quint32 kRate = 44100;
constexpr int kWidth = 1920;
constexpr int kHeight = 200;
// Only bounds a hang; the waits end when the columns are in.
constexpr int kDeadlineMs = 60000;

const CSampleBuffer& Sample(quint32 seconds) {
    static std::map<quint32, std::unique_ptr<CSampleBuffer>> samples;
    auto& sample = samples[seconds];
    if (!sample) {
        sample = std::make_unique<CSampleBuffer>();
        FillMusic(*sample, seconds * kRate);
    }
    return *sample;
}

// Both channels' strips, as a stereo view has them.
struct CStrips {
    CWaveWnd left{0};
    CWaveWnd right{1};
    explicit CStrips(const CSampleBuffer& buffer) {
        for (CWaveWnd* strip : {&left, &right}) {
            strip->resize(kWidth, kHeight);
            strip->SetRange(&buffer, nullptr, 0, buffer.GetFrameCount() - 1);
        }
    }
    void Spectrum() {
        left.SetStyle(CStripStyle::Spectrum);
        right.SetStyle(CStripStyle::Spectrum);
    }
    // Runs the event loop until both caches are idle: a loop woken by each arrival, as the
    // program's own (polling would hold the arrivals back).
    bool Complete() {
        QEventLoop loop;
        auto check = [&] {
            if (!left.SpectrumCache()->Busy() && !right.SpectrumCache()->Busy())
                loop.quit();
        };
        for (CWaveWnd* strip : {&left, &right})
            QObject::connect(strip->SpectrumCache(), &CSpectrumCache::columnsReady, &loop, check);
        QTimer::singleShot(kDeadlineMs, &loop, [&] { loop.exit(1); });
        check();
        return !left.SpectrumCache()->Busy() && !right.SpectrumCache()->Busy() ? true
                                                                               : loop.exec() == 0;
    }
};

void BM_Repaint(benchmark::State& state, quint32 seconds) {
    CStrips strips(Sample(seconds));
    strips.Spectrum();
    if (!strips.Complete()) {
        state.SkipWithError("the columns never arrived");
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        strips.left.ZoomOut();
        strips.left.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["columns_computed"] = double(strips.left.SpectrumCache()->Computed());
    state.counters["frames_per_column"] = strips.left.Scale();
}

void BM_FirstPicture(benchmark::State& state, quint32 seconds) {
    const CSampleBuffer& buffer = Sample(seconds);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        auto strips = std::make_unique<CStrips>(buffer);
        state.ResumeTiming();
        strips->Spectrum();
        if (!strips->Complete()) {
            state.SkipWithError("the columns never arrived");
            return;
        }
        strips->left.render(&image);
        strips->right.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK_CAPTURE(BM_Repaint, 1h, 3600)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstPicture, 10s, 10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_FirstPicture, 1h, 3600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QApplication>(argc, argv);
}
