#pragma once
// What the user chose for one copy of a disc; the Rip dialog fills it, the command line too.
#include <QList>
#include <QString>
#include <QStringList>

struct TRipOptions {
    enum class TFormat { Flac, Wav };
    QString Source; // the drive's device or the image path the player reads; empty: default drive
    QString Destination; // the folder the album folder is made in
    QString AlbumFolder; // the album folder's name before the " (2)" rule; empty: the album title
    QString AlbumTitle;  // from the album database; empty: CD-TEXT, else "Unknown Album"
    QStringList TrackTitles; // index = track number - 1; an empty entry: CD-TEXT, else "Track NN"
    TFormat Format = TFormat::Flac;
    bool TestAndCopy = true;
    int ReadOffset = 0; // samples, -3000..3000
    QList<int> Tracks;  // track numbers to copy; empty: every audio track
};
