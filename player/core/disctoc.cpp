#include "core/disctoc.h"

TDiscToc::TDiscToc(QVector<TTocTrack> tracks, qint32 leadoutSector, QString title)
    : tracks_(std::move(tracks)), leadout_(leadoutSector), title_(std::move(title)) {}

bool TDiscToc::IsValid() const {
    if (tracks_.isEmpty() || tracks_.first().firstSector < 0)
        return false;
    for (int i = 1; i < tracks_.size(); ++i) {
        if (tracks_[i].firstSector <= tracks_[i - 1].firstSector)
            return false;
    }
    return tracks_.last().firstSector < leadout_;
}

quint32 TDiscToc::SectorsToMs(qint64 sectors) {
    return static_cast<quint32>(sectors * 1000 / kSectorsPerSecond);
}

quint32 TDiscToc::TrackStartMs(int t) const {
    return SectorsToMs(Track(t).firstSector - tracks_.first().firstSector);
}

quint32 TDiscToc::TrackLengthMs(int t) const {
    const qint32 next = t < TrackCount() ? Track(t + 1).firstSector : leadout_;
    return SectorsToMs(next - Track(t).firstSector);
}

quint32 TDiscToc::DiscLengthMs() const {
    return tracks_.isEmpty() ? 0 : SectorsToMs(leadout_ - tracks_.first().firstSector);
}

qint64 TDiscToc::DiscFrames() const {
    return tracks_.isEmpty() ? 0
                             : qint64(leadout_ - tracks_.first().firstSector) * kFramesPerSector;
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
    if (tracks_.isEmpty() || frame < 0 || frame >= DiscFrames())
        return 0;
    const qint64 sector = tracks_.first().firstSector + frame / kFramesPerSector;
    int t = TrackCount();
    while (t > 1 && Track(t).firstSector > sector)
        --t;
    return t;
}

qint64 TDiscToc::TrackEndFrame(int t) const {
    const qint32 next = t < TrackCount() ? Track(t + 1).firstSector : leadout_;
    return qint64(next - tracks_.first().firstSector) * kFramesPerSector;
}
