// The playback and recording engine against the fake devices: what reaches the device, how
// results and notifications come back, and that failures leave nothing open and nothing lost.

#include "capturereporter.h"
#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "core/wavedevice.h"
#include "fakewavedevice.h"
#include "samplemaker.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr quint32 kFrames = 1000;

class EngineTest : public ::testing::Test {
protected:
    void MakeSample(SampleLayout layout, quint32 frames = kFrames) {
        FillSample(buffer, layout, 22050, RandomValues(layout, frames, 7));
    }
    // Lets queued notifications arrive.
    static void Deliver() { QCoreApplication::processEvents(); }

    CFakeWaveDeviceFactory factory;
    CCaptureReporter reporter;
    CWaveNotify notify;
    QSignalSpy outputDone{&notify, &CWaveNotify::OutputDone};
    QSignalSpy inputData{&notify, &CWaveNotify::InputData};
    CSampleBuffer buffer;
    CSampleAudio audio{buffer};
};

struct LayoutCase {
    const char* name;
    SampleLayout layout;
    quint32 frameBytes;
};

const LayoutCase kLayouts[] = {{"Mono8", SampleLayout::Mono8, 1},
                               {"Mono16", SampleLayout::Mono16, 2},
                               {"Stereo8", SampleLayout::Stereo8, 2},
                               {"Stereo16", SampleLayout::Stereo16, 4}};

// --- Playback ----------------------------------------------------------------------------------

class PlaybackByLayout : public EngineTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PlaybackByLayout, HandsTheRangeToTheDeviceInTheCurrentFormat) {
    MakeSample(GetParam().layout);
    const quint32 frameBytes = GetParam().frameBytes;
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 100, 199), 0);
    EXPECT_TRUE(audio.IsPlaying());
    EXPECT_EQ(factory.log.device, -1);
    EXPECT_EQ(factory.log.format, buffer.GetFormat());
    EXPECT_EQ(factory.log.queuedData, buffer.GetData() + 100 * frameBytes);
    EXPECT_EQ(factory.log.queuedLength, 100 * frameBytes);
}

TEST_P(PlaybackByLayout, PositionCountsFramesOfTheLayoutFromTheRangeStart) {
    MakeSample(GetParam().layout);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 100, 899), 0);
    EXPECT_EQ(audio.GetPlayPosition(), 100u);
    factory.output->SetPosition(240);
    EXPECT_EQ(audio.GetPlayPosition(), 100 + 240 / GetParam().frameBytes);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PlaybackByLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, WholeSampleWhenBothEndsAreMinusOne) {
    MakeSample(SampleLayout::Mono16);
    ASSERT_EQ(audio.StartPlayback(&notify, 3, -1, -1), 0);
    EXPECT_EQ(factory.log.device, 3);
    EXPECT_EQ(factory.log.queuedData, buffer.GetData());
    EXPECT_EQ(factory.log.queuedLength, buffer.GetByteLength());
}

TEST_F(EngineTest, PositionNeverPassesTheLastFrameOfTheRange) {
    MakeSample(SampleLayout::Mono8);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 10, 19), 0);
    factory.output->SetPosition(10);
    EXPECT_EQ(audio.GetPlayPosition(), 19u);
}

TEST_F(EngineTest, StartingWhilePlayingAnswersOneAndChangesNothing) {
    MakeSample(SampleLayout::Stereo8);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 100, 199), 0);
    factory.output->SetPosition(20);
    const CWaveDeviceLog before = factory.log;

    EXPECT_EQ(audio.StartPlayback(&notify, -1, 0, 500), 1);
    EXPECT_TRUE(audio.IsPlaying());
    EXPECT_EQ(factory.log.created, before.created);
    EXPECT_EQ(factory.log.queuedData, before.queuedData);
    EXPECT_EQ(factory.log.queuedLength, before.queuedLength);
    EXPECT_EQ(audio.GetPlayPosition(), 110u);
}

TEST_F(EngineTest, NothingToPlayAnswersMinusOneWithoutOpeningADevice) {
    EXPECT_EQ(audio.StartPlayback(&notify, -1, -1, -1), -1);
    MakeSample(SampleLayout::Mono8, 50);
    EXPECT_EQ(audio.StartPlayback(&notify, -1, 50, 60), -1) << "range past the end";
    EXPECT_EQ(audio.StartPlayback(&notify, -1, 30, 20), -1) << "first after last";
    EXPECT_EQ(factory.log.created, 0);
    EXPECT_FALSE(audio.IsPlaying());
}

