#include "ui/commandhints.h"

#include "core/commandids.h"

#include <QHash>

QString CommandHint(int commandId) {
    static const QHash<int, QString> hints{
        {CmPlayButton, QStringLiteral("Plays the selected song from the beginning")},
        {CmPause, QStringLiteral("Pauses song play, or resumes it (toggle)")},
        {CmStop, QStringLiteral("Stops song play")},
        {CmEjectRetract, QStringLiteral("Ejects or retracts the album")},
        {CmCirculate, QStringLiteral("Plays the next song or the next randomly-selected song")},
        {CmRepeat, QStringLiteral("Continuously plays the current song (toggle)")},
        {CmSongEdit, QStringLiteral("Changes song title")},
        {CmSongAdd, QStringLiteral("Adds from removed songs to the album")},
        {CmSongRemove, QStringLiteral("Removes the selected song from the album")},
        {CmMute, QStringLiteral("Mutes (turns off) the audio volume (toggle)")},
        {CmFastRewindEnd, QStringLiteral("Fast rewind, press and hold the button down")},
        {CmFastForwardEnd, QStringLiteral("Fast forward, press and hold the button down")},
        {CmMoveUp, QStringLiteral("Moves the selected song one position up")},
        {CmMoveDown, QStringLiteral("Moves the selected song one position down")},
        {CmHighlightCurrent, QStringLiteral("Moves the selection highlight to the active song")},
        {CmVolumeDevice, QStringLiteral("Sets the output device to control volume")},
    };
    return hints.value(commandId);
}
