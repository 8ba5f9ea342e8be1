#include "core/accuraterip.h"

TAccurateRip::TAccurateRip(qint64 trackFrames, bool firstTrack, bool lastTrack)
    : FFirst(firstTrack ? kSkippedFrames : 1),
      FLast(lastTrack ? trackFrames - kSkippedFrames : trackFrames) {}

void TAccurateRip::Add(const qint16* stereo, qint64 frames) {
    quint32 v1 = FV1, v2 = FV2;
    for (qint64 i = 0; i < frames; ++i) {
        const qint64 position = FPosition + i + 1;
        if (position < FFirst || position > FLast)
            continue;
        const quint32 sample = quint32(quint16(stereo[2 * i])) | quint32(quint16(stereo[2 * i + 1]))
                                                                     << 16;
        const quint64 product = quint64(sample) * quint64(position);
        v1 += quint32(product);
        v2 += quint32(product) + quint32(product >> 32);
    }
    FV1 = v1;
    FV2 = v2;
    FPosition += frames;
}
