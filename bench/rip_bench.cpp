// Copying a 10-minute disc image (five two-minute tracks of the demo disc's synthesised music) to
// FLAC, without and with test and copy, beside `flac -5` encoding the same audio from a WAV file
// in the same run. Times are wall-clock; every file goes to memory-backed storage where there is
// some, so the encoders are measured rather than the disk.

#include "benchfolder.h"
#include "benchmain.h"
#include "platform/discripper.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

constexpr qint64 kFrames = 10 * 60 * 44100;

struct Input {
    QTemporaryDir dir{BenchTempTemplate()};
    QString cue;
    QString wav;
    QString error;

    Input() {
        const QString base = dir.filePath(QStringLiteral("disc"));
        if (QProcess::execute(QStringLiteral(KORVO_DEMODISC),
                              {base, "120", "120", "120", "120", "120"}) != 0) {
            error = QStringLiteral("korvo_demodisc failed");
            return;
        }
        cue = base + QStringLiteral(".cue");
        // The same samples as a WAV file for the flac tool: a 44-byte header before the sectors.
        QFile bin(base + QStringLiteral(".bin"));
        QFile out(dir.filePath(QStringLiteral("disc.wav")));
        if (!bin.open(QIODevice::ReadOnly) || bin.size() != kFrames * 4 ||
            !out.open(QIODevice::WriteOnly)) {
            error = QStringLiteral("cannot make the WAV file");
            return;
        }
        auto u32 = [](quint32 v) {
            return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4);
        };
        auto u16 = [](quint16 v) {
            return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 2);
        };
        const quint32 bytes = quint32(bin.size());
        out.write("RIFF" + u32(36 + bytes) + "WAVEfmt " + u32(16) + u16(1) + u16(2) + u32(44100) +
                  u32(44100 * 4) + u16(4) + u16(16) + "data" + u32(bytes));
        out.write(bin.readAll());
        wav = out.fileName();
    }
};

const Input& TheInput() {
    static const Input input;
    return input;
}

void Rip(benchmark::State& state, bool testAndCopy) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir out(BenchTempTemplate());
        TRipOptions options;
        options.Source = TheInput().cue;
        options.Destination = out.path();
        options.TestAndCopy = testAndCopy;
        TDiscRipper ripper(options);
        QEventLoop loop;
        TRipReport report;
        QObject::connect(&ripper, &TDiscRipper::finished, &loop, [&](const TRipReport& r) {
            report = r;
            loop.quit();
        });
        state.ResumeTiming();
        ripper.Start();
        loop.exec();
        if (!report.AllGood())
            state.SkipWithError(qPrintable(QStringLiteral("the rip failed: ") + report.Message));
    }
    state.SetBytesProcessed(state.iterations() * kFrames * 4);
}

void BM_RipToFlac(benchmark::State& state) {
    Rip(state, false);
}
void BM_RipToFlacTestAndCopy(benchmark::State& state) {
    Rip(state, true);
}

void BM_FlacToolEncode(benchmark::State& state) {
    if (!TheInput().error.isEmpty()) {
        state.SkipWithError(qPrintable(TheInput().error));
        return;
    }
    const QString flac = FindPeer(state, "flac");
    if (flac.isEmpty())
        return;
    const QString out = TheInput().dir.filePath(QStringLiteral("peer.flac"));
    for (auto _ : state) {
        QProcess process;
        process.start(flac, {QStringLiteral("-5"), QStringLiteral("-f"), QStringLiteral("-s"),
                             QStringLiteral("-o"), out, TheInput().wav});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("the peer failed");
    }
    state.SetBytesProcessed(state.iterations() * kFrames * 4);
}

BENCHMARK(BM_RipToFlac)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_RipToFlacTestAndCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_FlacToolEncode)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The image and the WAV file are made before any timing.
void Prepare() {
    TheInput();
}

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv, Prepare);
}
