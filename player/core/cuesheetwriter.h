#pragma once
// The CUE sheet of a copied disc: one FILE per track, so that players (and the player's own
// virtual drive) play the copy as a disc. Tracks are numbered 1, 2, 3... in the sheet, as a disc
// of the copied tracks; titles carry no double quotes (a CUE sheet cannot escape them).

#include <QList>
#include <QString>

class TCueSheetWriter {
public:
    struct TEntry {
        QString file; // name relative to the sheet
        QString title;
    };

    static QString Text(const QString& albumTitle, const QList<TEntry>& tracks);
    // Written whole or not at all; false with the reason in error.
    static bool Write(const QString& path, const QString& albumTitle, const QList<TEntry>& tracks,
                      QString* error = nullptr);
};
