// Sun/NeXT audio files: a header of six 32-bit numbers (magic, header size, data size, encoding,
// rate, channels) in either byte order, then the data up to the end of the file. Encodings 1
// (mu-law), 2 (signed 8-bit) and 3 (16-bit) are understood; others load as raw bytes.

#include "core/byteorder.h"
#include "core/fileio.h"
#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace wlpro;

namespace {

constexpr quint32 kHeaderSize = 24;

void Warn(const QString& text) {
    ReportMessage(CMessage{text, QString(), CMessageIcon::Warning});
}

void SwapWords(quint8* p, quint64 words) {
    for (quint64 i = 0; i < words; ++i, p += 2)
        std::swap(p[0], p[1]);
}

} // namespace

int CSampleBuffer::ReadSunAudio(const QString& path) {
    if (Busy())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    quint8 head[kHeaderSize];
    if (!ReadExactly(file, head, 4)) {
        Warn(QStringLiteral("Don't understand .au magic word!"));
        return 0;
    }
    bool bigEndian = true;
    if (std::memcmp(head, ".snd", 4) == 0 || std::memcmp(head, ".sd\0", 4) == 0)
        bigEndian = true;
    else if (std::memcmp(head, "dns.", 4) == 0 || std::memcmp(head, "\0ds.", 4) == 0)
        bigEndian = false;
    else {
        Warn(QStringLiteral("Don't understand .au magic word!"));
        return 0;
    }
    const qint64 fileSize = file.size();
    if (!ReadExactly(file, head + 4, kHeaderSize - 4)) {
        Warn(QStringLiteral("The Sun/NeXT header runs past the end of the file."));
        return 0;
    }
    auto field = [&](int index) {
        return bigEndian ? ReadBE32(head + 4 * index) : ReadLE32(head + 4 * index);
    };
    const quint32 headerSize = field(1);
    const quint32 encoding = field(3);
    const quint32 rate = field(4);
    const quint32 channels = field(5);
    if (headerSize < kHeaderSize) {
        Warn(QStringLiteral("Sun/NeXT header size too small."));
        return 0;
    }
    if (headerSize > fileSize) {
        Warn(QStringLiteral("The Sun/NeXT header runs past the end of the file."));
        return 0;
    }
    file.close();

    switch (encoding) {
    case 1:
        SetFormat(rate, channels != 1, false);
        return ReadRaw(path, headerSize, 0) && DecodeULaw() ? 1 : 0;
    case 2:
        SetFormat(rate, channels != 1, false);
        if (!ReadRaw(path, headerSize, 0))
            return 0;
        ChangeSign(-1, -1);
        return 1;
    case 3:
        SetFormat(rate, channels != 1, true);
        if (!ReadRaw(path, headerSize, 0))
            return 0;
        if (bigEndian)
            SwapWords(m_data, m_byteLength / 2);
        return 1;
    default:
        return ReadRaw(path, headerSize, 0);
    }
}

int CSampleBuffer::WriteSunAudio(const QString& path) {
    const bool wide = LayoutIs16Bit(m_layout);
    quint8 head[kHeaderSize];
    std::memcpy(head, ".snd", 4);
    WriteBE32(head + 4, kHeaderSize);
    WriteBE32(head + 8, m_byteLength);
    WriteBE32(head + 12, wide ? 3 : 2);
    WriteBE32(head + 16, m_format.samplesPerSec);
    WriteBE32(head + 20, GetChannels());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !WriteAll(file, head, kHeaderSize))
        return 0;
    // The file's form is made in a scratch piece, so the sample in memory never changes.
    constexpr quint64 kPiece = 1 << 20;
    std::vector<quint8> piece(std::size_t(std::min<quint64>(kPiece, m_byteLength)));
    for (quint64 at = 0; at < m_byteLength;) {
        const quint64 n = std::min<quint64>(kPiece, m_byteLength - at);
        std::memcpy(piece.data(), m_data + at, n);
        if (wide)
            SwapWords(piece.data(), n / 2);
        else
            for (quint64 i = 0; i < n; ++i)
                piece[i] ^= 0x80;
        if (!WriteAll(file, piece.data(), qint64(n)))
            return 0;
        at += n;
    }
    return file.commit() ? 1 : 0;
}
