#pragma once
// The play controller: turns the album's play queue into sound on the CD drive and keeps the
// display in step. It owns the album, its two song lists (the hidden title list and the queue)
// and the controller state; it follows the drive once a second (timer 777) and through the
// drive's completion notifications, picks the next song by the order options, notices a disc
// being removed or inserted, loads and saves albums in the database and rearranges the queue.
//
// It never touches a widget: display fields go through TDisplayFields (keyed by control id),
// long operations through TStatusHint, questions and errors through the reporter, and the states
// of buttons, menu checks, the position bar, the caption and the minimised icon leave as signals.
// Options are read through a query by command id (the check marks of the Options menu).
//
// Invariants: stopped and paused are never both set; the position bar is enabled exactly while
// not stopped; the current song is a queue index or -1, and may point past the queue's end only
// when the database said so (then nothing is selected and every use of it reads nothing).

#include "core/album.h"
#include "core/albumdatabase.h"
#include "core/cdaudioservice.h"
#include "core/songlistmodel.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class MCIDevice;
class TDisplayFields;
class TStatusHint;
class TSaveFileAsker;

class TPlayController : public QObject {
    Q_OBJECT
public:
    static constexpr int TimerId = 777;
    static constexpr int TimerInterval = 1000; // ms
    static constexpr int BarMaximum = 10000;
    static constexpr int BarLineStep = 100;
    static constexpr int BarPageStep = 1000;
    static constexpr int MaxOpenAttempts = 5;
    static constexpr int StuckTickLimit = 10;
    static constexpr int ProgressThreshold = 925; // ms without more progress count as none

    // The database is the session's and must outlive the controller.
    TPlayController(MCIDevice& device, TAlbumDatabase& database, QObject* parent = nullptr);
    // A controller with a database of its own at `databasePath`.
    TPlayController(MCIDevice& device, QString databasePath, QObject* parent = nullptr);
    ~TPlayController() override;

    // The window's services; any may be null (then nothing is shown).
    void SetDisplay(TDisplayFields* display) { this->FDisplay = display; }
    void SetStatusHint(TStatusHint* hint) { this->FHint = hint; }
    void SetSaveFileAsker(TSaveFileAsker* asker) { this->FAsker = asker; }
    // Whether the Options item with this command id is checked.
    void SetOptionQuery(std::function<bool(int)> query) { FIsChecked = std::move(query); }

    // Set-up of the main window: the drive notifies this controller and titles its error boxes
    // "Korvo", the player starts stopped, and the 1-second timer starts.
    void SetUp();
    // Clean-up: the exit behaviour (stop, or leave the disc playing to its end), audio back on.
    void ShutDown();
    // The user logs off or the system shuts down.
    void SessionEnding();

    // Settings read at start-up.
    void SetCirculateIfStuck(bool on) { FCirculateIfStuck = on; }
    bool CirculateIfStuck() const { return FCirculateIfStuck; }
    // Lights LOOP and RANDOM as the option check marks say.
    void ShowOptionWords();
    // After an Options command has flipped its check mark.
    void OptionToggled(int commandId);

    // The settings file in use: the export may not replace it (nor the database).
    void SetSettingsPath(const QString& path) { FSettingsPath = path; }

    // Album (database)
    int LoadAlbum(bool isExplicit);
    // 0 when saved; -1 when no album is loaded or the database could not be written (then
    // SaveFailed() holds until a save succeeds or the album goes). Shows nothing.
    int SaveAlbum();
    // The Save command: saves and says so when the database could not be written.
    void SaveCommand();
    bool SaveFailed() const { return FSaveFailed; }
    // After an automatic save (Auto Save Album checked) that could not write the database: when
    // closing, asks whether to close anyway and returns the answer; otherwise reports it. True
    // when no automatic save failed.
    bool ConfirmAutoSave(bool closing);
    // Auto-saves when the option is on, then forgets the album, which stops play. When that save
    // fails the user is asked first, and No keeps the album and returns false; without mayCancel
    // (the disc has gone) the failure is only reported.
    bool CloseAlbum(bool mayCancel = true);
    void DeleteAlbum();
    void ExportDatabase();
    // The Open command: save first with Auto Save Album, then an explicit load; reports failure.
    void OpenCommand();

    // Queue
    void SortByOriginalOrder();
    void Shuffle();
    void RemoveSelected();
    void MoveSelected(bool up, bool toEnd);
    void HighlightCurrent();

