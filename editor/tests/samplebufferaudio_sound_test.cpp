// The playback and recording engine through the real devices of the test sound server: its null
// sink plays in real time, its source is a 440 Hz sine.

#include "capturereporter.h"
#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "depthsamples.h"
#include "platform/qtwavedevicefactory.h"
#include "samplemaker.h"
#include "spywavedevice.h"
#include "tonelevel.h"
#include "tonemeter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The null sink sleeps in blocks of up to two seconds while nothing plays, so a stream that
// starts then waits for the block to end. A quiet low-latency stream keeps it waking as a real
// sound card does, and the timings below are those of real playback.
class AwakeNullSink : public ::testing::Environment {
public:
    void SetUp() override {
        m_pacat.setProgram(QStringLiteral("pacat"));
        m_pacat.setArguments({QStringLiteral("--latency-msec=20"), QStringLiteral("--raw"),
                              QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                              QStringLiteral("--channels=2"), QStringLiteral("/dev/zero")});
        m_pacat.start();
        ASSERT_TRUE(m_pacat.waitForStarted(5000)) << "pacat did not start";
        // The sink wakes at the end of the block it was sleeping through.
        QElapsedTimer clock;
        clock.start();
        while (NullSinkLatencyUs() > 50000 && clock.elapsed() < 5000)
            QTest::qWait(100);
        ASSERT_EQ(m_pacat.state(), QProcess::Running) << m_pacat.readAllStandardError().data();
        ASSERT_LE(NullSinkLatencyUs(), 50000) << "the null sink stays asleep";
    }
    void TearDown() override {
        m_pacat.terminate();
        if (!m_pacat.waitForFinished(3000))
            m_pacat.kill();
    }

private:
    static qint64 NullSinkLatencyUs() {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sinks")});
        pactl.waitForFinished(5000);
        static const QRegularExpression latency(
            QStringLiteral("Name: nullsink\\n[\\s\\S]*?Latency: (\\d+) usec"));
        const QRegularExpressionMatch match =
            latency.match(QString::fromUtf8(pactl.readAllStandardOutput()));
        return match.hasMatch() ? match.captured(1).toLongLong()
                                : std::numeric_limits<qint64>::max();
    }

    QProcess m_pacat;
};

const auto* const awake = ::testing::AddGlobalTestEnvironment(new AwakeNullSink);

// How long a test waits for what it expects before it fails: far more than any step takes on a
// loaded machine, so that only a step that never comes fails a test.
constexpr int kDeadlineMs = 30000;
// How far the sound server's clock may run ahead of the test's: it moves on in blocks, of 20 ms
// while the stream above keeps it awake.
constexpr qint64 kAheadMs = 25;
// How long a paused sound must stay where it is: several blocks of the sound server.
constexpr int kHoldMs = 300;

// Waits until `done` holds, checking as events arrive; false when the deadline passes first.
bool WaitUntil(const std::function<bool()>& done, int deadlineMs = kDeadlineMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

class SoundEngineTest : public ::testing::Test {
protected:
    // Waits until `spy` has fired; true when it did before the deadline.
    static bool WaitFor(QSignalSpy& spy) {
        return WaitUntil([&spy] { return !spy.isEmpty(); });
    }

    // Delivers every notification already on its way: a call queued now arrives after them. A
    // device that is closed sends no more, so this is when "only once" or "never" can be judged.
    void DeliverPending() {
        bool delivered = false;
        QMetaObject::invokeMethod(
            &notify, [&delivered] { delivered = true; }, Qt::QueuedConnection);
        ASSERT_TRUE(WaitUntil([&delivered] { return delivered; }));
    }

    CQtWaveDeviceFactory real;
    CSpyWaveDeviceFactory factory{real};
    CCaptureReporter reporter;
    CWaveNotify notify;
    QSignalSpy outputDone{&notify, &CWaveNotify::OutputDone};
    QSignalSpy inputData{&notify, &CWaveNotify::InputData};
    CSampleBuffer buffer;
    CSampleAudio audio{buffer};
};

// --- Playback ----------------------------------------------------------------------------------

TEST_F(SoundEngineTest, PlaysTheRangeAsOneBufferOfExactlyItsBytes) {
    FillSample(buffer, SampleLayout::Stereo16, 44100,
               RandomValues(SampleLayout::Stereo16, 1000, 3));
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 100, 199), 0);
    EXPECT_EQ(factory.log.queuedData, buffer.GetData() + 400);
    EXPECT_EQ(factory.log.queuedLength, 400u);

    EXPECT_EQ(audio.StartPlayback(&notify, -1, 0, 999), 1);
    EXPECT_EQ(factory.log.created, 1);
    EXPECT_EQ(factory.log.queuedLength, 400u);

    ASSERT_TRUE(WaitFor(outputDone));
    audio.StopPlayback();
    EXPECT_EQ(factory.log.open, 0);
}