TEST_F(EngineTest, RangeReachingPastTheEndPlaysOnlyTheFramesThere) {
    MakeSample(SampleLayout::Mono16, 50);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 40, 70), 0);
    EXPECT_EQ(factory.log.queuedLength, 10u * 2);
}

struct DeviceFailure {
    const char* name;
    CWaveError CFakeWaveFailures::*step;
    CWaveError error;
};

class PlaybackDeviceFailure : public EngineTest,
                              public ::testing::WithParamInterface<DeviceFailure> {};

TEST_P(PlaybackDeviceFailure, ReturnsTheDeviceErrorAndLeavesNothingOpen) {
    MakeSample(SampleLayout::Stereo16);
    factory.failures.*GetParam().step = GetParam().error;
    EXPECT_EQ(audio.StartPlayback(&notify, -1, -1, -1), qint16(GetParam().error));
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(factory.log.open, 0);
    Deliver();
    EXPECT_EQ(outputDone.count(), 0);
    // The next try opens afresh.
    factory.failures = CFakeWaveFailures{};
    EXPECT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, PlaybackDeviceFailure,
                         ::testing::Values(DeviceFailure{"OpenNoDevice", &CFakeWaveFailures::open,
                                                         CWaveError::BadDeviceId},
                                           DeviceFailure{"OpenBadFormat", &CFakeWaveFailures::open,
                                                         CWaveError::BadFormat},
                                           DeviceFailure{"WriteRefused", &CFakeWaveFailures::queue,
                                                         CWaveError::DeviceFailed}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, PlayedOutBufferNotifiesOnceAfterTheCallReturnsAndStopCloses) {
    MakeSample(SampleLayout::Mono8);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 0, 99), 0);
    factory.output->SetPosition(100);
    factory.output->ReturnBuffer();
    EXPECT_EQ(outputDone.count(), 0) << "a window message, not a call from inside the device";
    Deliver();
    ASSERT_EQ(outputDone.count(), 1);

    audio.StopPlayback();
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_EQ(factory.log.closes, 1);
    EXPECT_EQ(audio.GetPlayPosition(), 99u);
    Deliver();
    EXPECT_EQ(outputDone.count(), 1);
}

TEST_F(EngineTest, StopAsThePlayCommandDoesItPausesResetsAndNotifies) {
    MakeSample(SampleLayout::Mono16);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 0, 999), 0);
    factory.output->SetPosition(600);
    audio.PausePlayback();
    EXPECT_TRUE(factory.log.paused);
    EXPECT_EQ(audio.GetPlayPosition(), 300u);
    audio.ResetPlayback();
    EXPECT_FALSE(factory.output->HasBuffer());
    EXPECT_EQ(audio.GetPlayPosition(), 300u);
    Deliver();
    EXPECT_EQ(outputDone.count(), 1);
    audio.StopPlayback();
    EXPECT_EQ(factory.log.open, 0);
}

TEST_F(EngineTest, StopBeforeTheBufferCameBackClosesWithoutALateNotification) {
    MakeSample(SampleLayout::Stereo8);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 0, 499), 0);
    audio.StopPlayback();
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(factory.log.open, 0);
    // A notification of the old buffer would stop this new playback at once.
    ASSERT_EQ(audio.StartPlayback(&notify, -1, 0, 499), 0);
    Deliver();
    EXPECT_EQ(outputDone.count(), 0);
    EXPECT_TRUE(audio.IsPlaying());
}

TEST_F(EngineTest, DestroyingWhilePlayingClosesTheDevice) {
    {
        CSampleBuffer playing;
        CSampleAudio player(playing);
        FillSample(playing, SampleLayout::Mono8, 8000, RandomValues(SampleLayout::Mono8, 100, 1));
        ASSERT_EQ(player.StartPlayback(&notify, -1, -1, -1), 0);
        EXPECT_EQ(factory.log.open, 1);
    }
    EXPECT_EQ(factory.log.open, 0);
}

