// The engine on a sound server that has no output and no input at all: this test starts its own
// PulseAudio with nothing but its socket, before Qt Multimedia first looks for devices.

#include "capturereporter.h"
#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "platform/qtwavedevicefactory.h"
#include "samplemaker.h"
#include "spywavedevice.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EmptySoundServer : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString home = m_dir.filePath(QStringLiteral("home"));
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        const QString socket = m_dir.filePath(QStringLiteral("native"));
        const QString server = QStringLiteral("unix:") + socket;

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.remove(QStringLiteral("PULSE_SERVER"));
        m_server.setProcessEnvironment(environment);
        m_server.setProgram(QStringLiteral("pulseaudio"));
        m_server.setArguments({QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                               QStringLiteral("--exit-idle-time=-1"),
                               QStringLiteral("--system=false"), QStringLiteral("-L"),
                               QStringLiteral("module-native-protocol-unix socket=") + socket +
                                   QStringLiteral(" auth-anonymous=1")});
        m_server.start();
        ASSERT_TRUE(m_server.waitForStarted(5000)) << "pulseaudio did not start";

        QElapsedTimer clock;
        clock.start();
        bool answers = false;
        while (!answers && clock.elapsed() < 10000) {
            QProcess pactl;
            QProcessEnvironment pactlEnvironment = environment;
            pactlEnvironment.insert(QStringLiteral("PULSE_SERVER"), server);
            pactl.setProcessEnvironment(pactlEnvironment);
            pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
            answers = pactl.waitForFinished(5000) && pactl.exitCode() == 0;
            if (!answers)
                QTest::qWait(100);
        }
        ASSERT_TRUE(answers) << "the empty sound server does not answer";
        qputenv("PULSE_SERVER", server.toLocal8Bit());
    }

    void TearDown() override {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
};

const auto* const emptyServer = ::testing::AddGlobalTestEnvironment(new EmptySoundServer);

TEST(EngineWithoutSoundDevices, PlayAndRecordFailWithNoDriverAndLeaveTheSample) {
    CQtWaveDeviceFactory real;
    CSpyWaveDeviceFactory factory(real);
    CCaptureReporter reporter;
    CWaveNotify notify;
    QSignalSpy outputDone(&notify, &CWaveNotify::OutputDone);
    QSignalSpy inputData(&notify, &CWaveNotify::InputData);
    CSampleBuffer buffer;
    CSampleAudio audio(buffer);
    FillSample(buffer, SampleLayout::Mono16, 22050, RandomValues(SampleLayout::Mono16, 2205, 8));
    const CSampleState before = CSampleState::Of(buffer);

    EXPECT_EQ(audio.StartPlayback(&notify, -1, -1, -1), qint16(CWaveError::NoDriver));
    EXPECT_EQ(audio.StartPlayback(&notify, 0, -1, -1), qint16(CWaveError::NoDriver));
    EXPECT_FALSE(audio.IsPlaying());
    EXPECT_EQ(audio.StartRecording(&notify, 4410, -1), qint16(CWaveError::NoDriver));
    EXPECT_FALSE(audio.IsRecording());

    EXPECT_EQ(factory.log.open, 0);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
    EXPECT_TRUE(reporter.messages.isEmpty());
    QTest::qWait(100);
    EXPECT_EQ(outputDone.count(), 0);
    EXPECT_EQ(inputData.count(), 0);
}

} // namespace
