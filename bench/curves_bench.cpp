// The envelope and panning dialogs' effect on a 10-minute 44.1 kHz 16-bit stereo sample (106 MB),
// beside a plain Amplify of the same range in the same run:
//  - Amplify: the sample buffer's own gain, and the same through the editor with its undo step;
//  - Envelope: a five-point curve applied by the dialog as one undo step (the curve's straight
//    runs, several frames at a time), and the same curve evaluated frame by frame through
//    ScaleFrames, the naive way;
//  - Panning: a three-point balance curve applied by the dialog;
//  - Envelope and Panning again with a history that keeps nothing, beside the plain Amplify.
// Every figure is wall-clock time; the undo history is emptied between runs, untimed.

#include "benchmain.h"
#include "musicsample.h"

#include "core/sampleeditor.h"
#include "ui/envelopedlg.h"
#include "ui/panningdlg.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr quint32 kFrames = 44100 * 600;
constexpr qint64 kBytes = qint64(kFrames) * 4;

CSampleBuffer& Sample() {
    static CSampleBuffer* sample = [] {
        auto* buffer = new CSampleBuffer;
        FillMusic(*buffer, kFrames);
        return buffer;
    }();
    return *sample;
}

// Fade in, swell, dip and fade out: four straight runs, none of them flat.
const std::vector<QPointF> kEnvelope{{0, 1}, {0.2, 0.1}, {0.5, 0.3}, {0.8, 0.05}, {1, 0.9}};
const std::vector<QPointF> kBalance{{0, 0}, {0.5, 0.7}, {1, 0.4}};

void BM_Amplify(benchmark::State& state) {
    for (auto _ : state)
        Sample().Amplify(0.99f, -1, -1, 0);
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// The edits as the document does them, each one undo step.
template <typename Edit> void Recorded(benchmark::State& state, Edit edit) {
    CSampleEditor editor(Sample());
    for (auto _ : state) {
        edit(editor);
        state.PauseTiming();
        editor.ClearHistory();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_AmplifyRecorded(benchmark::State& state) {
    Recorded(state, [](CSampleEditor& editor) { editor.Amplify(0.99f, -1, -1, 0); });
}

void BM_EnvelopeRecorded(benchmark::State& state) {
    CEnvelopeDlg dialog(Sample(), 0, kFrames - 1, 0);
    dialog.Curve()->SetFractions(kEnvelope);
    Recorded(state, [&](CSampleEditor& editor) { dialog.Apply(editor); });
}

void BM_EnvelopePerFrame(benchmark::State& state) {
    CEnvelopeDlg dialog(Sample(), 0, kFrames - 1, 0);
    const CManipWind& curve = *dialog.Curve();
    dialog.Curve()->SetFractions(kEnvelope);
    Recorded(state, [&](CSampleEditor& editor) {
        editor.ScaleFrames(0, kFrames - 1, 0, [&](quint32 frame) {
            return float(curve.Evaluate(double(frame) / (kFrames - 1)));
        });
    });
}

void BM_PanningRecorded(benchmark::State& state) {
    CPanningDlg dialog(Sample(), 0, kFrames - 1);
    dialog.Curve()->SetFractions(kBalance);
    Recorded(state, [&](CSampleEditor& editor) { dialog.Apply(editor); });
}

// The same edits through an editor whose history keeps nothing: the effect alone, to set beside
// BM_Amplify without the copy each undo step makes.
template <typename Edit> void Unrecorded(benchmark::State& state, Edit edit) {
    CSampleEditor editor(Sample(), 0);
    for (auto _ : state)
        edit(editor);
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_EnvelopeUnrecorded(benchmark::State& state) {
    CEnvelopeDlg dialog(Sample(), 0, kFrames - 1, 0);
    dialog.Curve()->SetFractions(kEnvelope);
    Unrecorded(state, [&](CSampleEditor& editor) { dialog.Apply(editor); });
}

void BM_PanningUnrecorded(benchmark::State& state) {
    CPanningDlg dialog(Sample(), 0, kFrames - 1);
    dialog.Curve()->SetFractions(kBalance);
    Unrecorded(state, [&](CSampleEditor& editor) { dialog.Apply(editor); });
}

BENCHMARK(BM_Amplify)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AmplifyRecorded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EnvelopeRecorded)->Unit(benchmark::kMillisecond)->UseRealTime();
// A fixed count: each run takes seconds.
BENCHMARK(BM_EnvelopePerFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PanningRecorded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EnvelopeUnrecorded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PanningUnrecorded)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QApplication>(argc, argv, Sample);
}
