// Rate conversion: file to file (load, convert 44.1 to 48 kHz, save) of a 10-minute 44.1 kHz 16-bit
// stereo wave file with wlpro_core, against `sox in out rate -v 48000` on the same file in the same
// run; and, per conversion, what it leaves of a tone's aliases and images and of its level,
// measured as counters in dB with the tests' single-frequency detector.

#include "../editor/tests/tonelevel.h"
#include "benchfolder.h"
#include "benchmain.h"
#include "musicsample.h"

#include "core/samplebuffer.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr quint32 kFrames = 10 * 60 * 44100;

struct Input {
    QTemporaryDir dir{BenchTempTemplate()};
    QString wave;
    QString error;
};

Input& TheInput() {
    static Input input;
    return input;
}

void Prepare() {
    CSampleBuffer buffer;
    FillMusic(buffer, kFrames);
    TheInput().wave = TheInput().dir.filePath(QStringLiteral("in.wav"));
    if (buffer.GetFrameCount() != kFrames || !buffer.SaveFile(TheInput().wave, FileKind::Wave))
        TheInput().error = QStringLiteral("cannot write the input file");
}

bool Ready(benchmark::State& state) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return false;
    }
    return true;
}

RateConversion ConversionOf(const benchmark::State& state) {
    return state.range(0) == 0 ? RateConversion::BandLimited : RateConversion::Linear;
}

// Ours, file to file: band-limited (0) or linear (1).
void BM_ConvertFile(benchmark::State& state) {
    if (!Ready(state))
        return;
    const QString out = TheInput().dir.filePath(QStringLiteral("ours.wav"));
    for (auto _ : state) {
        CSampleBuffer buffer;
        buffer.SetRateConversion(ConversionOf(state));
        if (!buffer.LoadFile(TheInput().wave, FileKind::Wave))
            state.SkipWithError("load failed");
        buffer.SetFormat(48000, true, true);
        if (!buffer.ApplyFormat() || !buffer.SaveFile(out, FileKind::Wave))
            state.SkipWithError("convert or save failed");
    }
    state.SetLabel(state.range(0) == 0 ? "band-limited" : "linear");
}

// The peer: sox's very high quality rate conversion, as a child process.
void BM_SoxRate(benchmark::State& state) {
    if (!Ready(state))
        return;
    const QString sox = FindPeer(state, "sox");
    if (sox.isEmpty())
        return;
    const QString out = TheInput().dir.filePath(QStringLiteral("sox.wav"));
    for (auto _ : state) {
        QProcess process;
        process.start(sox, {TheInput().wave, out, QStringLiteral("rate"), QStringLiteral("-v"),
                            QStringLiteral("48000")});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("sox failed");
    }
}

// The level at `probe`, relative to the tone's amplitude, after converting one second of a 16-bit
// mono tone at half of full scale from `from` to `to` Hz; the onset and end are left out.
double LevelAfter(RateConversion conversion, quint32 from, quint32 to, double tone, double probe) {
    constexpr double kAmplitude = 16384.0;
    const std::vector<double> sine = Sine(kAmplitude, tone, from, from);
    CSampleBuffer buffer;
    buffer.SetRateConversion(conversion);
    buffer.SetFormat(from, false, true);
    buffer.InsertFrames(0, from, 0);
    quint8* p = buffer.GetData();
    for (double v : sine) {
        const int s = int(std::lrint(v));
        *p++ = quint8(s & 0xFF);
        *p++ = quint8((s >> 8) & 0xFF);
    }
    buffer.CommitFormat();
    buffer.SetFormat(to, false, true);
    buffer.ApplyFormat();
    const quint8* q = buffer.GetData();
    std::vector<double> out(buffer.GetFrameCount());
    for (double& v : out) {
        v = double(qint16(quint16(q[0] | (q[1] << 8))));
        q += 2;
    }
    const std::size_t edge = out.size() / 10;
    const std::vector<double> middle(out.begin() + qptrdiff(edge), out.end() - qptrdiff(edge));
    return Decibels(ToneAmplitude(middle, probe, to) / kAmplitude);
}

// The measures of the conversion as counters; the time is that of the four conversions.
void BM_ToneLevels(benchmark::State& state) {
    const RateConversion conversion = ConversionOf(state);
    double alias = 0;
    double image = 0;
    double down = 0;
    double up = 0;
    for (auto _ : state) {
        alias = LevelAfter(conversion, 44100, 22050, 15000, 7050);
        image = LevelAfter(conversion, 22050, 44100, 8000, 14050);
        down = LevelAfter(conversion, 44100, 22050, 1000, 1000);
        up = LevelAfter(conversion, 22050, 44100, 1000, 1000);
    }
    state.counters["alias_15k_down_dB"] = alias;
    state.counters["image_8k_up_dB"] = image;
    state.counters["tone_1k_down_dB"] = down;
    state.counters["tone_1k_up_dB"] = up;
    state.SetLabel(state.range(0) == 0 ? "band-limited" : "linear");
}

BENCHMARK(BM_ConvertFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoxRate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToneLevels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv, Prepare);
}
