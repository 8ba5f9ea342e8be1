#pragma once
// The names a copy of a disc gets on disk: "NN - Title.flac" per track and a new album folder.
// Characters file systems or file managers trip over ("/\:*?"<>|" and control characters)
// become "_", and names are cut to 200 bytes of UTF-8 (whole characters). An existing folder is
// never written into: the new one is "Name (2)", "Name (3)"...

#include <QString>

class QDir;

class TRipNames {
public:
    static constexpr int kMaxNameBytes = 200;

    static QString CleanName(const QString& text);
    // extension without the dot ("flac", "wav")
    static QString TrackFileName(int track, const QString& title, const QString& extension);
    // The first of "name", "name (2)", "name (3)"... that parent does not hold.
    static QString FreeFolderName(const QDir& parent, const QString& name);
    // Makes that folder; its full path, or empty when it cannot be made.
    static QString MakeAlbumFolder(const QDir& parent, const QString& name);

private:
    static QString CutToBytes(const QString& text, int bytes);
};
