#pragma once
// A disc's table of contents and the one rule that turns sectors into the player's milliseconds.
// Every backend reports times through this, so a disc gives the same album key whatever drive or
// image it is read from:
//   - positions count from the first track's start (the 2-second lead-in is not counted);
//   - track t runs from its start to the next track's start (the lead-out for the last track);
//   - milliseconds = sectors x 1000 / 75, truncated.

#include <QString>
#include <QVector>
#include <QtGlobal>

struct TTocTrack {
    TTocTrack(qint32 firstSector = 0, bool audio = true, QString title = QString())
        : firstSector(firstSector), audio(audio), title(std::move(title)) {}

    qint32 firstSector; // logical sector number of the track's index 1
    bool audio;         // data tracks count as tracks but play nothing
    QString title;      // the track's CD-TEXT title; empty when the disc has none

    bool operator==(const TTocTrack& other) const {
        return firstSector == other.firstSector && audio == other.audio && title == other.title;
    }
};

class TDiscToc {
public:
    static constexpr int kSectorsPerSecond = 75;
    static constexpr int kFramesPerSector = 588; // 44100 Hz stereo frames in one 2352-byte sector
    static constexpr int kBytesPerSector = 2352;
    static constexpr int kBytesPerFrame = 4;

    TDiscToc() = default;
    TDiscToc(QVector<TTocTrack> tracks, qint32 leadoutSector, QString title = QString());

    // Tracks must be in ascending order and before the lead-out; an empty list is no disc.
    bool IsValid() const;
    int TrackCount() const { return FTracks.size(); }
    const TTocTrack& Track(int t) const { return FTracks.at(t - 1); } // t counts from 1
    qint32 LeadoutSector() const { return FLeadout; }
    // The disc's CD-TEXT album title; empty when it has none.
    const QString& Title() const { return FTitle; }

    quint32 TrackStartMs(int t) const;
    quint32 TrackLengthMs(int t) const;
    quint32 DiscLengthMs() const;
    qint64 DiscFrames() const;

    // Sample frames from the first track's start. A millisecond value that is the start of a
    // sector maps onto that sector's first frame; any other onto the first frame at or after it,
    // so FramesToMs(MsToFrames(ms)) == ms.
    static qint64 MsToFrames(quint32 ms);
    static quint32 FramesToMs(qint64 frames);
    static quint32 SectorsToMs(qint64 sectors);

    // The track holding a frame counted from the first track's start; 0 past the lead-out.
    int TrackAtFrame(qint64 frame) const;
    // The first frame of the next track after track t (the lead-out frame for the last).
    qint64 TrackEndFrame(int t) const;

    bool operator==(const TDiscToc& other) const {
        return FTracks == other.FTracks && FLeadout == other.FLeadout && FTitle == other.FTitle;
    }
    bool operator!=(const TDiscToc& other) const { return !(*this == other); }

private:
    QVector<TTocTrack> FTracks;
    qint32 FLeadout = 0;
    QString FTitle;
};
