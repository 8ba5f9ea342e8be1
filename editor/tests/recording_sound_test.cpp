// Recording from the editor's view through the real sound server, whose source is a 440 Hz sine:
// the recording has the format asked for and the source's tone, at every depth, Stop keeps what
// was recorded, and Undo brings back the sample that was recorded over.

#include "capturereporter.h"
#include "depthsamples.h"
#include "samplemaker.h"
#include "tonelevel.h"
#include "tonemeter.h"

#include "ui/recordcommand.h"
#include "ui/recordingdlg.h"
#include "ui/wavewnd.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include "platform/qtwavedevicefactory.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

constexpr int kGiveUpMs = 20000;

class RecordFromServer : public ::testing::Test {
protected:
    RecordFromServer() { CWaveDeviceFactory::Install(&m_devices); }
    ~RecordFromServer() override { CWaveDeviceFactory::Install(nullptr); }

    // Opens a view on `doc`; `act` runs on the "Recording..." dialog once it records, and a
    // recording still running after kGiveUpMs is stopped so that the checks fail instead of the
    // test hanging. Neither outlives the view.
    void Open(std::unique_ptr<CWlproDoc> doc, std::function<void(CRecordProgressDlg&)> act = {}) {
        m_view.reset();
        m_doc = std::move(doc);
        m_view = std::make_unique<CWlproView>(m_doc.get());
        m_view->resize(600, 300);
        m_view->show();
        auto* poll = new QTimer(m_view.get());
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, act] {
            auto* dialog = qobject_cast<CRecordProgressDlg*>(QApplication::activeModalWidget());
            if (act && dialog && m_doc->Audio().IsRecording()) {
                poll->stop();
                act(*dialog);
            }
        });
        poll->start(10);
        QTimer::singleShot(kGiveUpMs, m_view.get(), [] {
            if (auto* dialog = qobject_cast<CRecordProgressDlg*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
    }
    void ExpectTheSourcesTone() const {
        const CSampleBuffer& buffer = m_doc->Buffer();
        const std::vector<double> left = ScaledChannel(buffer, 0);
        EXPECT_NEAR(ToneFrequency(AsWords(left), 0.0, buffer.GetRate()), 440.0, 440 * 0.02);
        // A tone, not noise that happens to cross zero as often: far above a frequency beside it.
        const double tone = ToneAmplitude(left, 440.0, buffer.GetRate());
        EXPECT_GT(tone, 0.05) << "silence recorded";
        EXPECT_GT(Decibels(tone / ToneAmplitude(left, 1000.0, buffer.GetRate())), 40.0);
    }

    CQtWaveDeviceFactory m_devices;
    CCaptureReporter m_reporter;
    std::unique_ptr<CWlproDoc> m_doc;
    std::unique_ptr<CWlproView> m_view;
};

// Whether any sample of the buffer uses the precision of its depth beyond 16 bits: a low byte of
// a 24-bit sample that is not 0, a float that is no 16-bit step.
bool FinerThanSixteenBits(const CSampleBuffer& buffer) {
    for (double v : ScaledChannel(buffer, 0))
        if (v * 32768.0 != std::floor(v * 32768.0))
            return true;
    return false;
}

TEST_F(RecordFromServer, OneSecondHasTheFormatAskedForAndTheSourcesTone) {
    const struct {
        CRecordingRequest request;
        const char* bits;
    } cases[] = {{{44100, 22050, false, SampleDepth::Int16, true}, "16 Bit"},
                 {{22050, 11025, true, SampleDepth::Int8, true}, "8 Bit"},
                 {{66150, 22050, false, SampleDepth::Int24, true}, "24 Bit"},
                 {{352800, 44100, true, SampleDepth::Float32, true}, "32 Bit Float"}};
    for (const auto& [request, bits] : cases) {
        SCOPED_TRACE(bits);
        Open(std::make_unique<CWlproDoc>(QStringLiteral("Wlpro1")));
        ASSERT_TRUE(RecordIntoView(*m_view, request));
        const CSampleBuffer& buffer = m_doc->Buffer();
        EXPECT_EQ(buffer.GetRate(), request.rate);
        EXPECT_EQ(buffer.GetLayout(), MakeLayout(request.stereo, request.depth));
        EXPECT_EQ(m_view->StatusTexts().value(1), bits);
        // The server's own samples, not 16-bit ones widened.
        EXPECT_EQ(FinerThanSixteenBits(buffer), DepthBits(request.depth) > 16);
        EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
        // The device hands the buffer back full; allow it one 10 ms block either way.
        EXPECT_NEAR(double(buffer.GetFrameCount()), double(request.rate), request.rate / 100.0);
        EXPECT_EQ(m_view->IsStereo(), request.stereo);
        EXPECT_TRUE(m_doc->IsModified());
        ExpectTheSourcesTone();
    }
    EXPECT_TRUE(m_reporter.messages.isEmpty());
}

TEST_F(RecordFromServer, StopEarlyKeepsWhatWasRecorded) {
    constexpr quint32 kFrames = 3 * 22050;
    double stoppedAt = 0.0;
    Open(std::make_unique<CWlproDoc>(QStringLiteral("Wlpro1")), [&](CRecordProgressDlg& dialog) {
        const CSampleAudio& audio = m_doc->Audio();
        EXPECT_TRUE(QTest::qWaitFor([&] { return audio.GetRecordFraction() >= 0.3; }, kGiveUpMs));
        stoppedAt = audio.GetRecordFraction();
        QTest::mouseClick(dialog.StopButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(RecordIntoView(
        *m_view, CRecordingRequest{kFrames * 2, 22050, false, SampleDepth::Int16, false}));
    EXPECT_LT(stoppedAt, 0.9) << "stopped well before the end";
    EXPECT_NEAR(double(m_doc->Buffer().GetFrameCount()), stoppedAt * kFrames, kFrames * 0.05);
    ExpectTheSourcesTone();
}

TEST_F(RecordFromServer, UndoBringsBackTheSampleRecordedOver) {
    CWlproDoc::CLoaded loaded;
    loaded.buffer = std::make_unique<CSampleBuffer>();
    FillSample(*loaded.buffer, SampleLayout::Stereo8, 8000,
               RandomValues(SampleLayout::Stereo8, 4000, 5));
    loaded.summary.Build(*loaded.buffer);
    Open(std::make_unique<CWlproDoc>(std::move(loaded), QStringLiteral("old.wav")));
    m_view->Strip(0)->ZoomToRange(100, 200);
    const CSampleState before = CSampleState::Of(m_doc->Buffer());

    ASSERT_TRUE(
        RecordIntoView(*m_view, CRecordingRequest{22050, 22050, false, SampleDepth::Int16, false}));
    const CSampleState recorded = CSampleState::Of(m_doc->Buffer());
    EXPECT_FALSE(m_view->IsStereo());
    EXPECT_EQ(m_view->Strip(0)->First(), 0u) << "zoomed out";
    EXPECT_EQ(m_view->StatusTexts().mid(1, 2), QStringList({"16 Bit", "22050 Hz"}));
    ExpectTheSourcesTone();
    ASSERT_EQ(m_doc->Undo(), 1);
    EXPECT_EQ(CSampleState::Of(m_doc->Buffer()), before);
    EXPECT_TRUE(m_view->IsStereo());
    ASSERT_EQ(m_doc->Redo(), 1);
    EXPECT_EQ(CSampleState::Of(m_doc->Buffer()), recorded);
}

} // namespace
