#pragma once
// What the window shows of the player's state: the play button held down, Pause checked and
// enabled, Repeat and Mute checked, and whether a disc's album is loaded (Rip enabled). Menu items,
// the system menu's items and the buttons all bind to this one object instead of each copying the
// controller's state by hand; it follows the controller and tells only of real changes.

#include <QObject>

#include <array>
#include <functional>
#include <optional>

class TPlayController;

class TPlayerState : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool playing READ IsPlaying NOTIFY playingChanged)
    Q_PROPERTY(bool paused READ IsPaused NOTIFY pausedChanged)
    Q_PROPERTY(bool pauseEnabled READ IsPauseEnabled NOTIFY pauseEnabledChanged)
    Q_PROPERTY(bool repeat READ IsRepeat NOTIFY repeatChanged)
    Q_PROPERTY(bool muted READ IsMuted NOTIFY mutedChanged)
    Q_PROPERTY(bool discLoaded READ IsDiscLoaded NOTIFY discLoadedChanged)

public:
    enum Flag { Playing, Paused, PauseEnabled, Repeat, Muted, DiscLoaded };
    Q_ENUM(Flag)

    explicit TPlayerState(TPlayController& player, QObject* parent = nullptr);

    bool Get(Flag flag) const { return FFlags[flag]; }
    bool IsPlaying() const { return Get(Playing); }
    bool IsPaused() const { return Get(Paused); }
    bool IsPauseEnabled() const { return Get(PauseEnabled); }
    bool IsRepeat() const { return Get(Repeat); }
    bool IsMuted() const { return Get(Muted); }
    // An album of a disc with tracks to play (and to copy) is loaded.
    bool IsDiscLoaded() const { return Get(DiscLoaded); }

    // The flag a command's check mark shows: Pause, Repeat and Mute have one.
    static std::optional<Flag> CheckedBy(int commandId);
    // Calls `apply` with the flag's value now and at every change, for as long as `receiver`
    // lives.
    void Bind(Flag flag, QObject* receiver, std::function<void(bool)> apply) const;

signals:
    void changed(TPlayerState::Flag flag, bool on);
    void playingChanged(bool on);
    void pausedChanged(bool on);
    void pauseEnabledChanged(bool on);
    void repeatChanged(bool on);
    void mutedChanged(bool on);
    void discLoadedChanged(bool on);

private:
    void Set(Flag flag, bool on);

    std::array<bool, DiscLoaded + 1> FFlags{};
};
