#pragma once
// The windows commands open over the frame: the album, song and database dialogs, the About box,
// the volume device dialog, the help viewer, and the windows of copying a disc and of choosing a
// disc image. The dialogs are modal and gone when closed; the
// help viewer stays open beside the player until the player goes.

#include <QObject>

class QWidget;
class THelpViewer;
class TPlayerSession;
class TPlayerState;
class TQueueList;
class TRipWindows;
class TStatusHint;
class TVolumeControl;

class TCommandDialogs : public QObject {
    Q_OBJECT
public:
    // The dialogs open over `frame`; the queue lends them its font. All must outlive this.
    TCommandDialogs(QWidget* frame, TPlayerSession& session, TQueueList& queue,
                    TVolumeControl& volume, TStatusHint* hint);
    ~TCommandDialogs() override;

    // Opens what the command asks for; false for a command that opens nothing here.
    bool Open(int id);
    // The help viewer, null until help is first asked for.
    THelpViewer* HelpViewer() const { return FHelp; }
    // Rip follows whether a disc's album is loaded.
    void BindState(const TPlayerState& state);
    TRipWindows& Rip() const { return *FRip; }
    // The player goes: so does its help.
    void QuitHelp();

private:
    void ShowHelpFor(int command);

    QWidget* FFrame;
    TPlayerSession& FSession;
    TQueueList& FQueue;
    TVolumeControl& FVolume;
    TStatusHint* FHint;
    THelpViewer* FHelp = nullptr;
    TRipWindows* FRip;
};
