// The window's state object on a device-free controller: it follows the transport and tells only
// of real changes, and items bound to it show the state whatever the user clicks.

#include "controllerfixture.h"

#include "core/commandids.h"
#include "core/playerstate.h"
#include "ui/statebinding.h"

#include <QAction>
#include <QSignalSpy>

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

} // namespace