    // Playing
    // fromMs: where in the song to begin.
    int PlaySelected(int fromMs = 0);
    int SelectAndPlay(int index);
    void NextSong();
    void SongEnded();
    void Stop();
    void PauseOrResume();
    void ToggleRepeat();
    void ToggleMute();
    int Seek(int barPosition);
    // The position bar's thumb being dragged: time follows, nothing seeks.
    void ThumbTrack(int barPosition);
    void FastWindStep(int direction); // -1 rewind, +1 forward
    void FastWindRelease();
    void Clear();
    void Tick();

    // State
    bool IsStopped() const { return FStopped; }
    bool IsPaused() const { return FPaused; }
    bool IsRepeat() const { return FRepeat; }
    bool IsMuted() const { return FMuted; }
    bool IsTracking() const { return FTracking; }
    int CurrentSong() const { return FCurrentSong; }
    int SongLength() const { return FSongLength; }
    int PausePosition() const { return FPausePosition; }
    int PendingPosition() const { return FPendingPosition; }
    int OpenAttempts() const { return FOpenAttempts; }
    int BarPosition() const { return FBarPosition; }
    bool BarEnabled() const { return FBarEnabled; }
    int Progress() const { return FProgress; }
    // Timer 777; the window never needs it, tests stop it to drive the ticks themselves.
    QTimer& Timer() { return FTimer; }

    TCDAlbum& Album() { return FAlbum; }
    const TCDAlbum& Album() const { return FAlbum; }
    TSongListModel& Queue() { return FQueue; }
    TSongListModel& Titles() { return FTitles; }
    TAlbumDatabase& Database() { return FDatabase; }
    MCIDevice& Device() { return FDevice; }

    // A dialog retitled the album or the current song: the caption, the status fields and the
    // desktop's media controls follow.
    void TitlesEdited() { emit captionChanged(); }

    // The title and track number of the current song (empty and 0 when there is none).
    QString CurrentTitle() const { return FQueue.Title(FCurrentSong); }
    int CurrentTrack() const { return FQueue.TrackNumber(FCurrentSong); }

    // The time shown for a position in the current song: elapsed or remaining whole seconds.
    int ShownSeconds(int positionMs) const;

signals:
    void playPressedChanged(bool pressed);
    void pauseChanged(bool paused);
    void pauseEnabledChanged(bool enabled);
    void repeatChanged(bool on);
    void muteChanged(bool on);
    void positionBarChanged(int position);
    void positionBarEnabledChanged(bool enabled);
    void progressChanged(int percent);
    // The album title or the current song changed: the caption and status fields follow.
    void captionChanged();

private:
    TPlayController(MCIDevice& device, std::unique_ptr<TAlbumDatabase>&& own, QObject* parent);
    QString SaveFailureText() const;
    void OnNotify(TCDCompletion kind);
    int PlayRange(int from, int to);
    int PlaySong(int track, int fromMs);
    int TakeOverPlayOut();
    void SetStopped(bool on);
    void SetPaused(bool on);
    void SetBarPosition(int position);
    void SetBarEnabled(bool on);
    void SetProgress(int percent);
    void SetField(int id, const QString& text);
    void ShowTime(int positionMs);
    int BarToSongPosition(int barPosition) const;
    bool Option(int commandId) const { return FIsChecked && FIsChecked(commandId); }
    bool DiscReady();
    template <typename Less> void Reorder(const QString& hintText, Less less);

    MCIDevice& FDevice;
    TCDAlbum FAlbum;
    TSongListModel FTitles;
    TSongListModel FQueue;
    std::unique_ptr<TAlbumDatabase> FOwnDatabase;
    TAlbumDatabase& FDatabase;
    TDisplayFields* FDisplay = nullptr;
    TStatusHint* FHint = nullptr;
    TSaveFileAsker* FAsker = nullptr;
    std::function<bool(int)> FIsChecked;
    QTimer FTimer;

    bool FStopped = true;
    bool FPaused = false;
    bool FRepeat = false;
    bool FMuted = false;
    bool FTracking = false;
    bool FCirculateIfStuck = true;
    int FCurrentSong = -1;
    int FSongLength = 0;
    int FPausePosition = 0;

    bool FFirstTickDone = false;
    bool FDiscWasReady = false;
    int FOpenAttempts = 0;
    int FLastShownPosition = 0;
    int FPreviousPosition = 0;
    int FStuckTicks = 0;
    bool FBusy = false;
    bool FLoading = false;
    bool FPlayOutWaiting = false;
    bool FSaveFailed = false;
    QString FSettingsPath;

    int FPendingPosition = -1;
    int FBarPosition = 0;
    bool FBarEnabled = false;
    int FProgress = 0;
};
