#include "core/sampleclip.h"

#include <QtEndian>

namespace {
bool IsKnownLayout(quint32 layout) {
    return layout == 5 || layout == 6 || layout == 9 || layout == 10;
}

// Bit 2 doubles the sample size, a clear bit 4 (stereo) the channels.
quint32 BytesPerFrame(quint32 layout) {
    return ((layout & 2) ? 2 : 1) * ((layout & 4) ? 1 : 2);
}
} // namespace

QString CSampleClip::FormatName() {
    return QStringLiteral("WLSAMPLE");
}

QByteArray CSampleClip::MakeBlock(quint32 layout, quint32 rate, quint32 byteCount) {
    QByteArray block(kHeaderSize + qsizetype(byteCount), Qt::Uninitialized);
    char* out = block.data();
    qToLittleEndian<quint32>(layout, out);
    qToLittleEndian<quint32>(rate, out + 4);
    qToLittleEndian<quint32>(byteCount, out + 8);
    return block;
}

std::optional<CSampleClip> CSampleClip::Decode(const QByteArray& block) {
    if (block.size() < kHeaderSize)
        return std::nullopt;
    const char* in = block.constData();
    CSampleClip clip;
    clip.layout = qFromLittleEndian<quint32>(in);
    clip.rate = qFromLittleEndian<quint32>(in + 4);
    clip.byteCount = qFromLittleEndian<quint32>(in + 8);
    if (!IsKnownLayout(clip.layout) || clip.rate == 0 ||
        quint64(clip.byteCount) > quint64(block.size() - kHeaderSize) ||
        clip.byteCount < BytesPerFrame(clip.layout))
        return std::nullopt;
    clip.block = block;
    return clip;
}
