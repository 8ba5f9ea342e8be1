#pragma once
// TCDAlbum: the disc in the drive seen as an album - its title, its database key and what the
// drive reports of it. The per-track data (titles, play queue) lives in the two song lists the
// play controller owns.
//
// The key is the disc length in whole seconds followed by the lengths of its first ten tracks in
// whole seconds, written one after the other with no separator. Two discs that agree in all of
// these share one album.

#include <QString>

class MCIDevice;

class TCDAlbum {
public:
    explicit TCDAlbum(MCIDevice* device) : FDevice(device) {}

    // Null when no album is loaded (or the title key is missing).
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& text) { FTitle = text; }
    // Null when the disc could not be read.
    const QString& Key() const { return FKey; }
    int TotalLength() const { return FTotalLength; }
    int NumberOfTracks() const { return FNumberOfTracks; }
    bool IsLoaded() const { return FLoaded; }
    void SetLoaded(bool on) { FLoaded = on; }

    // Reads the disc: the key, total length and track count. With the drive closed or no disc
    // ready the key is null and the other fields are left as they were.
    void ComputeKey();

    // The drive's start and length of track t in ms; 0 for a track the disc does not have.
    int TrackStart(int track) const;
    int TrackLength(int track) const;

    // A queue row: "%d\t%s\t%s" of track number, title and length as minutes and seconds.
    static QString QueueEntry(int track, const QString& title, int lengthMs);

private:
    QString FTitle;
    QString FKey;
    int FTotalLength = 0;
    int FNumberOfTracks = 0;
    bool FLoaded = false;
    MCIDevice* FDevice;
};
