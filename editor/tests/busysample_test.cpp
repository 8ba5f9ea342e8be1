// A sample that plays or records belongs to its device: every operation that writes, resizes or
// replaces its data must refuse and leave everything as it was, whoever calls it. This test is
// built with AddressSanitizer, and after each refused operation it reads every byte the device
// still holds, so an operation that moved or freed the block fails it even when the sample looks
// unchanged. It also checks that a sample borrowing clipboard data edits exactly like its own.

#include "capturereporter.h"
#include "fakewavedevice.h"
#include "filebytes.h"
#include "samplemaker.h"

#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "core/undohistory.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <numeric>

namespace {

using L = SampleLayout;

// A file of each kind for the readers, and a history for the undo steps.
struct CContext {
    QString raw;
    QString wave;
    QString voice;
    QString sun;
    QString flac;
    CUndoHistory history;
};

struct BusyEdit {
    const char* name;
    std::function<int(CSampleBuffer&, CContext&)> run;
    // Runs before the device starts; an edit that needs it is not compared on borrowed data.
    std::function<void(CSampleBuffer&, CContext&)> prepare;
};

void PrintTo(const BusyEdit& edit, std::ostream* os) {
    *os << edit.name;
}

const BusyEdit kEdits[] = {
    {"InsertFrames", [](CSampleBuffer& b, CContext&) { return b.InsertFrames(1, 300, 0); }, {}},
    {"InsertFramesInOneChannel",
     [](CSampleBuffer& b, CContext&) { return b.InsertFrames(1, 3, 2); },
     {}},
    {"DeleteFrames", [](CSampleBuffer& b, CContext&) { return b.DeleteFrames(2, 40, 0); }, {}},
    {"DeleteFramesOfOneChannel",
     [](CSampleBuffer& b, CContext&) { return b.DeleteFrames(2, 40, 1); },
     {}},
    {"CopyFrom",
     [](CSampleBuffer& b, CContext&) {
         CSampleBuffer other;
         FillSample(other, L::Mono8, 8000, {1, 2, 3});
         return b.CopyFrom(other);
     },
     {}},
    {"LoadFile",
     [](CSampleBuffer& b, CContext& c) { return b.LoadFile(c.raw, FileKind::Raw); },
     {}},
    {"ReadRaw", [](CSampleBuffer& b, CContext& c) { return b.ReadRaw(c.raw, 0, 0); }, {}},
    {"ReadWave", [](CSampleBuffer& b, CContext& c) { return b.ReadWave(c.wave); }, {}},
    {"ReadVoice", [](CSampleBuffer& b, CContext& c) { return b.ReadVoice(c.voice); }, {}},
    {"ReadSunAudio", [](CSampleBuffer& b, CContext& c) { return b.ReadSunAudio(c.sun); }, {}},
    {"ReadSoundFile", [](CSampleBuffer& b, CContext& c) { return b.ReadSoundFile(c.flac); }, {}},
    {"Resample", [](CSampleBuffer& b, CContext&) { return b.Resample(8000, 44100); }, {}},
    {"ConvertLayout",
     [](CSampleBuffer& b, CContext&) { return b.ConvertLayout(L::Stereo16, L::Mono8); },
     {}},
    {"ApplyFormat", [](CSampleBuffer& b, CContext&) { return b.ApplyFormat(); },
     [](CSampleBuffer& b, CContext&) { b.SetFormat(22050, false, false); }},
    {"DecodeULaw", [](CSampleBuffer& b, CContext&) { return b.DecodeULaw(); }, {}},
    {"Amplify", [](CSampleBuffer& b, CContext&) { return b.Amplify(0.5f, -1, -1, 0); }, {}},
    {"DCBiasAdjust", [](CSampleBuffer& b, CContext&) { return b.DCBiasAdjust(10.0f, 0); }, {}},
    {"ScaleFrame", [](CSampleBuffer& b, CContext&) { return b.ScaleFrame(0.5f, 3, 0); }, {}},
    {"PanFrame", [](CSampleBuffer& b, CContext&) { return b.PanFrame(0.2f, 3); }, {}},
    {"Reverse", [](CSampleBuffer& b, CContext&) { return b.Reverse(-1, -1, 0); }, {}},
    {"ChangeSign", [](CSampleBuffer& b, CContext&) { return b.ChangeSign(-1, -1); }, {}},
    {"CutToClipboard",
     [](CSampleBuffer& b, CContext&) { return b.CutToClipboard(nullptr, 0, 9, 0); },
     {}},
    {"PasteFromClipboard",
     [](CSampleBuffer& b, CContext&) { return int(b.PasteFromClipboard(nullptr, 5, 0)); },
     {}},
    {"InsertClipboard",
     [](CSampleBuffer& b, CContext&) { return int(b.InsertClipboard(nullptr, 5, 1)); },
     {}},
    {"ReadClipboard", [](CSampleBuffer& b, CContext&) { return b.ReadClipboard(nullptr); }, {}},
    {"ReleaseClipboard",
     [](CSampleBuffer& b, CContext&) {
         b.ReleaseClipboard();
         return 0;
     },
     [](CSampleBuffer& b, CContext&) { b.ReadClipboard(nullptr); }},
    {"Undo", [](CSampleBuffer& b, CContext& c) { return c.history.Undo(b); },
     [](CSampleBuffer& b, CContext& c) {
         c.history.Begin(b, CUndoHistory::WholeExtent(b));
         b.DeleteFrames(0, 99, 0);
         c.history.Commit(b);
     }},
    {"RollbackOfARefusedEdit",
     [](CSampleBuffer& b, CContext& c) {
         c.history.Begin(b, CUndoHistory::WholeExtent(b));
         const int result = b.DeleteFrames(0, 99, 0);
         c.history.Rollback(b);
         return result;
     },
     {}},
};

// A clip on the clipboard, a file of each kind, and a 16-bit stereo sample of 1000 frames.
class EditFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::clipboard()->clear();
        CSampleBuffer clip;
        FillSample(clip, L::Mono16, 8000, RandomValues(L::Mono16, 50, 3));
        ASSERT_EQ(clip.CopyToClipboard(nullptr, -1, -1, 0), 1);
        c.raw = WriteFile(dir, QStringLiteral("a.raw"), QByteArray(64, 'x'));
        const std::pair<QString*, FileKind> files[] = {{&c.wave, FileKind::Wave},
                                                       {&c.voice, FileKind::Voice},
                                                       {&c.sun, FileKind::SunAudio},
                                                       {&c.flac, FileKind::Flac}};
        for (auto [path, kind] : files) {
            *path = dir.filePath(QStringLiteral("a%1").arg(int(kind)));
            if (kind == FileKind::Voice)
                clip.ConvertLayout(L::Mono16, L::Mono8);
            ASSERT_EQ(clip.SaveFile(*path, kind), 1);
        }
        FillSample(buffer, L::Stereo16, 8000, RandomValues(L::Stereo16, 1000, 5));
    }

    QTemporaryDir dir;
    CContext c;
    CCaptureReporter capture;
    // The devices outlive the sample and its engine, which closes them when it goes.
    CFakeWaveDeviceFactory devices;
    CWaveNotify notify;
    CSampleBuffer buffer;
    CSampleAudio audio{buffer};
};

