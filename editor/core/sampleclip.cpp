#include "core/sampleclip.h"

#include "core/samplebuffer.h"

#include <QtEndian>

namespace {
bool IsKnownLayout(quint32 layout) {
    for (quint32 known : {5, 6, 9, 10, 20, 24, 36, 40}) {
        if (layout == known)
            return true;
    }
    return false;
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
        clip.byteCount < LayoutBytesPerFrame(SampleLayout(clip.layout)))
        return std::nullopt;
    clip.block = block;
    return clip;
}