TEST_F(SoundEngineTest, OneSecondPlaysToItsEndNotifiesOnceAndStopCloses) {
    constexpr quint32 kRate = 22050;
    FillSample(buffer, SampleLayout::Mono16, kRate, RandomValues(SampleLayout::Mono16, kRate, 5));
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);

    // Each new position is further on, within the sample, and never ahead of the time that has
    // passed: it follows the sound being heard, not the bytes handed to the server.
    QList<quint32> seen = {0};
    while (outputDone.isEmpty()) {
        quint32 position = 0;
        ASSERT_TRUE(WaitUntil([&] {
            position = audio.GetPlayPosition();
            return position != seen.last() || !outputDone.isEmpty();
        })) << "the position stays at "
            << seen.last();
        const qint64 heard = clock.elapsed();
        if (position == seen.last())
            break;
        EXPECT_GT(position, seen.last());
        EXPECT_LE(position, kRate - 1);
        EXPECT_LE(position, (heard + kAheadMs) * kRate / 1000) << "at " << heard << " ms";
        seen += position;
    }
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(outputDone.count(), 1);
    EXPECT_GE(elapsed, 1000 - kAheadMs) << "one second of sound";
    EXPECT_LE(elapsed, 1000 + kDeadlineMs);
    EXPECT_GT(seen.size(), 2) << "positions on the way, not only the end";
    EXPECT_EQ(audio.GetPlayPosition(), kRate - 1);

    EXPECT_TRUE(audio.IsPlaying()) << "playing until stopped";
    audio.StopPlayback();
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(factory.log.open, 0);
    DeliverPending();
    EXPECT_EQ(outputDone.count(), 1);
}

TEST_F(SoundEngineTest, PauseHoldsAndResetEndsEarlyWithThePositionWhereItStopped) {
    // Two seconds of sound.
    FillSample(buffer, SampleLayout::Stereo8, 11025, RandomValues(SampleLayout::Stereo8, 22050, 9));
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    ASSERT_TRUE(WaitUntil([this] { return audio.GetPlayPosition() > 0; })) << "nothing plays";
    audio.PausePlayback();
    const quint32 stopped = audio.GetPlayPosition();
    EXPECT_GT(stopped, 0u);
    EXPECT_LT(stopped, 22049u);
    // Longer than the sound server takes to play on by a block.
    QTest::qWait(kHoldMs);
    EXPECT_EQ(audio.GetPlayPosition(), stopped) << "paused";

    audio.ResetPlayback();
    ASSERT_TRUE(WaitFor(outputDone));
    EXPECT_EQ(audio.GetPlayPosition(), stopped) << "ended where it was paused, before the end";
    audio.StopPlayback();
    EXPECT_EQ(factory.log.open, 0);
    DeliverPending();
    EXPECT_EQ(outputDone.count(), 1);
}

struct PlayCase {
    const char* name;
    SampleLayout layout;
    quint32 rate;
};