enum class Busy { Playing, Recording };

class BusySample : public EditFixture,
                   public ::testing::WithParamInterface<std::tuple<BusyEdit, Busy>> {
protected:
    // What the device holds right now, read byte by byte.
    quint64 DeviceChecksum() const {
        const quint8* p = devices.log.queuedData;
        return std::accumulate(p, p + devices.log.queuedLength, quint64(0));
    }
};

TEST_P(BusySample, RefusesAndLeavesTheSampleAndTheDevicesBlockAlone) {
    const auto& [edit, busy] = GetParam();
    if (edit.prepare)
        edit.prepare(buffer, c);
    if (busy == Busy::Playing) {
        ASSERT_EQ(audio.StartPlayback(&notify, -1, -1, -1), 0);
    } else {
        ASSERT_EQ(audio.StartRecording(&notify, 4000, -1), 0);
        devices.input->Deliver(QByteArray(1000, 'r'));
    }
    const CSampleState before = CSampleState::Of(buffer);
    const quint64 held = DeviceChecksum();

    EXPECT_EQ(edit.run(buffer, c), 0);
    EXPECT_TRUE(CSampleState::Of(buffer) == before);
    EXPECT_EQ(buffer.GetData(), devices.log.queuedData);
    EXPECT_EQ(buffer.GetByteLength(), devices.log.queuedLength);
    EXPECT_EQ(DeviceChecksum(), held);
    EXPECT_TRUE(audio.IsPlaying() || audio.IsRecording());
}

INSTANTIATE_TEST_SUITE_P(Edits, BusySample,
                         ::testing::Combine(::testing::ValuesIn(kEdits),
                                            ::testing::Values(Busy::Playing, Busy::Recording)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Busy::Playing ? "WhilePlaying"
                                                                              : "WhileRecording");
                         });

// ----- borrowed clipboard data -------------------------------------------------------------------

class BorrowedSample : public EditFixture, public ::testing::WithParamInterface<BusyEdit> {};

TEST_P(BorrowedSample, EditsExactlyLikeASampleOfItsOwn) {
    const BusyEdit& edit = GetParam();
    CSampleBuffer borrowed;
    ASSERT_EQ(borrowed.ReadClipboard(nullptr), 1);
    CSampleBuffer own;
    ASSERT_EQ(own.CopyFrom(borrowed), 1);
    // The copy commits the format it takes; the two samples start alike.
    borrowed.CommitFormat();
    CContext ownContext{c.raw, c.wave, c.voice, c.sun, c.flac, CUndoHistory()};

    const int borrowedResult = edit.run(borrowed, c);
    EXPECT_EQ(borrowedResult, edit.run(own, ownContext));
    EXPECT_TRUE(CSampleState::Of(borrowed) == CSampleState::Of(own));
}

std::vector<BusyEdit> EditsWithoutPreparation() {
    std::vector<BusyEdit> edits;
    std::copy_if(std::begin(kEdits), std::end(kEdits), std::back_inserter(edits),
                 [](const BusyEdit& edit) { return !edit.prepare; });
    return edits;
}

INSTANTIATE_TEST_SUITE_P(Edits, BorrowedSample, ::testing::ValuesIn(EditsWithoutPreparation()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
