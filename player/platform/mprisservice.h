#pragma once
// The player on the desktop's session bus as an MPRIS 2 media player, so that media keys, panel
// applets and the like can drive it. Every request ends in the player's own command dispatcher
// (or, for seeking, in what the position slider does), so a bus call does what the button does;
// state is read from the session: its play controller, its option store and its volume.
//
// Requests are answered at once and carried out from the event loop, one after the other in the
// order they came: a command may open a message box, which must not hold the caller, and a
// request never starts while another is still running (a media key held down sends a burst).
// Property changes are announced with PropertiesChanged once per turn of the event loop, only the
// values that differ from those last announced; Position is never announced, a seek sends Seeked
// instead. No widgets here: the service is a peer of the windows on the player's session, and
// raising or closing the window is asked of the session.

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <deque>
#include <functional>

class TPlayController;
class TPlayerSession;

class TMprisService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* ServiceName = "org.mpris.MediaPlayer2.korvo";
    static constexpr const char* ObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* PlayerInterface = "org.mpris.MediaPlayer2.Player";
    static constexpr const char* TrackPathPrefix = "/org/audiosuite/Korvo/track/";
    static constexpr const char* NoTrackPath = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

    // The session must outlive the service.
    explicit TMprisService(TPlayerSession& session, QObject* parent = nullptr);
    ~TMprisService() override;

    // Registers on DBUS_SESSION_BUS_ADDRESS's bus; without one it only logs and returns false.
    bool RegisterOnSessionBus();
    // Claims ServiceName, or ServiceName.instance<pid> while another player holds it (one player
    // per settings folder allows several). False, with a log line, when neither can be had.
    bool Register(const QDBusConnection& bus);
    // The name held on the bus; empty when not registered.
    QString BusName() const { return FBusName; }

    // org.mpris.MediaPlayer2.Player, as the adaptors show it.
    QString PlaybackStatus() const;
    QString LoopStatus() const;
    bool Shuffle() const;
    double Volume() const;
    QVariantMap Metadata() const;
    // Microseconds into the current song; 0 while stopped.
    qint64 Position() const;
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const;

    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qint64 offsetUs);
    void SetPosition(const QDBusObjectPath& trackId, qint64 positionUs);
    void SetLoopStatus(const QString& status);
    void SetShuffle(bool on);
    void SetVolume(double volume);
    void Raise();
    void Quit();

public slots:
    // Something the player shows may have changed: announce what did at the next turn.
    void Refresh();

signals:
    void Seeked(qint64 positionUs);

private:
    // Runs a request from the event loop; the state it changed is announced after it.
    void Later(std::function<void()> request);
    void RunRequests();
    void Command(int id);
    bool Option(int id) const;
    void SetOption(int id, bool on);
    void SetRepeat(bool on);
    // The queue index Previous plays, -1 for none.
    int PreviousIndex() const;
    qint64 SongLengthUs() const;
    QDBusObjectPath TrackId() const;
    void SeekTo(qint64 positionUs);
    QVariantMap Snapshot() const;
    void Announce();

    TPlayerSession& FSession;
    TPlayController& FPlayer;
    QDBusConnection FBus;
    QString FBusName;
    QVariantMap FAnnounced;
    QTimer FAnnounce;
    std::deque<std::function<void()>> FRequests; // waiting for the event loop, oldest first
    bool FRunning = false;                       // a request is being carried out
};