TEST(EngineWithoutDevices, PlaybackFailsWithNoDriverWhenNoFactoryIsInstalled) {
    ASSERT_EQ(CWaveDeviceFactory::Installed(), nullptr);
    CSampleBuffer buffer;
    CSampleAudio audio(buffer);
    FillSample(buffer, SampleLayout::Mono8, 8000, RandomValues(SampleLayout::Mono8, 100, 1));
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_EQ(audio.StartPlayback(nullptr, -1, -1, -1), qint16(CWaveError::NoDriver));
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_NE(audio.StartRecording(nullptr, 800, -1), 0);
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
}

// --- Recording ---------------------------------------------------------------------------------

QByteArray Pattern(int bytes) {
    QByteArray pattern(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i)
        pattern[i] = char(i * 7 + 3);
    return pattern;
}

TEST_F(EngineTest, RecordingReplacesTheDataWithABlockOfTheRequestedSize) {
    MakeSample(SampleLayout::Mono8);
    buffer.SetFormat(11025, true, true);
    ASSERT_EQ(audio.StartRecording(&notify, 8000, -1), 0);
    EXPECT_TRUE(audio.IsRecording());
    EXPECT_EQ(factory.log.format, buffer.GetFormat());
    EXPECT_EQ(factory.log.queuedData, buffer.GetData());
    EXPECT_EQ(factory.log.queuedLength, 8000u);
    EXPECT_EQ(buffer.GetByteLength(), 8000u);
    EXPECT_EQ(buffer.GetFrameCount(), 2000u);
}

TEST_F(EngineTest, FilledBufferNotifiesOnceAndStopKeepsEveryByteAndCommitsTheFormat) {
    buffer.SetFormat(22050, false, true);
    ASSERT_EQ(audio.StartRecording(&notify, 4000, -1), 0);
    const QByteArray sound = Pattern(4000);
    factory.input->Deliver(sound.left(1000));
    EXPECT_DOUBLE_EQ(audio.GetRecordFraction(), 0.25);
    factory.input->Deliver(sound.mid(1000));
    EXPECT_EQ(inputData.count(), 0);
    Deliver();
    ASSERT_EQ(inputData.count(), 1);

    audio.StopRecording();
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_EQ(factory.log.open, 0);
    ASSERT_EQ(buffer.GetByteLength(), 4000u);
    EXPECT_EQ(buffer.GetFrameCount(), 2000u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.GetData()), 4000), sound);
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
    EXPECT_DOUBLE_EQ(audio.GetRecordFraction(), 1.0);
    Deliver();
    EXPECT_EQ(inputData.count(), 1);
}

TEST_F(EngineTest, StoppingEarlyKeepsExactlyWhatWasRecorded) {
    MakeSample(SampleLayout::Mono8);
    buffer.SetFormat(44100, true, true);
    ASSERT_EQ(audio.StartRecording(&notify, 40000, -1), 0);
    const QByteArray sound = Pattern(12000);
    factory.input->Deliver(sound);
    audio.StopRecording();
    ASSERT_EQ(buffer.GetByteLength(), 12000u);
    EXPECT_EQ(buffer.GetFrameCount(), 3000u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.GetData()), 12000), sound);
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
    EXPECT_EQ(buffer.GetCommittedFormat().samplesPerSec, 44100u);
    Deliver();
    EXPECT_EQ(inputData.count(), 0) << "the stop was the caller's own; nothing comes after it";
}

TEST_F(EngineTest, StoppingAtOnceLeavesAnEmptySample) {
    MakeSample(SampleLayout::Stereo16);
    ASSERT_EQ(audio.StartRecording(&notify, 4000, -1), 0);
    audio.StopRecording();
    EXPECT_FALSE(buffer.HasData());
    EXPECT_EQ(buffer.GetByteLength(), 0u);
    EXPECT_EQ(buffer.GetFrameCount(), 0u);
    EXPECT_EQ(audio.StartPlayback(&notify, -1, -1, -1), -1);
}

TEST_F(EngineTest, StartingWhileRecordingEndsTheRecordingThroughItsNotification) {
    buffer.SetFormat(8000, false, false);
    ASSERT_EQ(audio.StartRecording(&notify, 800, -1), 0);
    factory.input->Deliver(Pattern(300));
    EXPECT_EQ(audio.StartRecording(&notify, 1600, -1), 0);
    EXPECT_EQ(factory.log.created, 1);
    Deliver();
    ASSERT_EQ(inputData.count(), 1);
    audio.StopRecording();
    EXPECT_EQ(buffer.GetByteLength(), 300u);
}

