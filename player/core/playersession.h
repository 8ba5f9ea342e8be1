#pragma once
// TPlayerSession: the objects the player is made of, owned outside its windows - the main menu
// and its option store, the settings profile and the settings, the drive, the album database,
// the play controller and the volume. main() makes one; the frame, the main window and the
// desktop's media controls bind to it as peers, and it outlives them all.
//
// It is also the dispatcher of the commands that act on the player rather than on a window:
// Command() carries out play, pause, stop, eject, the queue edits, the album commands and the
// options, and returns false for ids that only a window can carry out (views, bars, dialogs,
// help). Menu items and accelerators arrive here first; what is left over goes out as
// windowCommand. Raising the window and quitting are asked of the window by signal. No widgets.

#include "core/albumdatabase.h"
#include "core/cdaudioservice.h"
#include "core/commandids.h"
#include "core/mainmenu.h"
#include "core/mcidevice.h"
#include "core/optionstore.h"
#include "core/playcontroller.h"
#include "core/profile.h"
#include "core/settings.h"
#include "core/volumemodel.h"

#include <QObject>

#include <functional>
#include <memory>

class TApp;
class TAuxOutput;

class TPlayerSession : public QObject {
    Q_OBJECT

public:
    // Korvo.ini and cdalb.idb in the application's data directory; `drive` is the CD-audio
    // service the player plays; `volumeDevices` must outlive the session.
    TPlayerSession(const TApp& app, std::unique_ptr<TCDAudioService> drive,
                   TAuxOutput& volumeDevices, QObject* parent = nullptr);
    ~TPlayerSession() override;

    TMainMenu& Menu() { return FMenu; }
    TOptionStore& Options() { return FOptions; }
    const TOptionStore& Options() const { return FOptions; }
    TProfile& Profile() { return FProfile; }
    TSettings& Settings() { return FSettings; }
    MCIDevice& Device() { return FDevice; }
    TAlbumDatabase& Database() { return FDatabase; }
    TPlayController& Controller() { return FController; }
    const TPlayController& Controller() const { return FController; }
    TVolumeModel& Volume() { return FVolume; }

    // Set-up and clean-up of the play controller, in the order the window's life gives them.
    void SetUp();
    void ShutDown();

    // Carries out a command on the player; false when the id is one for a window. `held` are
    // the keyboard modifiers held with it (Shift and Ctrl choose between Eject and Retract,
    // Shift moves queue rows to the end).
    bool Command(int id, Qt::KeyboardModifiers held = Qt::NoModifier);
    // A command as its menu item sends it: an option's check mark flips first. Ids without an
    // item go to Command(), and on to the window when it is not the player's.
    void Trigger(int id);
    // Where the modifiers held with a menu item or accelerator are read; none without it.
    void SetHeldModifiers(std::function<Qt::KeyboardModifiers()> held) { FHeld = std::move(held); }

    // The window is closing: the exit save (everything when keepOpen, as with Shift held), then
    // whether the window may go - not when it stays open, nor when the user keeps an album the
    // automatic save could not write.
    bool MayClose(bool keepOpen);
    // The user logs off or the system shuts down: save as at exit, unforced, and stop playing.
    void SessionEnding();
    void Raise() { emit raiseRequested(); }
    void Quit() { Command(CmExit); }

    // The elements the custom view shows, and storing them as the custom view.
    QList<int> CustomView() const;
    void SaveCustomView(const QList<int>& elements);

    // The window's caption shown normally or minimised: the album title ("Korvo" without one);
    // minimised also the current song and its track number.
    QString Caption(bool minimised) const;

    // Plays another drive: the album closes (false when the user keeps it because its automatic
    // save failed; the drive then stays), the drive is replaced and its disc loads. `image` is
    // the disc image the new drive plays, empty for the real drive.
    bool ChangeDrive(std::unique_ptr<TCDAudioService> drive, const QString& image);
    // The disc image chosen in place of the drive, empty while the drive plays.
    const QString& Image() const { return FImage; }
    // A copy reads the physical drive: play stops, and neither play nor the tray nor the
    // controller's polling touch the drive until the copy ends: it serves one reader at a time.
    void SetDriveBusy(bool busy);
    bool DriveBusy() const { return FDriveBusy; }

signals:
    // A command only a window carries out.
    void windowCommand(int id);
    void raiseRequested();
    // Exit: the window closes, which asks MayClose().
    void quitRequested();

private:
    void EjectRetract();

    TMainMenu FMenu;
    TOptionStore FOptions;
    TProfile FProfile;
    TSettings FSettings;
    MCIDevice FDevice;
    TAlbumDatabase FDatabase;
    TPlayController FController;
    TVolumeModel FVolume;
    std::function<Qt::KeyboardModifiers()> FHeld;
    QString FImage;
    bool FDriveBusy = false;
    bool FTickWaiting = false;
};
