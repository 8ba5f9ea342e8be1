#include "core/album.h"

#include "core/displayfields.h"
#include "core/mcidevice.h"

#include <algorithm>

namespace {
bool DiscReady(MCIDevice* device) {
    return device && device->IsOpen() && device->Status(Mci::kStatusItem, Mci::kStatusReady) != 0;
}

int ToInt(quint32 value) {
    return static_cast<int>(std::min<quint32>(value, 0x7FFFFFFF));
}
} // namespace

void TCDAlbum::ComputeKey() {
    FKey = QString();
    if (!DiscReady(FDevice))
        return;
    const int length = ToInt(FDevice->Status(Mci::kStatusItem, Mci::kStatusLength));
    const int tracks = ToInt(FDevice->Status(Mci::kStatusItem, Mci::kStatusNumberOfTracks));
    QString text = QString::number(length / 1000);
    for (int t = 1; t <= std::min(tracks, 10); ++t)
        text += QString::number(
            ToInt(FDevice->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusLength, t)) / 1000);
    FKey = text;
    FTotalLength = length;
    FNumberOfTracks = tracks;
}

int TCDAlbum::TrackStart(int track) const {
    if (!FDevice || !FDevice->IsOpen() || track < 1 || track > FNumberOfTracks)
        return 0;
    const quint32 value =
        FDevice->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusPosition, track);
    return FDevice->LastError() == 0 ? ToInt(value) : 0;
}

int TCDAlbum::TrackLength(int track) const {
    if (!FDevice || !FDevice->IsOpen() || track < 1 || track > FNumberOfTracks)
        return 0;
    const quint32 value =
        FDevice->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusLength, track);
    return FDevice->LastError() == 0 ? ToInt(value) : 0;
}

QString TCDAlbum::QueueEntry(int track, const QString& title, int lengthMs) {
    return QString::number(track) + QLatin1Char('\t') + title + QLatin1Char('\t') +
           FormatTime(lengthMs / 1000);
}
