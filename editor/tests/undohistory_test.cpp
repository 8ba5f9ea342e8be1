// Undo and redo of every editing operation: data and format must come back byte for byte, many
// steps deep, within the memory bound, and never onto a sample that has changed behind the
// history's back.

#include "capturereporter.h"
#include "fakewavedevice.h"
#include "samplemaker.h"

#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "core/sampleeditor.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <functional>

namespace {

void PutClip(SampleLayout layout, quint32 frames, quint32 seed) {
    CSampleBuffer source;
    FillSample(source, layout, 48000, RandomValues(layout, frames, seed));
    ASSERT_EQ(source.CopyToClipboard(nullptr, -1, -1, 0), 1);
}

struct EditCase {
    const char* name;
    // The sample to start from; an empty sample when `empty`.
    SampleLayout layout;
    bool empty;
    std::function<void(CSampleBuffer&)> prepare;
    std::function<void(CSampleEditor&)> edit;
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

const auto kNothing = [](CSampleBuffer&) {};

class UndoEachEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(UndoEachEdit, RestoresDataAndFormatAndRedoesThem) {
    const EditCase& c = GetParam();
    CCaptureReporter reporter;
    CSampleBuffer buffer;
    if (!c.empty)
        FillSample(buffer, c.layout, 22050, RandomValues(c.layout, 64, 17));
    c.prepare(buffer);
    CSampleEditor editor(buffer);

    const CSampleState before = CSampleState::Of(buffer);
    c.edit(editor);
    const CSampleState after = CSampleState::Of(buffer);
    ASSERT_FALSE(after == before) << "the edit changed nothing";
    ASSERT_TRUE(reporter.messages.isEmpty());

    ASSERT_EQ(editor.Undo(), 1);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    EXPECT_FALSE(editor.CanUndo());
    ASSERT_EQ(editor.Redo(), 1);
    EXPECT_EQ(CSampleState::Of(buffer), after);
    EXPECT_FALSE(editor.CanRedo());
    ASSERT_EQ(editor.Undo(), 1);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    EXPECT_EQ(buffer.GetFrameCount(), buffer.GetByteLength() / buffer.BytesPerFrame());
}

float Ramp(quint32 frame) {
    return float(frame % 7) * 0.4f;
}
float Sweep(quint32 frame) {
    return float(frame % 5) * 0.25f;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, UndoEachEdit,
    ::testing::Values(EditCase{"AmplifyWhole", SampleLayout::Mono8, false, kNothing,
                               [](CSampleEditor& e) { e.Amplify(1.7f, -1, -1, 0); }},
                      EditCase{"AmplifyRightChannelRange", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) { e.Amplify(3.0f, 3, 20, 2); }},
                      EditCase{"AdjustVolumeWithBias", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) {
                                   e.AdjustVolume(2.0f, 0.5f, 4, 9, 0, true, 5.0f);
                               }},
                      EditCase{"DCBias", SampleLayout::Stereo8, false, kNothing,
                               [](CSampleEditor& e) { e.DCBiasAdjust(-20.0f, 1); }},
                      EditCase{"Envelope", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) { e.ScaleFrames(10, 40, 0, Ramp); }},
                      EditCase{"Panning", SampleLayout::Stereo8, false, kNothing,
                               [](CSampleEditor& e) { e.PanFrames(-1, -1, Sweep); }},
                      EditCase{"ReverseLeft", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) { e.Reverse(5, 50, 1); }},
                      EditCase{"ReverseWhole", SampleLayout::Mono8, false, kNothing,
                               [](CSampleEditor& e) { e.Reverse(-1, -1, 0); }},
                      EditCase{"ChangeSign", SampleLayout::Mono16, false, kNothing,
                               [](CSampleEditor& e) { e.ChangeSign(2, 9); }},
                      EditCase{"DecodeULaw", SampleLayout::Stereo8, false, kNothing,
                               [](CSampleEditor& e) { e.DecodeULaw(); }},
                      EditCase{"SetFormat", SampleLayout::Mono8, false, kNothing,
                               [](CSampleEditor& e) { e.SetFormat(44100, true, true); }},
                      EditCase{"RevertFormat", SampleLayout::Mono16, false,
                               [](CSampleBuffer& b) { b.SetFormat(8000, true, false); },
                               [](CSampleEditor& e) {
                                   quint32 rate = 0;
                                   bool stereo = false;
                                   bool wide = false;
                                   e.RevertFormat(rate, stereo, wide);
                               }},
                      EditCase{"ApplyFormat", SampleLayout::Mono8, false,
                               [](CSampleBuffer& b) { b.SetFormat(44100, true, true); },
                               [](CSampleEditor& e) { e.ApplyFormat(); }},
                      EditCase{"ConvertDown", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) { e.Convert(11025, false, false); }},
                      EditCase{"ConvertUp", SampleLayout::Mono16, false, kNothing,
                               [](CSampleEditor& e) { e.Convert(48000, false, true); }},
                      EditCase{"DeleteFrames", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) { e.DeleteFrames(3, 10, 0); }},
                      EditCase{"DeleteLeftChannel", SampleLayout::Stereo8, false, kNothing,
                               [](CSampleEditor& e) { e.DeleteFrames(2, 5, 1); }},
                      EditCase{"DeleteEverything", SampleLayout::Mono16, false, kNothing,
                               [](CSampleEditor& e) { e.DeleteFrames(-1, -1, 0); }},
                      EditCase{"Cut", SampleLayout::Mono8, false, kNothing,
                               [](CSampleEditor& e) { e.CutToClipboard(0, 4, 0); }},
                      EditCase{"CutRightChannel", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) { e.CutToClipboard(10, 12, 2); }},
                      EditCase{"Paste", SampleLayout::Stereo16, false, kNothing,
                               [](CSampleEditor& e) {
                                   PutClip(SampleLayout::Mono8, 30, 1);
                                   e.PasteFromClipboard(7, 0);
                               }},
                      EditCase{"PasteLeftChannel", SampleLayout::Stereo8, false, kNothing,
                               [](CSampleEditor& e) {
                                   PutClip(SampleLayout::Stereo16, 9, 2);
                                   e.PasteFromClipboard(3, 1);
                               }},
                      EditCase{"PasteAtTheEnd", SampleLayout::Mono16, false, kNothing,
                               [](CSampleEditor& e) {
                                   PutClip(SampleLayout::Mono16, 5, 3);
                                   e.PasteFromClipboard(64, 0);
                               }},
                      EditCase{"PasteIntoEmpty", SampleLayout::Mono8, true, kNothing,
                               [](CSampleEditor& e) {
                                   PutClip(SampleLayout::Stereo16, 100, 4);
                                   e.PasteFromClipboard(0, 0);
                               }}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

