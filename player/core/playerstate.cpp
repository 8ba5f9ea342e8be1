#include "core/playerstate.h"

#include "core/commandids.h"
#include "core/playcontroller.h"

namespace {
bool HasDisc(const TPlayController& player) {
    return player.Album().IsLoaded() && player.Album().NumberOfTracks() > 0;
}
} // namespace

TPlayerState::TPlayerState(TPlayController& player, QObject* parent) : QObject(parent) {
    FFlags = {!player.IsStopped(), player.IsPaused(), !player.IsStopped(),
              player.IsRepeat(),   player.IsMuted(),  HasDisc(player)};
    connect(&player, &TPlayController::playPressedChanged, this,
            [this](bool on) { Set(Playing, on); });
    connect(&player, &TPlayController::pauseChanged, this, [this](bool on) { Set(Paused, on); });
    connect(&player, &TPlayController::pauseEnabledChanged, this,
            [this](bool on) { Set(PauseEnabled, on); });
    connect(&player, &TPlayController::repeatChanged, this, [this](bool on) { Set(Repeat, on); });
    connect(&player, &TPlayController::muteChanged, this, [this](bool on) { Set(Muted, on); });
    // Loading and closing an album both retitle the window.
    connect(&player, &TPlayController::captionChanged, this,
            [this, &player] { Set(DiscLoaded, HasDisc(player)); });
}

std::optional<TPlayerState::Flag> TPlayerState::CheckedBy(int commandId) {
    switch (commandId) {
    case CmPause:
        return Paused;
    case CmRepeat:
        return Repeat;
    case CmMute:
        return Muted;
    default:
        return std::nullopt;
    }
}

void TPlayerState::Bind(Flag flag, QObject* receiver, std::function<void(bool)> apply) const {
    apply(Get(flag));
    connect(this, &TPlayerState::changed, receiver,
            [flag, apply = std::move(apply)](Flag which, bool on) {
                if (which == flag)
                    apply(on);
            });
}

void TPlayerState::Set(Flag flag, bool on) {
    if (FFlags[flag] == on)
        return;
    FFlags[flag] = on;
    emit changed(flag, on);
    switch (flag) {
    case Playing:
        emit playingChanged(on);
        break;
    case Paused:
        emit pausedChanged(on);
        break;
    case PauseEnabled:
        emit pauseEnabledChanged(on);
        break;
    case Repeat:
        emit repeatChanged(on);
        break;
    case Muted:
        emit mutedChanged(on);
        break;
    case DiscLoaded:
        emit discLoadedChanged(on);
        break;
    }
}
