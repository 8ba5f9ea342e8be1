// Recording without a sound server: the Recording Options dialog's arithmetic, texts and results,
// and the "Recording..." dialog over fake wave devices.

#include "capturereporter.h"
#include "fakewavedevice.h"
#include "samplemaker.h"

#include "ui/recordcommand.h"
#include "ui/recordingdlg.h"
#include "ui/recordoptionsdlg.h"
#include "ui/samplepresetsdlg.h"
#include "ui/spinedit.h"

#include "core/sampleaudio.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <optional>

namespace {

// Runs `act` on the modal dialog of type D once it is shown: exec() gives no other moment.
template <typename D> void OnModal(std::function<void(D&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            act(*dialog);
        }
    });
    poll->start();
}

void Type(CSpinEdit* edit, const QString& text) {
    edit->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(edit->findChild<QLineEdit*>(), text);
}

TEST(RecordingArithmetic, FrequenciesMemoryTextsAndTheTotalTime) {
    const std::pair<const char*, std::optional<quint32>> frequencies[] = {
        {"22050 Hz", 22050u},    {"44100", 44100u},         {"22 KHZ", 22000u},
        {"44.1 kHz", 44100u},    {"8.2khz", 8200u},         {"0", std::nullopt},
        {"-8000", std::nullopt}, {"garbage", std::nullopt}, {"", std::nullopt}};
    for (const auto& [text, rate] : frequencies)
        EXPECT_EQ(CRecordOptionsDlg::ParseFrequency(text), rate) << text;
    const std::pair<quint64, const char*> memory[] = {{0, ""},
                                                      {22050, "21 Kb required"},
                                                      {1048575, "1023 Kb required"},
                                                      {1048576, "1 Mb required"},
                                                      {10584000, "10 Mb required"}};
    for (const auto& [bytes, text] : memory)
        EXPECT_EQ(CRecordOptionsDlg::MemoryText(bytes), text) << bytes;
    // The time a recording takes: stereo halves it, each byte a sample takes divides it.
    const std::tuple<quint32, quint32, bool, SampleDepth, double> times[] = {
        {88200, 11025, true, SampleDepth::Int16, 2.0},
        {44100, 22050, true, SampleDepth::Int8, 1.0},
        {44100, 22050, false, SampleDepth::Int16, 1.0},
        {264600, 44100, true, SampleDepth::Int24, 1.0},
        {352800, 44100, false, SampleDepth::Float32, 2.0}};
    for (const auto& [bytes, rate, stereo, depth, seconds] : times)
        EXPECT_DOUBLE_EQ(CRecordProgressDlg::TotalSeconds(bytes, rate, stereo, depth), seconds)
            << bytes;
}

class RecordOptions : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    CSettingsStore m_settings{m_dir.path()};
    CCaptureReporter m_reporter;
    CRecordOptionsDlg m_dialog{nullptr, &m_settings.Keys()};
};

TEST_F(RecordOptions, TheControlsGiveRateBytesAndTheMemoryLine) {
    EXPECT_EQ(m_dialog.MemoryLabel()->text(), "21 Kb required") << "22050 Hz, 1 s, 8-bit mono";
    const struct {
        const char *seconds, *frequency;
        SampleDepth depth;
        bool stereo;
        quint32 rate;
        quint64 bytes;
        const char* memory;
    } cases[] = {
        {"60", "44100 Hz", SampleDepth::Int16, true, 44100, 10584000, "10 Mb required"},
        {"0", "8000", SampleDepth::Int8, false, 8000, 0, ""},
        {"1", "0 Hz", SampleDepth::Int8, false, 8000, 8000,
         "Not a valid frequency; 8000 Hz kept - 7 Kb required"},
        {"2", "fast", SampleDepth::Int16, false, 8000, 32000,
         "Not a valid frequency; 8000 Hz kept - 31 Kb required"},
        {"10", "48000 Hz", SampleDepth::Int24, true, 48000, 2880000, "2 Mb required"},
        {"1", "44100", SampleDepth::Float32, false, 44100, 176400, "172 Kb required"},
    };
    for (const auto& c : cases) {
        Type(m_dialog.SecondsEdit(), c.seconds);
        Type(m_dialog.FrequencyEdit(), c.frequency);
        m_dialog.Bits().Button(c.depth)->click();
        (c.stereo ? m_dialog.StereoButton() : m_dialog.Mono())->click();
        EXPECT_EQ(m_dialog.Rate(), c.rate) << c.frequency;
        EXPECT_EQ(m_dialog.Bytes(), c.bytes) << c.frequency;
        EXPECT_EQ(m_dialog.MemoryLabel()->text(), c.memory) << c.frequency;
    }
}

