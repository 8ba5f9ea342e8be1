#include "core/disctoc.h"

TDiscToc::TDiscToc(QVector<TTocTrack> tracks, qint32 leadoutSector, QString title)
    : FTracks(std::move(tracks)), FLeadout(leadoutSector), FTitle(std::move(title)) {}

bool TDiscToc::IsValid() const {
    if (FTracks.isEmpty() || FTracks.first().firstSector < 0)
        return false;
    for (int i = 1; i < FTracks.size(); ++i) {
        if (FTracks[i].firstSector <= FTracks[i - 1].firstSector)
            return false;
    }
    return FTracks.last().firstSector < FLeadout;
}

quint32 TDiscToc::SectorsToMs(qint64 sectors) {
    return static_cast<quint32>(sectors * 1000 / kSectorsPerSecond);
}

quint32 TDiscToc::TrackStartMs(int t) const {
    return SectorsToMs(Track(t).firstSector - FTracks.first().firstSector);
}

quint32 TDiscToc::TrackLengthMs(int t) const {
    const qint32 next = t < TrackCount() ? Track(t + 1).firstSector : FLeadout;
    return SectorsToMs(next - Track(t).firstSector);
}

quint32 TDiscToc::DiscLengthMs() const {
    return FTracks.isEmpty() ? 0 : SectorsToMs(FLeadout - FTracks.first().firstSector);
}

qint64 TDiscToc::DiscFrames() const {
    return FTracks.isEmpty() ? 0
                             : qint64(FLeadout - FTracks.first().firstSector) * kFramesPerSector;
}

qint64 TDiscToc::MsToFrames(quint32 ms) {
    const qint64 sector = (qint64(ms) * 3 + 39) / 40; // first sector starting at or after ms
    if (SectorsToMs(sector) == ms)
        return sector * kFramesPerSector;
    return (qint64(ms) * 441 + 9) / 10;
}

quint32 TDiscToc::FramesToMs(qint64 frames) {
    return static_cast<quint32>(frames * 10 / 441);
}

int TDiscToc::TrackAtFrame(qint64 frame) const {
    if (FTracks.isEmpty() || frame < 0 || frame >= DiscFrames())
        return 0;
    const qint64 sector = FTracks.first().firstSector + frame / kFramesPerSector;
    int t = TrackCount();
    while (t > 1 && Track(t).firstSector > sector)
        --t;
    return t;
}

qint64 TDiscToc::TrackEndFrame(int t) const {
    const qint32 next = t < TrackCount() ? Track(t + 1).firstSector : FLeadout;
    return qint64(next - FTracks.first().firstSector) * kFramesPerSector;
}
