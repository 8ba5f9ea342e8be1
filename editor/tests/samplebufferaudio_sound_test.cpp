// The playback and recording engine through the real devices of the test sound server: its null
// sink plays in real time, its source is a 440 Hz sine.

#include "capturereporter.h"
#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "platform/qtwavedevicefactory.h"
#include "samplemaker.h"
#include "spywavedevice.h"
#include "tonemeter.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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

class SoundEngineTest : public ::testing::Test {
protected:
    // Waits until `spy` has fired or `ms` have passed; true when it fired.
    static bool WaitFor(QSignalSpy& spy, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (spy.isEmpty() && timer.elapsed() < ms)
            QTest::qWait(5);
        return !spy.isEmpty();
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

    ASSERT_TRUE(WaitFor(outputDone, 3000));
    audio.StopPlayback();
    EXPECT_EQ(factory.log.open, 0);
}

TEST_F(SoundEngineTest, OneSecondPlaysToItsEndNotifiesOnceAndStopCloses) {
    FillSample(buffer, SampleLayout::Mono16, 22050, RandomValues(SampleLayout::Mono16, 22050, 5));
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);

    quint32 previous = 0;
    quint32 halfway = 0;
    while (outputDone.isEmpty() && clock.elapsed() < 4000) {
        QTest::qWait(20);
        const quint32 position = audio.GetPlayPosition();
        EXPECT_GE(position, previous);
        previous = position;
        if (clock.elapsed() < 550)
            halfway = position;
    }
    const qint64 elapsed = clock.elapsed();
    ASSERT_EQ(outputDone.count(), 1);
    EXPECT_GE(elapsed, 950);
    EXPECT_LE(elapsed, 1600);
    EXPECT_GT(halfway, 22050u / 4) << "the position follows the sound being heard";
    EXPECT_LT(halfway, 22050u * 3 / 4);
    EXPECT_EQ(audio.GetPlayPosition(), 22049u);

    QTest::qWait(300);
    EXPECT_EQ(outputDone.count(), 1);
    EXPECT_TRUE(audio.IsPlaying());
    audio.StopPlayback();
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(factory.log.open, 0);
}

TEST_F(SoundEngineTest, PauseHoldsAndResetEndsEarlyWithThePositionWhereItStopped) {
    FillSample(buffer, SampleLayout::Stereo8, 11025, RandomValues(SampleLayout::Stereo8, 22050, 9));
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    QTest::qWait(500);
    audio.PausePlayback();
    const quint32 stopped = audio.GetPlayPosition();
    EXPECT_GT(stopped, 11025u / 4);
    EXPECT_LT(stopped, 11025u);
    QTest::qWait(200);
    EXPECT_EQ(audio.GetPlayPosition(), stopped) << "paused";

    audio.ResetPlayback();
    ASSERT_TRUE(WaitFor(outputDone, 1000));
    EXPECT_LT(clock.elapsed(), 1500) << "two seconds of sound ended early";
    EXPECT_EQ(audio.GetPlayPosition(), stopped);
    audio.StopPlayback();
    EXPECT_EQ(factory.log.open, 0);
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
    ASSERT_TRUE(WaitFor(outputDone, 3000));
    EXPECT_GE(clock.elapsed(), 200);
    EXPECT_LE(clock.elapsed(), 500) << "the end is seen when heard, not after a timeout";
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

TEST_F(SoundEngineTest, DestroyingWhilePlayingClosesTheDevice) {
    {
        CSampleBuffer playing;
        CSampleAudio player(playing);
        FillSample(playing, SampleLayout::Mono8, 8000, RandomValues(SampleLayout::Mono8, 8000, 1));
        ASSERT_EQ(player.StartPlayback(&notify, -1, -1, -1), 0);
        QTest::qWait(100);
    }
    EXPECT_EQ(factory.log.open, 0);
    QTest::qWait(100);
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
    ASSERT_TRUE(WaitFor(inputData, 4000));
    EXPECT_GE(clock.elapsed(), 950) << "a recording lasts as long as it was asked to";
    EXPECT_LE(clock.elapsed(), 2000);
    EXPECT_DOUBLE_EQ(audio.GetRecordFraction(), 1.0);

    audio.StopRecording();
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_EQ(buffer.GetFrameCount(), c.rate);
    EXPECT_EQ(buffer.GetCommittedFormat(), recorded);
    ExpectSineOfTheSource();
    QTest::qWait(200);
    EXPECT_EQ(inputData.count(), 1);
}

TEST_P(SoundRecording, StoppingAfterHalfTheTimeKeepsAboutHalfTheFrames) {
    const RecordCase& c = GetParam();
    buffer.SetFormat(c.rate, c.stereo, c.sixteenBit);
    const CWaveFormat recorded = buffer.GetFormat();
    ASSERT_EQ(audio.StartRecording(&notify, BytesFor(2.0), -1), 0);
    QTest::qWait(1000);
    const double fraction = audio.GetRecordFraction();
    EXPECT_GT(fraction, 0.35);
    EXPECT_LT(fraction, 0.65);
    audio.StopRecording();

    EXPECT_GT(buffer.GetFrameCount(), quint32(c.rate * 0.7));
    EXPECT_LT(buffer.GetFrameCount(), quint32(c.rate * 1.3));
    EXPECT_EQ(buffer.GetByteLength(), buffer.GetFrameCount() * buffer.BytesPerFrame());
    EXPECT_EQ(buffer.GetCommittedFormat(), recorded);
    ExpectSineOfTheSource();
    QTest::qWait(200);
    EXPECT_EQ(inputData.count(), 0);
    EXPECT_EQ(factory.log.open, 0);
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
        QTest::qWait(200);
    }
    EXPECT_EQ(factory.log.open, 0);
    QTest::qWait(100);
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