// ----- Many steps ----------------------------------------------------------------------------

class History : public ::testing::Test {
protected:
    void SetUp() override {
        FillSample(buffer, SampleLayout::Stereo16, 22050,
                   RandomValues(SampleLayout::Stereo16, 1000, 8));
    }

    CCaptureReporter reporter;
    CSampleBuffer buffer;
    CSampleAudio audio{buffer};
};

TEST_F(History, WalksBackAndForthThroughManySteps) {
    CSampleEditor editor(buffer);
    const std::function<void()> edits[] = {
        [&] { editor.Amplify(0.5f, 100, 200, 0); },
        [&] { editor.Reverse(-1, -1, 2); },
        [&] { editor.DeleteFrames(0, 99, 0); },
        [&] { editor.Convert(8000, false, false); },
        [&] { editor.ChangeSign(-1, -1); },
        [&] {
            PutClip(SampleLayout::Stereo8, 50, 5);
            editor.PasteFromClipboard(10, 0);
        },
        [&] { editor.DCBiasAdjust(3.0f, 0); },
        [&] { editor.SetFormat(16000, true, true); },
    };
    std::vector<CSampleState> states{CSampleState::Of(buffer)};
    for (const auto& edit : edits) {
        edit();
        states.push_back(CSampleState::Of(buffer));
    }
    ASSERT_EQ(editor.History().UndoCount(), int(std::size(edits)));
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_EQ(editor.Undo(), 1);
        EXPECT_EQ(CSampleState::Of(buffer), states[i]) << "after undoing step " << i + 1;
    }
    EXPECT_EQ(editor.Undo(), 0);
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_EQ(editor.Redo(), 1);
        EXPECT_EQ(CSampleState::Of(buffer), states[i]) << "after redoing step " << i;
    }
    EXPECT_EQ(editor.Redo(), 0);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(History, ANewEditClearsTheRedoSteps) {
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, -1, -1, 0);
    editor.Reverse(-1, -1, 0);
    ASSERT_EQ(editor.Undo(), 1);
    ASSERT_TRUE(editor.CanRedo());
    editor.ChangeSign(0, 5);
    EXPECT_FALSE(editor.CanRedo());
    EXPECT_EQ(editor.History().UndoCount(), 2);
}

