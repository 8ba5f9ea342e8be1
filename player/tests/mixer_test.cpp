// The ALSA volume devices against the real mixer of the test sound server: the volume slider at
// full scale must reach the control's maximum on both channels, as amixer reads it back.

#include "platform/alsamixer.h"
#include "ui/soundbar.h"
#include "ui/volumecontrol.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct TMasterReading {
    long min = -1;
    long max = -1;
    long left = -1;
    long right = -1;
};

// What amixer says of the sound server's Master: an independent reader of the same control.
TMasterReading ReadMaster() {
    QProcess amixer;
    amixer.start(QStringLiteral("amixer"), {QStringLiteral("-D"), QStringLiteral("pulse"),
                                            QStringLiteral("sget"), QStringLiteral("Master")});
    amixer.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(amixer.readAllStandardOutput());
    TMasterReading reading;
    const auto limits =
        QRegularExpression(QStringLiteral("Limits: Playback (\\d+) - (\\d+)")).match(out);
    const auto left = QRegularExpression(QStringLiteral("Front Left: Playback (\\d+)")).match(out);
    const auto right =
        QRegularExpression(QStringLiteral("Front Right: Playback (\\d+)")).match(out);
    if (limits.hasMatch()) {
        reading.min = limits.captured(1).toLong();
        reading.max = limits.captured(2).toLong();
    }
    if (left.hasMatch())
        reading.left = left.captured(1).toLong();
    if (right.hasMatch())
        reading.right = right.captured(1).toLong();
    return reading;
}

int MasterDevice(const TAlsaMixer& mixer) {
    for (int device = 0; device < mixer.DeviceCount(); ++device) {
        QString name;
        if (mixer.DeviceName(device, name) && name.startsWith(QStringLiteral("Master ")))
            return device;
    }
    return -1;
}

} // namespace

class RealMixer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER")) << "needs the test sound server";
        master = MasterDevice(mixer);
        ASSERT_GE(master, 0) << "no Master control on the pulse mixer";
        ASSERT_TRUE(mixer.GetVolume(master, saved));
    }
    void TearDown() override {
        if (master >= 0)
            mixer.SetVolume(master, saved);
    }
    TAlsaMixer mixer{{QStringLiteral("pulse")}};
    int master = -1;
    quint32 saved = 0;
};

TEST_F(RealMixer, FullSliderGivesTheControlsMaximumOnBothChannels) {
    TSoundBar slider(nullptr, 7889, 0, 0, 200, 16, true);
    TVolumeControl volume(mixer, &slider);
    volume.SetUp(master + 1);
    ASSERT_TRUE(slider.isEnabled());

    volume.OnScroll(TSoundBar::ThumbPosition, 10000);
    TMasterReading reading = ReadMaster();
    ASSERT_GT(reading.max, 0);
    EXPECT_EQ(reading.left, reading.max);
    EXPECT_EQ(reading.right, reading.max);

    volume.OnScroll(TSoundBar::ThumbPosition, 0);
    reading = ReadMaster();
    EXPECT_EQ(reading.left, reading.min);
    EXPECT_EQ(reading.right, reading.min);

    volume.OnScroll(TSoundBar::ThumbPosition, 5000);
    reading = ReadMaster();
    const long half = reading.min + (reading.max - reading.min) / 2;
    EXPECT_NEAR(reading.left, half, 2);
    EXPECT_NEAR(reading.right, half, 2);
}

TEST_F(RealMixer, SetUpReadsWhatTheServerHolds) {
    ASSERT_TRUE(mixer.SetVolume(master, TAuxOutput::MakeVolume(16384, 65535)));
    // Another mixer handle, like a second program, sees the change.
    TAlsaMixer other({QStringLiteral("pulse")});
    quint32 volume = 0;
    ASSERT_TRUE(other.GetVolume(MasterDevice(other), volume));
    EXPECT_NEAR(TAuxOutput::LeftOf(volume), 16384, 2);
    EXPECT_EQ(TAuxOutput::RightOf(volume), 65535);

    TSoundBar slider(nullptr, 7889, 0, 0, 200, 16, true);
    TVolumeControl control(other, &slider);
    control.SetUp(MasterDevice(other) + 1);
    EXPECT_NEAR(slider.GetPosition(), 2500, 1);
}

TEST(AlsaMixer, AMissingMixerGivesNoDevices) {
    TAlsaMixer mixer({QStringLiteral("hw:97")});
    EXPECT_EQ(mixer.DeviceCount(), 0);
    QString name;
    quint32 volume = 0;
    EXPECT_FALSE(mixer.DeviceName(0, name));
    EXPECT_FALSE(mixer.GetVolume(0, volume));
    EXPECT_FALSE(mixer.SetVolume(-1, 0));
}

struct TScaleCase {
    long min;
    long max;
};

class LevelScale : public ::testing::TestWithParam<TScaleCase> {};

TEST_P(LevelScale, EndsMeetTheControlsLimitsAndLevelsRoundTrip) {
    const auto [min, max] = GetParam();
    EXPECT_EQ(TAlsaMixer::LevelToRaw(0, min, max), min);
    EXPECT_EQ(TAlsaMixer::LevelToRaw(65535, min, max), max);
    EXPECT_EQ(TAlsaMixer::RawToLevel(min, min, max), 0);
    EXPECT_EQ(TAlsaMixer::RawToLevel(max, min, max), 65535);
    EXPECT_EQ(TAlsaMixer::RawToLevel(max + 100, min, max), 65535);
    EXPECT_EQ(TAlsaMixer::RawToLevel(min - 100, min, max), 0);
    for (long raw = min; raw <= max; raw += qMax(1L, (max - min) / 37))
        EXPECT_EQ(TAlsaMixer::LevelToRaw(TAlsaMixer::RawToLevel(raw, min, max), min, max), raw);
}

INSTANTIATE_TEST_SUITE_P(Ranges, LevelScale,
                         ::testing::Values(TScaleCase{0, 65536}, TScaleCase{0, 31},
                                           TScaleCase{-6400, 0}, TScaleCase{0, 255},
                                           TScaleCase{0, 65535}));