TEST_F(RecordOptions, TheSpinsCoverTheirRangesAndWriteTheirEdits) {
    CSpinEdit* frequency = m_dialog.FrequencyEdit();
    EXPECT_EQ(std::make_pair(frequency->Minimum(), frequency->Maximum()),
              std::make_pair(4000, 48000));
    frequency->stepBy(1);
    EXPECT_EQ(frequency->Text(), "22051 Hz");
    Type(frequency, "96000 Hz");
    EXPECT_EQ(m_dialog.Rate(), 96000u) << "typed rates stay as typed";
    frequency->stepBy(-1);
    EXPECT_EQ(frequency->Text(), "47999 Hz");
    CSpinEdit* seconds = m_dialog.SecondsEdit();
    EXPECT_EQ(std::make_pair(seconds->Minimum(), seconds->Maximum()), std::make_pair(1, 32000));
    seconds->stepBy(1);
    EXPECT_EQ(m_dialog.MemoryLabel()->text(), "93 Kb required") << "2 s at 47999 Hz";
}

TEST_F(RecordOptions, AChosenQualitySetsTheFormatAndAFormatShowsItsQuality) {
    emit m_dialog.Quality().Combo()->textActivated("CD Quality");
    EXPECT_EQ(m_dialog.FrequencyEdit()->Text(), "44100 Hz");
    EXPECT_TRUE(m_dialog.Bits16()->isChecked() && m_dialog.StereoButton()->isChecked());
    Type(m_dialog.FrequencyEdit(), "8 kHz");
    m_dialog.Mono()->click();
    m_dialog.Bits8()->click();
    EXPECT_EQ(m_dialog.Quality().Text(), "Telephone Quality");
}

TEST_F(RecordOptions, EndsWith10ForANewSample11ForThisOneAnd2ForCancel) {
    QPushButton* cancel = m_dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
    const std::tuple<bool, std::function<void()>, int> cases[] = {
        {true, [&] { m_dialog.RecordButton()->click(); }, 10},
        {false, [&] { m_dialog.RecordButton()->click(); }, 11},
        {false, [&] { QTest::keyClick(m_dialog.FrequencyEdit(), Qt::Key_Return); }, 11},
        {true, [&] { cancel->click(); }, 2},
        {false, [&] { QTest::keyClick(&m_dialog, Qt::Key_Escape); }, 2}};
    for (const auto& [newSample, act, result] : cases) {
        m_dialog.open();
        m_dialog.NewSampleCheck()->setChecked(newSample);
        act();
        EXPECT_FALSE(m_dialog.isVisible());
        EXPECT_EQ(m_dialog.result(), result);
    }
}

TEST_F(RecordOptions, RefusesMoreBytesThanASampleHoldsAndStaysOpen) {
    m_dialog.open();
    Type(m_dialog.FrequencyEdit(), "48000 Hz");
    m_dialog.Bits16()->click();
    m_dialog.StereoButton()->click();
    // 192000 bytes a second: 22369 seconds fit in 32 bits, 22370 do not.
    for (const char* seconds : {"32000", "22370"}) {
        Type(m_dialog.SecondsEdit(), seconds);
        m_dialog.RecordButton()->click();
        EXPECT_TRUE(m_dialog.isVisible()) << seconds;
    }
    ASSERT_EQ(m_reporter.messages.size(), 2);
    EXPECT_EQ(m_reporter.messages[0].text, "Error - Out of Memory!");
    Type(m_dialog.SecondsEdit(), "22369");
    m_dialog.RecordButton()->click();
    EXPECT_EQ(m_dialog.result(), CRecordOptionsDlg::kRecordInto);
}