TEST_F(History, StateIdsNameTheSampleAcrossUndoRedoAndNewEdits) {
    CSampleEditor editor(buffer);
    const auto id = [&] { return editor.History().StateId(); };
    const quint64 loaded = id();
    editor.Amplify(2.0f, -1, -1, 0);
    const quint64 amplified = id();
    editor.SetFormat(22050, true, true); // the format it has: no step, same state
    EXPECT_EQ(id(), amplified);
    editor.Reverse(-1, -1, 0);
    EXPECT_NE(id(), amplified);
    editor.Undo();
    EXPECT_EQ(id(), amplified);
    editor.Undo();
    EXPECT_EQ(id(), loaded);
    editor.Redo();
    EXPECT_EQ(id(), amplified);
    editor.ChangeSign(-1, -1); // a new branch: a state never seen before
    EXPECT_NE(id(), loaded);
    EXPECT_NE(id(), amplified);
    const quint64 beforeClear = id();
    editor.ClearHistory();
    EXPECT_NE(id(), beforeClear);
    EXPECT_NE(id(), loaded);
}

TEST_F(History, KeepsOnlyTheBytesAnEditRewrites) {
    CSampleEditor editor(buffer);
    editor.SetFormat(11025, true, true); // a step with no bytes: the fixed cost of one step
    editor.SetFormat(44100, true, true);
    const quint64 step = editor.History().MemoryUsed() / 2;
    editor.Amplify(2.0f, 10, 19, 1);
    EXPECT_EQ(editor.History().MemoryUsed(), 3 * step + 10 * 4);
    editor.Reverse(-1, -1, 0);
    editor.ChangeSign(-1, -1);
    EXPECT_EQ(editor.History().MemoryUsed(), 5 * step + 10 * 4);
    editor.Amplify(2.0f, -1, -1, 0);
    EXPECT_EQ(editor.History().MemoryUsed(), 6 * step + 10 * 4 + buffer.GetByteLength());
}

TEST_F(History, DropsTheOldestStepsBeyondTheMemoryLimit) {
    CSampleEditor editor(buffer);
    editor.Amplify(1.1f, -1, -1, 0);
    const quint64 step = editor.History().MemoryUsed();
    editor.History().SetMemoryLimit(3 * step);
    std::vector<CSampleState> states{CSampleState::Of(buffer)};
    for (int i = 0; i < 4; ++i) {
        editor.Amplify(0.9f, -1, -1, 0);
        states.push_back(CSampleState::Of(buffer));
    }
    EXPECT_EQ(editor.History().UndoCount(), 3);
    EXPECT_LE(editor.History().MemoryUsed(), 3 * step);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(editor.Undo(), 1);
    EXPECT_EQ(editor.Undo(), 0);
    EXPECT_EQ(CSampleState::Of(buffer), states[1]);
}

TEST_F(History, AnEditTooLargeToKeepClearsTheHistoryButIsDone) {
    CSampleEditor editor(buffer, 1000);
    editor.Reverse(-1, -1, 0);
    ASSERT_TRUE(editor.CanUndo());
    CSampleBuffer expected;
    expected.CopyFrom(buffer);
    expected.Amplify(2.0f, -1, -1, 0);
    editor.Amplify(2.0f, -1, -1, 0);
    EXPECT_EQ(ValuesOf(buffer), ValuesOf(expected));
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.History().MemoryUsed(), 0u);
}

TEST_F(History, RefusesASampleChangedBehindItsBack) {
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, 0, 9, 0);
    editor.DeleteFrames(0, 4, 0);
    buffer.DeleteFrames(0, 0, 0); // not through the editor
    const CSampleState changed = CSampleState::Of(buffer);
    EXPECT_EQ(editor.Undo(), 0);
    EXPECT_EQ(CSampleState::Of(buffer), changed);
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(History, AFailedEditLeavesNoStepAndNoChange) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 1, RandomValues(SampleLayout::Mono8, 10, 3));
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, -1, -1, 0);
    const CSampleState before = CSampleState::Of(buffer);
    // Ten frames at 1 Hz raised to 4 GHz in 16-bit stereo would need 160 GB.
    EXPECT_EQ(editor.Convert(4000000000u, true, true), 0);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    EXPECT_EQ(editor.History().UndoCount(), 1);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, QStringLiteral("Error resizing sample!"));

    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(editor.PasteFromClipboard(0, 0), 0u);
    EXPECT_EQ(editor.DeleteFrames(5000, 6000, 0), 0);
    // Ranges past the last frame: nothing to do, nothing to undo.
    editor.Reverse(20, 30, 0);
    editor.ChangeSign(20, 30);
    editor.Amplify(2.0f, 20, 30, 0);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    EXPECT_EQ(editor.History().UndoCount(), 1);
}