class SoundPlayback : public SoundEngineTest, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(SoundPlayback, AQuarterSecondInAnyLayoutAndRateTakesAQuarterSecond) {
    const PlayCase& c = GetParam();
    const quint32 frames = c.rate / 4;
    FillSample(buffer, c.layout, c.rate, RandomValues(c.layout, frames, 11));
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    EXPECT_EQ(factory.log.format, buffer.GetFormat());
    ASSERT_TRUE(WaitFor(outputDone));
    EXPECT_GE(clock.elapsed(), 250 - kAheadMs) << "the end is seen when heard";
    EXPECT_LE(clock.elapsed(), 250 + kDeadlineMs);
    EXPECT_EQ(audio.GetPlayPosition(), frames - 1);
    audio.StopPlayback();
    EXPECT_EQ(factory.log.open, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, SoundPlayback,
                         ::testing::Values(PlayCase{"Mono8At4000", SampleLayout::Mono8, 4000},
                                           PlayCase{"Stereo8At11025", SampleLayout::Stereo8, 11025},
                                           PlayCase{"Mono16At7350", SampleLayout::Mono16, 7350},
                                           PlayCase{"Stereo16At48000", SampleLayout::Stereo16,
                                                    48000}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the null sink plays, recorded from its monitor as float mono by the server's own client
// (Qt lists no monitor sources): what the server received.
class CSinkMonitor {
public:
    explicit CSinkMonitor(int rate) : m_rate(rate) {
        // Other tests on the same server turn its volume down; the level is measured at 100 %.
        for (const QStringList& args : {QStringList{"set-sink-volume", "nullsink", "100%"},
                                        QStringList{"set-sink-mute", "nullsink", "0"}})
            QProcess::execute(QStringLiteral("pactl"), args);
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--device=nullsink.monitor"), QStringLiteral("--raw"),
                       QStringLiteral("--latency-msec=20"), QStringLiteral("--format=float32le"),
                       QStringLiteral("--channels=1"), QStringLiteral("--rate=%1").arg(rate)});
        m_parec.waitForStarted(5000);
    }
    ~CSinkMonitor() {
        m_parec.terminate();
        if (!m_parec.waitForFinished(3000))
            m_parec.kill();
    }
    bool Running() const { return m_parec.state() == QProcess::Running; }
    // Takes what has come in.
    qint64 Collect() {
        m_bytes += m_parec.readAllStandardOutput();
        return m_bytes.size() / qint64(sizeof(float));
    }
    // The loudest stretch of `seconds` by the level at `hertz`: its level there, and its RMS.
    std::pair<double, double> Loudest(double hertz, double seconds) const {
        const auto* samples = reinterpret_cast<const float*>(m_bytes.constData());
        const std::size_t count = std::size_t(m_bytes.size()) / sizeof(float);
        const std::size_t window = std::size_t(seconds * m_rate);
        std::pair<double, double> best{0.0, 0.0};
        for (std::size_t at = 0; at + window <= count; at += window / 4) {
            const std::vector<double> part(samples + at, samples + at + window);
            double energy = 0;
            for (double v : part)
                energy += v * v;
            const double level = ToneAmplitude(part, hertz, m_rate);
            if (level > best.first)
                best = {level, std::sqrt(energy / double(window))};
        }
        return best;
    }

private:
    int m_rate;
    QProcess m_parec;
    QByteArray m_bytes;
};

struct WideCase {
    const char* name;
    SampleDepth depth;
    bool stereo;
    quint32 rate;
};

class WidePlayback : public SoundEngineTest, public ::testing::WithParamInterface<WideCase> {};

// 24-bit samples have no format on the server, float ones may not: the device converts them. The
// server must receive the tone at its level: a wrong conversion is noise or silence there.
TEST_P(WidePlayback, ReachesTheEndAndTheServerReceivesTheTone) {
    constexpr double kHertz = 1000.0;
    constexpr double kAmplitude = 0.5;
    const WideCase& c = GetParam();
    const quint32 frames = c.rate * 3 / 4;
    FillTone(buffer, c.depth, c.stereo, c.rate, frames, kHertz, kAmplitude);
    CSinkMonitor monitor(int(c.rate));
    ASSERT_TRUE(monitor.Running()) << "no monitor of the null sink";
    ASSERT_TRUE(WaitUntil([&] { return monitor.Collect() > 0; })) << "the monitor stays silent";

    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    EXPECT_EQ(factory.log.format, buffer.GetFormat()) << "the device gets the sample's own format";
    ASSERT_TRUE(WaitUntil([&] {
        monitor.Collect();
        return !outputDone.isEmpty();
    }));
    EXPECT_GE(clock.elapsed(), 750 - kAheadMs) << "the end is seen when heard";
    EXPECT_EQ(audio.GetPlayPosition(), frames - 1) << "played to its end";
    audio.StopPlayback();
    // The monitor runs a block or two behind the sink.
    const qint64 atEnd = monitor.Collect();
    ASSERT_TRUE(WaitUntil([&] { return monitor.Collect() > atEnd + qint64(c.rate) / 4; }));

    const auto [level, rms] = monitor.Loudest(kHertz, 0.25);
    EXPECT_NEAR(Decibels(level / kAmplitude), 0.0, 1.0) << "the tone at its own level";
    // A sine's RMS is its amplitude over the square root of 2; noise would add to it.
    EXPECT_LT(rms, 1.05 * level / std::sqrt(2.0)) << "nothing but the tone";
    EXPECT_EQ(factory.log.open, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, WidePlayback,
    ::testing::Values(WideCase{"Mono24At44100", SampleDepth::Int24, false, 44100},
                      WideCase{"Stereo24At48000", SampleDepth::Int24, true, 48000},
                      WideCase{"MonoFloatAt22050", SampleDepth::Float32, false, 22050},
                      WideCase{"StereoFloatAt44100", SampleDepth::Float32, true, 44100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundEngineTest, DestroyingWhilePlayingClosesTheDevice) {
    {
        CSampleBuffer playing;
        CSampleAudio player(playing);
        FillSample(playing, SampleLayout::Mono8, 8000, RandomValues(SampleLayout::Mono8, 8000, 1));
        ASSERT_EQ(player.StartPlayback(&notify, -1, -1, -1), 0);
        ASSERT_TRUE(WaitUntil([&player] { return player.GetPlayPosition() > 0; }));
        ASSERT_TRUE(outputDone.isEmpty()) << "a second of sound is still playing";
    }
    EXPECT_EQ(factory.log.open, 0);
    DeliverPending();
    EXPECT_EQ(outputDone.count(), 0);
}

// --- Recording ---------------------------------------------------------------------------------

double Peak(const Values& samples, double zero) {
    double peak = 0;
    for (int v : samples)
        peak = std::max(peak, std::abs(v - zero));
    return peak;
}

struct RecordCase {
    const char* name;
    quint32 rate;
    bool stereo;
    bool sixteenBit;
};

class SoundRecording : public SoundEngineTest, public ::testing::WithParamInterface<RecordCase> {
protected:
    quint32 BytesFor(double seconds) const {
        const RecordCase& c = GetParam();
        return quint32(seconds * c.rate) * (c.stereo ? 2 : 1) * (c.sixteenBit ? 2 : 1);
    }
    void ExpectSineOfTheSource() const {
        const double zero = GetParam().sixteenBit ? 0.0 : 128.0;
        const Values left = ChannelOf(buffer, 0);
        EXPECT_GT(Peak(left, zero), GetParam().sixteenBit ? 1000.0 : 4.0) << "silence recorded";
        EXPECT_NEAR(ToneFrequency(left, zero, GetParam().rate), 440.0, 440.0 * 0.02);
    }
};

TEST_P(SoundRecording, OneSecondFillsTheBufferNotifiesOnceAndHoldsTheSourcesSine) {
    const RecordCase& c = GetParam();
    buffer.SetFormat(c.rate, c.stereo, c.sixteenBit);
    const CWaveFormat recorded = buffer.GetFormat();
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(audio.StartRecording(&notify, BytesFor(1.0), -1), 0);
    EXPECT_EQ(factory.log.queuedLength, BytesFor(1.0));
    ASSERT_TRUE(WaitFor(inputData));
    EXPECT_GE(clock.elapsed(), 1000 - kAheadMs) << "a recording lasts as long as it was asked to";
    EXPECT_LE(clock.elapsed(), 1000 + kDeadlineMs);
    EXPECT_DOUBLE_EQ(audio.GetRecordFraction(), 1.0);

    audio.StopRecording();
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_EQ(buffer.GetFrameCount(), c.rate);
    EXPECT_EQ(buffer.GetCommittedFormat(), recorded);
    ExpectSineOfTheSource();
    DeliverPending();
    EXPECT_EQ(inputData.count(), 1);
}

TEST_P(SoundRecording, StoppingEarlyKeepsWhatCameInUntilThen) {
    const RecordCase& c = GetParam();
    buffer.SetFormat(c.rate, c.stereo, c.sixteenBit);
    const CWaveFormat recorded = buffer.GetFormat();
    ASSERT_EQ(audio.StartRecording(&notify, BytesFor(2.0), -1), 0);
    // A quarter of the two seconds: enough sound to measure its tone.
    double fraction = 0;
    ASSERT_TRUE(WaitUntil([&] {
        fraction = audio.GetRecordFraction();
        return fraction >= 0.25;
    }));
    ASSERT_LT(fraction, 1.0);
    ASSERT_TRUE(inputData.isEmpty()) << "the recording is still running";
    audio.StopRecording();

    // What had come in when it was stopped, and what came in until then; never the whole.
    const quint32 frames = buffer.GetFrameCount();
    EXPECT_GE(frames, quint32(fraction * 2 * c.rate) - 1);
    EXPECT_LT(frames, 2 * c.rate);
    EXPECT_EQ(buffer.GetByteLength(), frames * buffer.BytesPerFrame());
    EXPECT_EQ(buffer.GetCommittedFormat(), recorded);
    ExpectSineOfTheSource();
    EXPECT_EQ(factory.log.open, 0);
    DeliverPending();
    EXPECT_EQ(inputData.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, SoundRecording,
                         ::testing::Values(RecordCase{"Mono16At22050", 22050, false, true},
                                           RecordCase{"Stereo8At11025", 11025, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundEngineTest, StoppingARecordingAtOnceLeavesAnEmptySample) {
    FillSample(buffer, SampleLayout::Mono8, 8000, RandomValues(SampleLayout::Mono8, 800, 2));
    buffer.SetFormat(22050, false, true);
    ASSERT_EQ(audio.StartRecording(&notify, 44100, -1), 0);
    audio.StopRecording();
    EXPECT_FALSE(buffer.HasData());
    EXPECT_EQ(buffer.GetFrameCount(), 0u);
    EXPECT_EQ(factory.log.open, 0);
}

TEST_F(SoundEngineTest, DestroyingWhileRecordingClosesTheDevice) {
    {
        CSampleBuffer recording;
        CSampleAudio recorder(recording);
        recording.SetFormat(22050, false, true);
        ASSERT_EQ(recorder.StartRecording(&notify, 44100, -1), 0);
        ASSERT_TRUE(WaitUntil([&recorder] { return recorder.GetRecordFraction() > 0; }));
        ASSERT_TRUE(inputData.isEmpty()) << "a second of recording is still running";
    }
    EXPECT_EQ(factory.log.open, 0);
    DeliverPending();
    EXPECT_EQ(inputData.count(), 0);
}

// --- Devices and formats the server does not have ----------------------------------------------

TEST_F(SoundEngineTest, ADeviceNumberPastTheListFailsWithNothingOpen) {
    FillSample(buffer, SampleLayout::Mono16, 22050, RandomValues(SampleLayout::Mono16, 2205, 4));
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_EQ(audio.StartPlayback(&notify, 99, -1, -1), qint16(CWaveError::BadDeviceId));
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(audio.StartRecording(&notify, 4410, 99), qint16(CWaveError::BadDeviceId));
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

class RefusedRate : public SoundEngineTest, public ::testing::WithParamInterface<quint32> {};

TEST_P(RefusedRate, FailsWithTheFormatErrorAndLeavesTheSample) {
    FillSample(buffer, SampleLayout::Stereo16, 44100,
               RandomValues(SampleLayout::Stereo16, 1000, 6));
    buffer.SetFormat(GetParam(), true, true);
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_EQ(audio.StartPlayback(&notify, -1, -1, -1), qint16(CWaveError::BadFormat));
    EXPECT_EQ(audio.StartRecording(&notify, 4000, -1), qint16(CWaveError::BadFormat));
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
}

// 0 is no rate at all; the server takes nothing above 384 kHz.
INSTANTIATE_TEST_SUITE_P(Rates, RefusedRate, ::testing::Values(0u, 400000u, 4000000u));

} // namespace
