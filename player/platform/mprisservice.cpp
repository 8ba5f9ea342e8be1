#include "platform/mprisservice.h"

#include "core/commandids.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "core/playersession.h"
#include "platform/mprisplayeradaptor.h"
#include "platform/mprisrootadaptor.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLoggingCategory>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <limits>

Q_LOGGING_CATEGORY(lcMpris, "korvo.mpris")

namespace {
qint64 SaturatedSum(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}
} // namespace

TMprisService::TMprisService(TPlayerSession& session, QObject* parent)
    : QObject(parent), FSession(session), FPlayer(session.Controller()), FBus(QString()) {
    TPlayController& player = FPlayer;
    new TMprisRootAdaptor(this);
    new TMprisPlayerAdaptor(this);
    FAnnounce.setSingleShot(true);
    FAnnounce.setInterval(0);
    connect(&FAnnounce, &QTimer::timeout, this, &TMprisService::Announce);
    for (auto changed : {&TPlayController::playPressedChanged, &TPlayController::pauseChanged,
                         &TPlayController::repeatChanged, &TPlayController::pauseEnabledChanged,
                         &TPlayController::positionBarEnabledChanged})
        connect(&player, changed, this, &TMprisService::Refresh);
    connect(&player, &TPlayController::captionChanged, this, &TMprisService::Refresh);
    connect(&player.Queue(), &TSongListModel::countChanged, this, &TMprisService::Refresh);
    for (int option : {CmContinuousLoop, CmRandomOrder})
        connect(session.Menu().Action(option), &QAction::toggled, this, &TMprisService::Refresh);
    connect(&session.Volume(), &TVolumeModel::levelChanged, this, &TMprisService::Refresh);
}

TMprisService::~TMprisService() {
    if (FBusName.isEmpty())
        return;
    FBus.unregisterService(FBusName);
    FBus.unregisterObject(QString::fromLatin1(ObjectPath));
}

bool TMprisService::RegisterOnSessionBus() {
    // Without an address libdbus would try to launch a bus of its own.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        qCInfo(lcMpris) << "no session bus: media controls are off";
        return false;
    }
    return Register(QDBusConnection::sessionBus());
}

bool TMprisService::Register(const QDBusConnection& bus) {
    if (!bus.isConnected()) {
        qCInfo(lcMpris) << "no session bus:" << bus.lastError().message();
        return false;
    }
    FBus = bus;
    if (!FBus.registerObject(QString::fromLatin1(ObjectPath), this,
                             QDBusConnection::ExportAdaptors)) {
        qCInfo(lcMpris) << "cannot register" << ObjectPath << FBus.lastError().message();
        return false;
    }
    const QString name = QString::fromLatin1(ServiceName);
    for (const QString& candidate :
         {name, name + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid())}) {
        if (FBus.registerService(candidate)) {
            FBusName = candidate;
            FAnnounced = Snapshot();
            qCInfo(lcMpris) << "media controls on the session bus as" << candidate;
            return true;
        }
    }
    qCInfo(lcMpris) << "cannot own" << name << FBus.lastError().message();
    FBus.unregisterObject(QString::fromLatin1(ObjectPath));
    return false;
}

// ----- state