TEST_F(History, LeavesASamplePlayingAlone) {
    CFakeWaveDeviceFactory devices;
    CWaveNotify notify;
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, -1, -1, 0);
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    const CSampleState playing = CSampleState::Of(buffer);
    EXPECT_EQ(editor.Undo(), 0);
    editor.Reverse(-1, -1, 0);
    editor.Amplify(0.5f, 0, 10, 0);
    EXPECT_EQ(editor.DeleteFrames(0, 10, 0), 0);
    EXPECT_EQ(editor.Convert(8000, false, false), 0);
    EXPECT_EQ(CSampleState::Of(buffer), playing);
    EXPECT_EQ(editor.History().UndoCount(), 1);
    audio.StopPlayback();
    EXPECT_EQ(editor.Undo(), 1);
}

TEST_F(History, ClearForgetsEverything) {
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, -1, -1, 0);
    editor.Undo();
    editor.ClearHistory();
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_FALSE(editor.CanRedo());
    EXPECT_EQ(editor.History().MemoryUsed(), 0u);
}

// ----- Recording into the sample ---------------------------------------------------------------

class RecordingStep : public History {
protected:
    // Records `delivered` of `bytes` bytes in 8-bit stereo through the editor.
    void Record(CSampleEditor& editor, quint32 bytes, quint32 delivered) {
        ASSERT_TRUE(editor.BeginRecording());
        buffer.SetFormat(11025, true, false);
        ASSERT_EQ(audio.StartRecording(&notify, bytes, -1), 0);
        EXPECT_EQ(editor.Undo(), 0) << "the sample belongs to the device while it records";
        devices.input->Deliver(QByteArray(int(delivered), '\x40'));
        audio.StopRecording();
        editor.EndRecording(true);
    }

    CFakeWaveDeviceFactory devices;
    CWaveNotify notify;
};

TEST_F(RecordingStep, UndoBringsTheOldSampleBackAndRedoTheRecording) {
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, -1, -1, 0);
    const CSampleState before = CSampleState::Of(buffer);
    for (const quint32 delivered : {600u, 250u, 0u}) {
        Record(editor, 600, delivered);
        const CSampleState recorded = CSampleState::Of(buffer);
        EXPECT_EQ(recorded.frames, delivered / 2);
        ASSERT_EQ(editor.Undo(), 1);
        EXPECT_EQ(CSampleState::Of(buffer), before) << delivered;
        ASSERT_EQ(editor.Redo(), 1);
        EXPECT_EQ(CSampleState::Of(buffer), recorded) << delivered;
        ASSERT_EQ(editor.Undo(), 1);
    }
    EXPECT_EQ(editor.History().UndoCount(), 1) << "the edit before the recordings";
}

TEST_F(RecordingStep, AFailedStartLeavesSampleAndHistoryAndABusySampleBeginsNothing) {
    CSampleEditor editor(buffer);
    editor.Amplify(2.0f, -1, -1, 0);
    const CSampleState before = CSampleState::Of(buffer);
    devices.failures.open = CWaveError::BadDeviceId;
    ASSERT_TRUE(editor.BeginRecording());
    buffer.SetFormat(11025, true, false);
    ASSERT_NE(audio.StartRecording(&notify, 600, -1), 0);
    editor.EndRecording(false);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    EXPECT_EQ(editor.History().UndoCount(), 1);
    devices.failures.open = CWaveError::None;
    ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    EXPECT_FALSE(editor.BeginRecording());
    audio.StopPlayback();
}

TEST_F(RecordingStep, AnOldSampleBeyondTheMemoryLimitIsNotKept) {
    CSampleEditor editor(buffer, buffer.GetByteLength() / 2);
    editor.Amplify(2.0f, 0, 9, 0);
    Record(editor, 600, 600);
    EXPECT_EQ(buffer.GetFrameCount(), 300u);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.History().MemoryUsed(), 0u);
}

} // namespace
