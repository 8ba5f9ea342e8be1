#include "core/playersession.h"

#include "core/app.h"
#include "core/framegeometry.h"

#include <QAction>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSession, "korvo.session")

namespace {

const QString SettingsSection = QStringLiteral("Settings");

// The commands that would read the drive or move its tray while a copy reads it.
bool DriveReaderCommand(int id) {
    switch (id) {
    case CmPlay:
    case CmPlayButton:
    case CmCirculate:
    case CmFastRewindStep:
    case CmFastForwardStep:
    case CmEject:
    case CmRetract:
    case CmEjectRetract:
        return true;
    default:
        return false;
    }
}
const QString CustomViewKey = QStringLiteral("CustomView");
// The custom view is read into a buffer of this many characters, terminator included.
constexpr int CustomViewBuffer = 1023;

} // namespace

TPlayerSession::TPlayerSession(const TApp& app, std::unique_ptr<TCDAudioService> drive,
                               TAuxOutput& volumeDevices, QObject* parent)
    : QObject(parent), FOptions(FMenu.Popup(TMainMenu::Options)), FProfile(app.SettingsPath()),
      FSettings(FProfile, FOptions), FDevice(QStringLiteral("cdaudio"), std::move(drive)),
      FDatabase(app.DatabasePath()), FController(FDevice, FDatabase), FVolume(volumeDevices) {
    FController.SetSettingsPath(app.SettingsPath());
    FController.SetOptionQuery([this](int id) { return FOptions.IsChecked(id); });
    connect(&FController, &TPlayController::muteChanged, &FVolume, &TVolumeModel::SetMuted);
    connect(&FMenu, &TMainMenu::command, this, [this](int id) {
        if (!Command(id, FHeld ? FHeld() : Qt::NoModifier))
            emit windowCommand(id);
    });
}

TPlayerSession::~TPlayerSession() = default;

void TPlayerSession::SetUp() {
    FController.SetUp();
}

void TPlayerSession::ShutDown() {
    FController.ShutDown();
}

void TPlayerSession::Trigger(int id) {
    if (QAction* item = FMenu.Action(id))
        item->trigger();
    else if (!Command(id))
        emit windowCommand(id);
}

bool TPlayerSession::Command(int id, Qt::KeyboardModifiers held) {
    TPlayController& player = FController;
    qCDebug(lcSession) << "command" << id;
    if (FDriveBusy && DriveReaderCommand(id))
        return true;
    switch (id) {
    case CmAlbumOpen:
        player.OpenCommand();
        break;
    case CmAlbumSave:
        player.SaveCommand();
        break;
    case CmAlbumClose:
        // Closing stops play; a failed auto-save may keep the album and its play.
        player.CloseAlbum();
        break;
    case CmAlbumDelete:
        player.DeleteAlbum();
        break;
    case CmAlbumSort:
        player.SortByOriginalOrder();
        break;
    case CmAlbumShuffle:
        player.Shuffle();
        break;
    case CmDatabaseExport:
        player.ExportDatabase();
        break;
    case CmEject:
        player.Stop();
        FDevice.Set(Mci::kSetDoorOpen);
        break;
    case CmRetract:
        FDevice.Set(Mci::kSetDoorClosed);
        break;
    case CmEjectRetract:
        if (held & Qt::ShiftModifier)
            Command(CmEject);
        else if (held & Qt::ControlModifier)
            Command(CmRetract);
        else
            EjectRetract();
        break;
    case CmExit:
        emit quitRequested();
        break;
    case CmPlay:
    case CmPlayButton:
        player.PlaySelected();
        break;
    case CmStop:
        player.Stop();
        break;
    case CmPause:
        player.PauseOrResume();
        break;
    case CmRepeat:
        player.ToggleRepeat();
        break;
    case CmCirculate:
        player.NextSong();
        break;
    case CmMute:
        player.ToggleMute();
        break;
    case CmSongRemove:
        player.RemoveSelected();
        break;
    case CmMoveUp:
    case CmMoveDown:
        player.MoveSelected(id == CmMoveUp, held & Qt::ShiftModifier);
        break;
    case CmHighlightCurrent:
        player.HighlightCurrent();
        break;
    case CmFastRewindStep:
        player.FastWindStep(-1);
        break;
    case CmFastForwardStep:
        player.FastWindStep(+1);
        break;
    case CmFastRewindEnd:
    case CmFastForwardEnd:
        player.FastWindRelease();
        break;
    case CmContinuousLoop:
    case CmRandomOrder:
    case CmElapsedTime:
    case CmAutoPlay:
    case CmStopPlayOnExit:
    case CmAutoSaveAlbum:
    case CmIgnoreOneTrackCds:
    case CmSaveSettingsOnExit:
        player.OptionToggled(id);
        break;
    case CmSaveSettingsNow:
        FSettings.SaveSettingsNow();
        player.ConfirmAutoSave(false);
        break;
    default:
        return false;
    }
    return true;
}

void TPlayerSession::EjectRetract() {
    FController.Stop();
    if (FDevice.Set(Mci::kSetDoorOpen) != 0)
        FDevice.Set(Mci::kSetDoorClosed);
}

bool TPlayerSession::MayClose(bool keepOpen) {
    FSettings.ExitSave(keepOpen);
    // An album the exit save could not write is lost unless the user stays.
    const bool mayLeave = FController.ConfirmAutoSave(!keepOpen);
    return !keepOpen && mayLeave;
}

void TPlayerSession::SessionEnding() {
    FSettings.SessionEnding();
}

QList<int> TPlayerSession::CustomView() const {
    QString text;
    FProfile.ReadString(SettingsSection, CustomViewKey,
                        TFrameGeometry::FormatView(TFrameGeometry::Elements()), text,
                        CustomViewBuffer);
    return TFrameGeometry::ParseView(text);
}

void TPlayerSession::SaveCustomView(const QList<int>& elements) {
    FProfile.WriteString(SettingsSection, CustomViewKey, TFrameGeometry::FormatView(elements));
}

bool TPlayerSession::ChangeDrive(std::unique_ptr<TCDAudioService> drive, const QString& image) {
    if (FController.Album().IsLoaded() && !FController.CloseAlbum(true))
        return false;
    FController.Stop();
    FDevice.ReplaceService(std::move(drive));
    FImage = image;
    qCInfo(lcSession) << "drive changed to"
                      << (image.isEmpty() ? QStringLiteral("the drive") : image);
    // Before the controller is set up (it then receives the drive's notifications) its first
    // tick loads the disc.
    if (FDevice.NotifyWindow())
        FController.LoadAlbum(false);
    return true;
}

void TPlayerSession::SetDriveBusy(bool busy) {
    if (busy == FDriveBusy)
        return;
    FDriveBusy = busy;
    // The controller's tick asks the drive for its disc every second; it waits for the copy.
    if (busy) {
        FController.Stop();
        FTickWaiting = FController.Timer().isActive();
        FController.Timer().stop();
    } else if (FTickWaiting) {
        FTickWaiting = false;
        FController.Timer().start();
    }
}

QString TPlayerSession::Caption(bool minimised) const {
    const QString album = FController.Album().Title();
    if (!minimised)
        return album.isEmpty() ? TApp::Name() : album;
    const int track = FController.CurrentSong() >= 0 ? FController.CurrentTrack() : 0;
    if (track != 0) {
        const QString song = FController.CurrentTitle();
        const QString text = album.isEmpty() ? song : album + QStringLiteral(" - ") + song;
        return QStringLiteral("%1 (%2)").arg(text).arg(track);
    }
    return album.isEmpty() ? TApp::Name() : album;
}
