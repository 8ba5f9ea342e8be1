// Playing from the editor's window through the real sound server: the marker moves while the
// selection plays, Play again stops, and a selection played to its end leaves the marker there.

#include "depthsamples.h"
#include "samplemaker.h"

#include "ui/mainframe.h"
#include "ui/wavewnd.h"
#include "ui/wlproapp.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include "platform/qtwavedevicefactory.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The null sink may sleep up to two seconds before it starts to play.
constexpr int kStartTimeoutMs = 8000;

TEST(EditorPlayback, TheMarkerMovesAndPlayAgainStops) {
    CQtWaveDeviceFactory devices;
    CWaveDeviceFactory::Install(&devices);
    QTemporaryDir dir;
    Values values(44100 * 3);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = int(8000 * ((i / 50) % 2 ? 1 : -1));
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono16, 44100, values);
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);

    CSettingsStore settings(dir.filePath(QStringLiteral("settings")));
    CWlproApp app(settings, nullptr, false);
    app.Start({path});
    CMainFrame* frame = app.Frame();
    CWlproView* view = frame->ActiveView();
    CWaveWnd* strip = view->Strip(0);

    frame->Dispatch(CommandId::Play);
    ASSERT_TRUE(view->IsPlaying());
    EXPECT_EQ(frame->Action(CommandId::Play)->toolTip(), QStringLiteral("Stop"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return strip->PlayMarkerPosition() > 4410; }, kStartTimeoutMs));
    frame->Dispatch(CommandId::Play);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->Document()->Audio().IsPlaying(); }, 3000));
    EXPECT_FALSE(view->IsPlaying());
    const quint32 stoppedAt = strip->PlayMarkerPosition();
    EXPECT_LT(stoppedAt, 3u * 44100u);
    EXPECT_EQ(frame->Action(CommandId::Play)->toolTip(), QStringLiteral("Play"));

    // A short selection plays to its end by itself.
    strip->SetSelection(1000, 1000 + 44100 / 5);
    frame->Dispatch(CommandId::Play);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->IsPlaying(); }, kStartTimeoutMs));
    EXPECT_EQ(strip->PlayMarkerPosition(), 1000u + 44100u / 5);
    CWaveDeviceFactory::Install(nullptr);
}

// 24-bit and float samples play from the window to their end as the others do (what the server
// receives of them is the engine's test).
TEST(EditorPlayback, TwentyFourBitAndFloatSamplesPlayToTheirEnd) {
    constexpr quint32 kFrames = 48000 / 4;
    CQtWaveDeviceFactory devices;
    CWaveDeviceFactory::Install(&devices);
    for (const SampleDepth depth : {SampleDepth::Int24, SampleDepth::Float32}) {
        CWlproDoc doc(QStringLiteral("Wlpro1"));
        FillTone(doc.Buffer(), depth, true, 48000, kFrames, 440.0, 0.5);
        doc.SampleEdited(0);
        CWlproView view(&doc);
        view.resize(600, 300);
        view.show();
        view.Execute(CommandId::Play);
        ASSERT_TRUE(view.IsPlaying()) << "depth " << int(depth);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view.IsPlaying(); }, kStartTimeoutMs));
        EXPECT_EQ(view.Strip(0)->PlayMarkerPosition(), kFrames - 1) << "depth " << int(depth);
    }
    CWaveDeviceFactory::Install(nullptr);
}

} // namespace
