#pragma once
// Open Image: a file dialog for disc images (.cue, .toc, .nrg) whose choice goes into the
// player's virtual drive, as KORVO_CDROM would put it there, and stays there on later starts;
// its "Use the Drive" button brings back the drive the player would use without one.

#include <QString>

class QWidget;
class TPlayerSession;

namespace OpenImage {
// The result of the dialog's "Use the Drive" button.
constexpr int UseDriveResult = 2;

// Shows the dialog over `parent` and changes the drive as chosen.
void Run(QWidget* parent, TPlayerSession& session);
// Puts `path` in the drive; false (and a message) when it is no image the drive can read, or
// when the user kept the album that could not be saved.
bool UseImage(TPlayerSession& session, const QString& path);
// Brings the drive back in place of the image.
bool UseDrive(TPlayerSession& session);
// At start: the image chosen last goes into the drive when there is one and it is still there.
void Restore(TPlayerSession& session);
} // namespace OpenImage

// What the player plays, as the ripper reads it: the disc image's path or the drive's device,
// and whether that is a physical drive.
QString PlayerSource(TPlayerSession& session, bool* physical = nullptr);
