// The two operations that change how bytes encode samples: the sign flip between unsigned and
// signed bytes (negation of float samples), and mu-law expansion.

#include "core/g711.h"
#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <cstring>

int CSampleBuffer::ChangeSign(qint64 first, qint64 last) {
    if (!ResolveRange(first, last) || !BeginWrite())
        return 0;
    const quint32 frameBytes = BytesPerFrame();
    quint8* p = m_data + quint64(first) * frameBytes;
    quint64 n = quint64(last - first + 1) * frameBytes;
    // Eight bytes at a time: the flip is the same for every byte, or on float samples for the
    // sign bit, the top bit of every fourth byte (the range starts on a sample).
    const quint64 flip =
        GetDepth() == SampleDepth::Float32 ? 0x8000000080000000ull : 0x8080808080808080ull;
    for (; n >= 8; n -= 8, p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        word ^= flip;
        std::memcpy(p, &word, 8);
    }
    for (int i = 0; n > 0; --n, ++p, ++i)
        *p ^= quint8(flip >> (8 * i));
    return 1;
}

int CSampleBuffer::DecodeULaw() {
    if (!m_data || !BeginWrite())
        return 0;
    const quint64 bytes = m_byteLength;
    if (!ResizeData(bytes * 2)) {
        ReportMessage(CMessage{QStringLiteral("Error resizing sample!"),
                               QStringLiteral("Wavelathe"), CMessageIcon::Warning});
        return 0;
    }
    // From the end backwards, so each code is read before its word overwrites it.
    for (quint64 i = bytes; i-- > 0;) {
        const quint16 word = quint16(wlpro::ULawToLinear(m_data[i]));
        m_data[2 * i] = quint8(word);
        m_data[2 * i + 1] = quint8(word >> 8);
    }
    m_byteLength = quint32(bytes * 2);
    SetFormat(m_format.samplesPerSec, LayoutIsStereo(m_layout), true);
    return 1;
}
