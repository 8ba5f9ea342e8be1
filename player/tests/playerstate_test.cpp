// The window's state object on a device-free controller: it follows the transport and tells only
// of real changes, and items bound to it show the state whatever the user clicks.

#include "controllerfixture.h"

#include "core/commandids.h"
#include "core/playerstate.h"
#include "ui/buttongadget.h"
#include "ui/statebinding.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>

namespace {

class PlayerStateTest : public ControllerFixture {};

TEST_F(PlayerStateTest, FollowsTheControllerAndReportsOnlyChanges) {
    Load();
    TPlayerState state(*controller);
    QSignalSpy changes(&state, &TPlayerState::changed);
    QSignalSpy paused(&state, &TPlayerState::pausedChanged);
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    EXPECT_TRUE(state.IsPlaying());
    EXPECT_TRUE(state.IsPauseEnabled());
    controller->PauseOrResume();
    controller->ToggleRepeat();
    controller->ToggleMute();
    EXPECT_TRUE(state.IsPaused() && state.IsRepeat() && state.IsMuted());
    EXPECT_EQ(state.property("paused").toBool(), true);
    controller->Stop();
    EXPECT_FALSE(state.IsPlaying() || state.IsPaused() || state.IsPauseEnabled());
    // Playing, enabled, paused, repeat, mute, then stopped: not playing, not paused, disabled.
    EXPECT_EQ(changes.count(), 8);
    EXPECT_EQ(paused.count(), 2);
    controller->Stop();
    EXPECT_EQ(changes.count(), 8) << "stopping again changes nothing";
}

TEST_F(PlayerStateTest, ABoundItemShowsTheStateEvenWhenItsCommandChangesNothing) {
    Load();
    TPlayerState state(*controller);
    QAction pause;
    pause.setCheckable(true);
    BindChecked(state, TPlayerState::Paused, &pause);
    BindEnabled(state, TPlayerState::PauseEnabled, &pause);
    EXPECT_FALSE(pause.isEnabled());
    QObject::connect(&pause, &QAction::triggered, [&] { controller->PauseOrResume(); });
    pause.setEnabled(true);
    pause.trigger(); // stopped: Pause does nothing, the mark must not flip
    EXPECT_FALSE(pause.isChecked());
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    EXPECT_TRUE(pause.isEnabled());
    pause.trigger();
    EXPECT_TRUE(controller->IsPaused());
    EXPECT_TRUE(pause.isChecked());
    EXPECT_EQ(TPlayerState::CheckedBy(CmMute), TPlayerState::Muted);
    EXPECT_FALSE(TPlayerState::CheckedBy(CmPlay).has_value());
}

// The Play button looks pressed while the drive plays or pauses, also after a click on it while
// playing (the click lets Qt's own down state up, and the state does not change).
TEST_F(PlayerStateTest, PlayButtonLooksPressedWhileNotStopped) {
    Load();
    TPlayerState state(*controller);
    TNormalButtonGadget play(nullptr, CmPlay, CmPlayButton, TButtonGadget::Command);
    BindLatched(state, TPlayerState::Playing, &play);
    QObject::connect(&play, &TButtonGadget::commandPosted, [&] { controller->PlaySelected(); });
    play.show();
    EXPECT_FALSE(play.LooksPressed());
    const QPoint off(-20, -20);
    struct Step {
        const char* what;
        std::function<void()> act;
        bool pressed;
    };
    const Step steps[] = {
        {"click while stopped", [&] { QTest::mouseClick(&play, Qt::LeftButton); }, true},
        {"click while playing", [&] { QTest::mouseClick(&play, Qt::LeftButton); }, true},
        {"press, then release off the button",
         [&] {
             QTest::mousePress(&play, Qt::LeftButton);
             QTest::mouseRelease(&play, Qt::LeftButton, Qt::NoModifier, off);
         },
         true},
        {"pause", [&] { controller->PauseOrResume(); }, true},
        {"stop", [&] { controller->Stop(); }, false},
        {"press and release off while stopped",
         [&] {
             QTest::mousePress(&play, Qt::LeftButton);
             QTest::mouseRelease(&play, Qt::LeftButton, Qt::NoModifier, off);
         },
         false},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(play.LooksPressed(), step.pressed) << step.what;
        EXPECT_EQ(play.LooksPressed(), !controller->IsStopped()) << step.what;
    }
}

} // namespace