TEST(RecordOptionsEntry, GivesTheRequestOrNoneWhenCancelled) {
    OnModal<CRecordOptionsDlg>([](CRecordOptionsDlg& dialog) {
        Type(dialog.FrequencyEdit(), "11025 Hz");
        dialog.StereoButton()->click();
        dialog.Bits().Button(SampleDepth::Int24)->click();
        dialog.NewSampleCheck()->click();
        dialog.RecordButton()->click();
    });
    const std::optional<CRecordingRequest> request = RunRecordingOptions(nullptr);
    ASSERT_TRUE(request);
    EXPECT_EQ(std::make_tuple(request->bytes, request->rate, request->stereo, request->depth,
                              request->asNewSample),
              std::make_tuple(66150u, 11025u, true, SampleDepth::Int24, true));
    OnModal<CRecordOptionsDlg>([](CRecordOptionsDlg& dialog) { dialog.reject(); });
    EXPECT_FALSE(RunRecordingOptions(nullptr));
}

class RecordProgress : public ::testing::Test {
protected:
    CCaptureReporter m_reporter;
    CFakeWaveDeviceFactory m_devices;
    CSampleBuffer m_buffer;
    CSampleAudio m_audio{m_buffer};
    CRecordProgressDlg m_dialog;
};

TEST_F(RecordProgress, ShowsTheTimeLeftAndClosesDoneWhenTheBufferIsFull) {
    QStringList shown;
    OnModal<CRecordProgressDlg>([&](CRecordProgressDlg& dialog) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_devices.log.open == 1; }));
        shown << dialog.PercentLabel()->text() << dialog.RemainingLabel()->text();
        m_devices.input->SetPosition(44100);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.PercentLabel()->text() == "50%"; }));
        shown << dialog.RemainingLabel()->text() << QString::number(dialog.ProgressBar()->value());
        m_devices.input->Deliver(QByteArray(88200, '\x11'));
    });
    EXPECT_TRUE(m_dialog.RunRecording(m_audio, 88200, 11025, true, SampleDepth::Int16, -1));
    EXPECT_EQ(shown, QStringList({"0%", "2.0 Seconds", "1.0 Seconds", "5000"}));
    EXPECT_EQ(QStringList({m_dialog.PercentLabel()->text(), m_dialog.FormatLabel()->text(),
                           m_dialog.RemainingLabel()->text()}),
              QStringList({"100%", "Done", "0.0 Seconds"}));
    EXPECT_EQ(m_buffer.GetFrameCount(), 22050u);
    EXPECT_EQ(m_buffer.GetCommittedFormat(), m_buffer.GetFormat());
    EXPECT_EQ(m_buffer.GetLayout(), SampleLayout::Stereo16);
}

// The address space a test may still take, for the rest of its scope.
class CAddressSpaceLimit {
public:
    explicit CAddressSpaceLimit(quint64 bytes) {
        getrlimit(RLIMIT_AS, &m_old);
        quint64 pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(pages * quint64(sysconf(_SC_PAGESIZE)) + bytes);
        setrlimit(RLIMIT_AS, &limit);
    }
    ~CAddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_old); }

private:
    rlimit m_old{};
};

TEST_F(RecordProgress, ARecordingThatCannotStartSaysSoAndLeavesTheSampleWhole) {
    FillSample(m_buffer, SampleLayout::Mono8, 8000, RandomValues(SampleLayout::Mono8, 500, 3));
    const CSampleState before = CSampleState::Of(m_buffer);
    // No such device; then four gigabytes where one is left.
    const std::tuple<CWaveError, quint32, QStringList> cases[] = {
        {CWaveError::BadDeviceId, 17640, {"Couldn't record"}},
        {CWaveError::None, 0xF0000000u, {"Error - Out of Memory!", "Couldn't record"}}};
    for (const auto& [open, bytes, messages] : cases) {
        m_reporter.messages.clear();
        m_devices.failures.open = open;
        OnModal<CRecordProgressDlg>([&](CRecordProgressDlg& dialog) {
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return m_reporter.messages.size() == messages.size(); }));
            EXPECT_TRUE(dialog.isVisible()) << "stays until Stop";
            dialog.StopButton()->click();
        });
        CAddressSpaceLimit limit(quint64(1) << 30);
        EXPECT_FALSE(m_dialog.RunRecording(m_audio, bytes, 44100, true, SampleDepth::Int16, -1));
        QStringList texts;
        for (const CMessage& message : m_reporter.messages)
            texts << message.text;
        EXPECT_EQ(texts, messages);
        EXPECT_EQ(m_reporter.messages.last().caption, "Wavelathe Pro");
        EXPECT_EQ(CSampleState::Of(m_buffer), before);
    }
}

} // namespace
