#pragma once
// AccurateRip v1 and v2 checksums of one track, fed in pieces. Each stereo frame is one 32-bit
// value (left in the low 16 bits) multiplied by its 1-based position in the track. The disc's
// first track leaves out positions below 2940 and its last track the last 2940 positions (the
// drive offsets a verifier has to allow for). v1 sums the products modulo 2^32; v2 sums the low
// and the high 32 bits of each 64-bit product.

#include <QtGlobal>

class TAccurateRip {
public:
    static constexpr qint64 kSkippedFrames = 5 * 588; // 2940

    TAccurateRip(qint64 trackFrames, bool firstTrack, bool lastTrack);
    // Host-order interleaved 16-bit stereo.
    void Add(const qint16* stereo, qint64 frames);
    quint32 V1() const { return FV1; }
    quint32 V2() const { return FV2; }

private:
    qint64 FFirst; // the first position counted
    qint64 FLast;  // the last position counted
    qint64 FPosition = 0;
    quint32 FV1 = 0;
    quint32 FV2 = 0;
};
