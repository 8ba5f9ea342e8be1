#include "core/crc32.h"

#include <array>
#include <cstring>

namespace {
// Eight tables let the loop take eight bytes per step; a checksum per byte would be a quarter of
// the cost of a FLAC encode.
using TTables = std::array<std::array<quint32, 256>, 8>;

TTables MakeTables() {
    TTables t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (quint32 i = 0; i < 256; ++i)
        for (int k = 1; k < 8; ++k)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xff];
    return t;
}

const TTables& Tables() {
    static const TTables tables = MakeTables();
    return tables;
}
} // namespace

void TCrc32::Add(const void* data, qint64 size) {
    const TTables& t = Tables();
    auto* p = static_cast<const unsigned char*>(data);
    quint32 c = FState;
    for (; size >= 8; size -= 8, p += 8) {
        const quint32 lo =
            c ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        const quint32 hi =
            quint32(p[4]) | quint32(p[5]) << 8 | quint32(p[6]) << 16 | quint32(p[7]) << 24;
        c = t[7][lo & 0xff] ^ t[6][(lo >> 8) & 0xff] ^ t[5][(lo >> 16) & 0xff] ^ t[4][lo >> 24] ^
            t[3][hi & 0xff] ^ t[2][(hi >> 8) & 0xff] ^ t[1][(hi >> 16) & 0xff] ^ t[0][hi >> 24];
    }
    for (; size > 0; --size, ++p)
        c = t[0][(c ^ *p) & 0xff] ^ (c >> 8);
    FState = c;
}

quint32 TCrc32::Of(const QByteArray& bytes) {
    TCrc32 crc;
    crc.Add(bytes.constData(), bytes.size());
    return crc.Value();
}