QString TMprisService::PlaybackStatus() const {
    if (FPlayer.IsStopped())
        return QStringLiteral("Stopped");
    return FPlayer.IsPaused() ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QString TMprisService::LoopStatus() const {
    if (FPlayer.IsRepeat())
        return QStringLiteral("Track");
    return Option(CmContinuousLoop) ? QStringLiteral("Playlist") : QStringLiteral("None");
}

bool TMprisService::Shuffle() const {
    return Option(CmRandomOrder);
}

double TMprisService::Volume() const {
    return double(FSession.Volume().Level()) / TVolumeModel::Range;
}

QDBusObjectPath TMprisService::TrackId() const {
    const int track = FPlayer.CurrentTrack();
    return QDBusObjectPath(track > 0 ? QString::fromLatin1(TrackPathPrefix) + QString::number(track)
                                     : QString::fromLatin1(NoTrackPath));
}

qint64 TMprisService::SongLengthUs() const {
    const int track = FPlayer.CurrentTrack();
    return track > 0 ? qint64(FPlayer.Album().TrackLength(track)) * 1000 : 0;
}

QVariantMap TMprisService::Metadata() const {
    QVariantMap metadata{{QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId())}};
    const int track = FPlayer.CurrentTrack();
    if (track <= 0)
        return metadata;
    metadata.insert(QStringLiteral("mpris:length"), SongLengthUs());
    metadata.insert(QStringLiteral("xesam:trackNumber"), track);
    metadata.insert(QStringLiteral("xesam:title"), FPlayer.CurrentTitle());
    metadata.insert(QStringLiteral("xesam:album"), FPlayer.Album().Title());
    return metadata;
}

qint64 TMprisService::Position() const {
    const int track = FPlayer.CurrentTrack();
    MCIDevice& device = FPlayer.Device();
    if (FPlayer.IsStopped() || track <= 0 || !device.IsOpen())
        return 0;
    // The drive counts from the start of the disc; a pause keeps where it stopped.
    const qint64 at = FPlayer.IsPaused()
                          ? FPlayer.PausePosition()
                          : qint64(device.Status(Mci::kStatusItem, Mci::kStatusPosition));
    return std::clamp<qint64>(at - FPlayer.Album().TrackStart(track), 0, SongLengthUs() / 1000) *
           1000;
}

bool TMprisService::CanGoNext() const {
    return FPlayer.Queue().Count() > 0;
}

int TMprisService::PreviousIndex() const {
    const int count = FPlayer.Queue().Count();
    const qint64 previous = qint64(FPlayer.CurrentSong()) - 1;
    if (previous >= 0 && previous < count)
        return int(previous);
    return count > 0 && previous == -1 && Option(CmContinuousLoop) ? count - 1 : -1;
}

bool TMprisService::CanGoPrevious() const {
    return PreviousIndex() >= 0;
}

bool TMprisService::CanPlay() const {
    return FPlayer.Queue().Count() > 0;
}

bool TMprisService::CanPause() const {
    return !FPlayer.IsStopped();
}

bool TMprisService::CanSeek() const {
    return FPlayer.BarEnabled() && SongLengthUs() > 0;
}

// ----- requests

void TMprisService::Later(std::function<void()> request) {
    FRequests.push_back(std::move(request));
    QTimer::singleShot(0, this, &TMprisService::RunRequests);
}

// One request at a time, in the order they came: a request that spins an event loop (a message
// box) holds the rest back until it returns, so none runs halfway through another.
void TMprisService::RunRequests() {
    if (FRunning)
        return;
    const QPointer<TMprisService> alive(this); // Quit may end the service
    FRunning = true;
    while (!FRequests.empty()) {
        const std::function<void()> request = std::move(FRequests.front());
        FRequests.pop_front();
        request();
        if (!alive)
            return;
        Refresh();
    }
    FRunning = false;
}

void TMprisService::Command(int id) {
    // As its menu item sends it, so that an option's check mark flips as on a click.
    FSession.Trigger(id);
}

bool TMprisService::Option(int id) const {
    return FSession.Options().IsChecked(id);
}

void TMprisService::SetOption(int id, bool on) {
    if (Option(id) != on)
        Command(id);
}

void TMprisService::SetRepeat(bool on) {
    if (FPlayer.IsRepeat() != on)
        Command(CmRepeat);
}

void TMprisService::Play() {
    Later([this] {
        if (FPlayer.IsStopped())
            Command(CmPlay);
        else if (FPlayer.IsPaused())
            Command(CmPause);
    });
}

