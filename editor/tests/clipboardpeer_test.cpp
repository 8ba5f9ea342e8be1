// Copy in one editor process and paste in another, on one X server (Xvfb) through the real X
// clipboard; the result must be what the same copy and paste give within one process.

#include "clipboardpeer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kWaitMs = 20000;

// A private X server for the two peers, stopped when the test ends.
class CXServer {
public:
    bool Start() {
        // -displayfd 1: the server picks a free display and writes its number to standard output.
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")),
                        {QStringLiteral("-displayfd"), QStringLiteral("1"),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                         QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("320x240x24")});
        if (!m_process.waitForStarted(kWaitMs))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(kWaitMs))
                return false;
        }
        m_display = QLatin1Char(':') + QString::fromLatin1(m_process.readLine().trimmed());
        return true;
    }
    ~CXServer() {
        m_process.terminate();
        if (!m_process.waitForFinished(kWaitMs))
            m_process.kill();
    }
    QString Display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

class CPeer {
public:
    CPeer(const QString& display, const QString& mode, const CTransfer& transfer) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(CLIPBOARD_PEER), QStringList{mode} + transfer.ToArguments());
    }
    ~CPeer() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(kWaitMs))
                m_process.kill();
        }
    }
    // The first line the peer prints; empty if it prints none in time.
    QByteArray Line() {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(kWaitMs))
                return QByteArray();
        }
        return m_process.readLine().trimmed();
    }

private:
    QProcess m_process;
};

QByteArray InOneProcess(const CTransfer& transfer) {
    QGuiApplication::clipboard()->clear();
    if (!transfer.Copy())
        return QByteArray();
    return transfer.Paste();
}

class ClipboardBetweenProcesses : public ::testing::TestWithParam<CTransfer> {};

TEST_P(ClipboardBetweenProcesses, PastesWhatTheOtherEditorCopied) {
    CXServer server;
    ASSERT_TRUE(server.Start()) << "Xvfb did not start";
    CPeer copier(server.Display(), QStringLiteral("copy"), GetParam());
    ASSERT_EQ(copier.Line(), QByteArray("copied"));
    CPeer paster(server.Display(), QStringLiteral("paste"), GetParam());
    const QByteArray pasted = paster.Line();
    const QByteArray expected = InOneProcess(GetParam());
    ASSERT_TRUE(expected.startsWith("pasted ")) << expected.constData();
    EXPECT_FALSE(expected.startsWith("pasted 0 ")) << expected.constData();
    EXPECT_EQ(pasted, expected);
}

CTransfer Transfer(SampleLayout source, quint32 rate, quint32 frames, qint64 first, qint64 last,
                   int copyChannel, SampleLayout target, quint32 targetFrames, quint32 at,
                   int pasteChannel) {
    return CTransfer{source,      rate,   frames,       first, last,
                     copyChannel, target, targetFrames, at,    pasteChannel};
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, ClipboardBetweenProcesses,
    ::testing::Values(
        // A 16-bit stereo clip into an empty document.
        Transfer(SampleLayout::Stereo16, 44100, 100, -1, -1, 0, SampleLayout::Stereo16, 0, 0, 0),
        // The right channel of frames 0..9 of an 8-bit sample into 16-bit stereo at frame 5.
        Transfer(SampleLayout::Stereo8, 11025, 40, 0, 9, 2, SampleLayout::Stereo16, 20, 5, 0),
        // 16-bit stereo into the left channel of 8-bit stereo, at the end (so at the start).
        Transfer(SampleLayout::Stereo16, 8000, 30, 3, 29, 0, SampleLayout::Stereo8, 12, 12, 1),
        // A clip large enough to need the X server's incremental transfer.
        Transfer(SampleLayout::Mono16, 22050, 400000, -1, -1, 0, SampleLayout::Mono8, 10, 3, 0),
        // Float values beyond full scale into a float document, and clipped into a 16-bit one.
        Transfer(SampleLayout::StereoFloat, 48000, 50, 5, 44, 0, SampleLayout::StereoFloat, 8, 2,
                 0),
        Transfer(SampleLayout::StereoFloat, 48000, 50, 5, 44, 1, SampleLayout::Stereo16, 8, 2, 2),
        // The left channel of a 24-bit sample into a 24-bit mono one.
        Transfer(SampleLayout::Stereo24, 96000, 30, -1, -1, 1, SampleLayout::Mono24, 4, 1, 0)));

} // namespace