TEST_F(EngineTest, RecordingWhilePlayingIsRefusedAndThePlaybackGoesOn) {
    MakeSample(SampleLayout::Mono8);
    const CSampleState before = CSampleState::Of(buffer);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    EXPECT_NE(audio.StartRecording(&notify, 800, -1), 0);
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_TRUE(audio.IsPlaying());
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
    EXPECT_EQ(factory.log.queuedData, buffer.GetData());
}

// The buffer's lock tells edits and other engines that a device has the data: it says whether
// the device reads or fills it, a second engine can then neither play nor record the buffer,
// and stopping the first engine frees it.
TEST_F(EngineTest, TheEngineLocksTheBufferWhileItsDeviceHasTheData) {
    using Lock = CSampleBuffer::CDataLock;
    struct Way {
        Lock lock;
        std::function<qint16()> start;
        std::function<void()> stop;
    };
    const Way ways[] = {
        {Lock::Read, [&] { return audio.StartPlayback(&notify, -1, -1, -1); },
         [&] { audio.StopPlayback(); }},
        {Lock::Fill, [&] { return audio.StartRecording(&notify, 800, -1); },
         [&] { audio.StopRecording(); }},
    };
    CSampleAudio second(buffer);
    for (const Way& way : ways) {
        MakeSample(SampleLayout::Mono16);
        EXPECT_EQ(buffer.GetDataLock(), Lock::None);
        ASSERT_EQ(way.start(), 0);
        EXPECT_EQ(buffer.GetDataLock(), way.lock);
        EXPECT_EQ(second.StartPlayback(&notify, -1, -1, -1), qint16(CWaveError::StillPlaying));
        EXPECT_EQ(second.StartRecording(&notify, 800, -1), qint16(CWaveError::StillPlaying));
        EXPECT_EQ(buffer.GetDataLock(), way.lock);
        way.stop();
        EXPECT_FALSE(buffer.Busy());
    }
}

class RecordingDeviceFailure : public EngineTest,
                               public ::testing::WithParamInterface<DeviceFailure> {};

TEST_P(RecordingDeviceFailure, LeavesTheOldSampleAndNothingOpen) {
    MakeSample(SampleLayout::Mono16);
    const CSampleState before = CSampleState::Of(buffer);
    factory.failures.*GetParam().step = GetParam().error;
    EXPECT_EQ(audio.StartRecording(&notify, 4000, -1), qint16(GetParam().error));
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
    EXPECT_TRUE(reporter.messages.isEmpty());
    Deliver();
    EXPECT_EQ(inputData.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RecordingDeviceFailure,
    ::testing::Values(
        DeviceFailure{"OpenNoDevice", &CFakeWaveFailures::open, CWaveError::BadDeviceId},
        DeviceFailure{"AddBufferRefused", &CFakeWaveFailures::queue, CWaveError::NoMemory},
        DeviceFailure{"StartRefused", &CFakeWaveFailures::start, CWaveError::DeviceFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, NothingToRecordIsRefused) {
    MakeSample(SampleLayout::Mono8);
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_NE(audio.StartRecording(&notify, 0, -1), 0);
    EXPECT_EQ(factory.log.open, 0);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
}

quint64 VirtualMemoryBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        quint64 kilobytes = 0;
        if (key == "VmSize:" && status >> kilobytes)
            return kilobytes * 1024;
    }
    return 0;
}

// Caps the process's address space a little above what it uses, for one scope.
class AddressSpaceCap {
public:
    explicit AddressSpaceCap(quint64 headroom) {
        getrlimit(RLIMIT_AS, &m_saved);
        rlimit capped = m_saved;
        capped.rlim_cur = rlim_t(VirtualMemoryBytes() + headroom);
        m_applied = VirtualMemoryBytes() > 0 && setrlimit(RLIMIT_AS, &capped) == 0;
    }
    ~AddressSpaceCap() { setrlimit(RLIMIT_AS, &m_saved); }
    bool Applied() const { return m_applied; }

private:
    rlimit m_saved{};
    bool m_applied = false;
};

TEST_F(EngineTest, RecordingMoreThanMemoryHoldsReportsAndKeepsTheOldSample) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator aborts instead of failing an allocation";
#endif
    MakeSample(SampleLayout::Stereo16);
    const CSampleState before = CSampleState::Of(buffer);
    qint16 result = 0;
    {
        AddressSpaceCap cap(quint64(256) << 20);
        ASSERT_TRUE(cap.Applied());
        result = audio.StartRecording(&notify, 0xF0000000u, -1);
    }
    EXPECT_NE(result, 0);
    EXPECT_FALSE(audio.IsRecording());
    EXPECT_EQ(factory.log.open, 0);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, QStringLiteral("Error - Out of Memory!"));
    EXPECT_TRUE(reporter.messages[0].caption.isEmpty());
    EXPECT_EQ(reporter.messages[0].icon, CMessageIcon::Warning);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
}