void TMprisService::Pause() {
    Later([this] {
        if (!FPlayer.IsStopped() && !FPlayer.IsPaused())
            Command(CmPause);
    });
}

void TMprisService::PlayPause() {
    Later([this] { Command(FPlayer.IsStopped() ? CmPlay : CmPause); });
}

void TMprisService::Stop() {
    Later([this] { Command(CmStop); });
}

void TMprisService::Next() {
    Later([this] { Command(CmCirculate); });
}

void TMprisService::Previous() {
    // There is no button for it: the song before is chosen in the queue and played.
    Later([this] {
        const int index = PreviousIndex();
        if (index >= 0 && FPlayer.Queue().Select(index))
            Command(CmPlay);
    });
}

void TMprisService::SeekTo(qint64 positionUs) {
    const qint64 length = SongLengthUs();
    if (!CanSeek())
        return;
    const qint64 bar =
        (std::clamp<qint64>(positionUs, 0, length) * TPlayController::BarMaximum + length / 2) /
        length;
    // What a finished movement of the position slider does.
    FPlayer.Seek(int(bar));
    emit Seeked(Position());
}

void TMprisService::Seek(qint64 offsetUs) {
    Later([this, offsetUs] {
        // A bus may send any offset: the sum stops at the ends of the range instead of wrapping.
        const qint64 target = SaturatedSum(Position(), offsetUs);
        if (CanSeek() && target > SongLengthUs())
            Command(CmCirculate);
        else
            SeekTo(target);
    });
}

void TMprisService::SetPosition(const QDBusObjectPath& trackId, qint64 positionUs) {
    Later([this, trackId, positionUs] {
        // A request for a song no longer playing, or beyond its end, is ignored.
        if (trackId == TrackId() && positionUs >= 0 && positionUs <= SongLengthUs())
            SeekTo(positionUs);
    });
}

void TMprisService::SetLoopStatus(const QString& status) {
    if (status != QLatin1String("None") && status != QLatin1String("Track") &&
        status != QLatin1String("Playlist"))
        return;
    // Repeat wins over Continuous Loop, which is left alone while a song repeats.
    Later([this, status] {
        SetRepeat(status == QLatin1String("Track"));
        if (status != QLatin1String("Track"))
            SetOption(CmContinuousLoop, status == QLatin1String("Playlist"));
    });
}

void TMprisService::SetShuffle(bool on) {
    Later([this, on] { SetOption(CmRandomOrder, on); });
}

void TMprisService::SetVolume(double volume) {
    if (std::isnan(volume))
        return; // no level at all; infinities are clamped as any other level out of range
    Later([this, volume] {
        FSession.Volume().SetLevel(qRound(std::clamp(volume, 0.0, 1.0) * TVolumeModel::Range));
    });
}

void TMprisService::Raise() {
    Later([this] { FSession.Raise(); });
}

void TMprisService::Quit() {
    Later([this] { FSession.Quit(); });
}

// ----- announcements

void TMprisService::Refresh() {
    if (!FBusName.isEmpty())
        FAnnounce.start();
}

QVariantMap TMprisService::Snapshot() const {
    return {{QStringLiteral("PlaybackStatus"), PlaybackStatus()},
            {QStringLiteral("LoopStatus"), LoopStatus()},
            {QStringLiteral("Shuffle"), Shuffle()},
            {QStringLiteral("Volume"), Volume()},
            {QStringLiteral("Metadata"), Metadata()},
            {QStringLiteral("CanGoNext"), CanGoNext()},
            {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
            {QStringLiteral("CanPlay"), CanPlay()},
            {QStringLiteral("CanPause"), CanPause()},
            {QStringLiteral("CanSeek"), CanSeek()}};
}

void TMprisService::Announce() {
    const QVariantMap now = Snapshot();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (FAnnounced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    FAnnounced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(ObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(PlayerInterface) << changed << QStringList();
    FBus.send(signal);
}