TEST_F(EngineTest, DestroyingWhileRecordingClosesTheDevice) {
    {
        CSampleBuffer recording;
        CSampleAudio recorder(recording);
        ASSERT_EQ(recorder.StartRecording(&notify, 1000, -1), 0);
        factory.input->Deliver(Pattern(100));
        EXPECT_EQ(factory.log.open, 1);
    }
    EXPECT_EQ(factory.log.open, 0);
    Deliver();
    EXPECT_EQ(inputData.count(), 0);
}

// --- Device layer ------------------------------------------------------------------------------

struct FormatCase {
    const char* name;
    CWaveFormat format;
    bool playable;
};

CWaveFormat Pcm(quint16 channels, quint32 rate, quint16 bits) {
    CWaveFormat format;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    format.blockAlign = quint16(channels * bits / 8);
    format.avgBytesPerSec = rate * format.blockAlign;
    return format;
}

CWaveFormat With(CWaveFormat format, void (*change)(CWaveFormat&)) {
    change(format);
    return format;
}

class DeviceFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DeviceFormat, OnlyConsistentPcmOfTheFourLayoutsIsOffered) {
    EXPECT_EQ(IsDeviceFormat(GetParam().format), GetParam().playable);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DeviceFormat,
    ::testing::Values(
        FormatCase{"Mono8", Pcm(1, 22050, 8), true},
        FormatCase{"Stereo16", Pcm(2, 44100, 16), true},
        FormatCase{"OddRate", Pcm(1, 7351, 16), true}, FormatCase{"ZeroRate", Pcm(2, 0, 16), false},
        FormatCase{"ThreeChannels", Pcm(3, 22050, 16), false},
        FormatCase{"TwentyFourBits", Pcm(2, 44100, 24), true},
        FormatCase{"Float", With(Pcm(2, 44100, 32), [](CWaveFormat& f) { f.formatTag = 3; }), true},
        FormatCase{"ExtensibleTwentyFour",
                   With(Pcm(1, 96000, 24), [](CWaveFormat& f) { f.formatTag = 0xFFFE; }), true},
        FormatCase{"ThirtyTwoBitPcm", Pcm(1, 44100, 32), false},
        FormatCase{"SixteenBitFloat",
                   With(Pcm(1, 44100, 16), [](CWaveFormat& f) { f.formatTag = 3; }), false},
        FormatCase{"TwelveBits", Pcm(1, 8000, 12), false},
        FormatCase{"NotPcm", With(Pcm(1, 8000, 8), [](CWaveFormat& f) { f.formatTag = 2; }), false},
        FormatCase{"WrongBlockAlign",
                   With(Pcm(2, 8000, 16), [](CWaveFormat& f) { f.blockAlign = 2; }), false},
        FormatCase{"WrongByteRate",
                   With(Pcm(1, 8000, 8), [](CWaveFormat& f) { f.avgBytesPerSec = 8001; }), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveHeader, PreparesOnlyABufferWithBytesAndKeepsAQueuedOnePrepared) {
    CWaveDeviceLog log;
    CFakeWaveFailures failures;
    CFakeWaveOutDevice device(log, failures);
    quint8 bytes[4] = {};
    CWaveHeader empty;
    EXPECT_EQ(device.Prepare(empty), CWaveError::InvalidParameter);
    CWaveHeader header;
    header.data = bytes;
    header.bufferLength = sizeof bytes;
    ASSERT_EQ(device.Prepare(header), CWaveError::None);
    EXPECT_TRUE(header.flags & CWaveHeader::Prepared);
    header.flags |= CWaveHeader::InQueue;
    EXPECT_EQ(device.Unprepare(header), CWaveError::StillPlaying);
    header.flags &= ~quint32(CWaveHeader::InQueue);
    EXPECT_EQ(device.Unprepare(header), CWaveError::None);
    EXPECT_FALSE(header.flags & CWaveHeader::Prepared);
}

} // namespace
